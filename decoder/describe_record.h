// The one-line description under which a record is listed: size, depth, delta frame
// values and lay-out.
#pragma once

#include "zentra_format.h"

#include <string>

// For example "128 x 64 monochrome, layout 12 [banded rows, inverted Y-axis]".
std::string DescribeRecord(const RecordHeader& header, const DeltaHeader& delta);
