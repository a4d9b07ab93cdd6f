// The one-line description under which a record is listed: size, depth, delta frame
// values and lay-out.
#pragma once

#include "read_record_header.h"
#include "zentra_format.h"

#include <string>
#include <vector>

// For example "128 x 64 monochrome, layout 12 [banded rows, inverted Y-axis]".
std::string DescribeRecord(const RecordHeader& header, const DeltaHeader& delta);

// What a line for people adds to the viewer's: the lay-out in 0x hexadecimal ("layout
// 0x12"), and ", palette of N colours" after the lay-out for a record that carries one.
// The viewer's own line above stays as stored lists and scripts know it.
struct RecordLineStyle {
    bool prefixedLayout = false;
    bool palette = false;
};
std::string DescribeRecord(const RecordHeader& header, const DeltaHeader& delta,
                           const RecordLineStyle& style);

// Each record's line as the viewer words it, in file order.
std::vector<std::string> DescribeRecords(const std::vector<ListedRecord>& records);
