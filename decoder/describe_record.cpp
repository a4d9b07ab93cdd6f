// Builds a record's list line piece by piece, in the order the viewer shows them.
#include "describe_record.h"

#include <cstdio>

std::string DescribeRecord(const RecordHeader& header, const DeltaHeader& delta) {
    return DescribeRecord(header, delta, RecordLineStyle{});
}

std::string DescribeRecord(const RecordHeader& header, const DeltaHeader& delta,
                           const RecordLineStyle& style) {
    char piece[96];
    std::string line;
    std::snprintf(piece, sizeof piece, "%d x %d", header.width, header.height);
    line += piece;
    if (header.depth == 1) {
        line += " monochrome";
    } else {
        std::snprintf(piece, sizeof piece, ", colour depth %d bits", header.depth);
        line += piece;
    }
    if ((header.layout & RECORD_DELTA) != 0) {
        std::snprintf(piece, sizeof piece, ", delta frame %dms [dx=%d, dy=%d]", delta.delay,
                      delta.dx, delta.dy);
        line += piece;
    }
    std::snprintf(piece, sizeof piece,
                  style.prefixedLayout ? ", layout 0x%02X [" : ", layout %02x [",
                  header.layout & LAYOUT_BITS);
    line += piece;
    switch (header.layout & LAYOUT_ORDER) {
    case ORDER_BANDED_COLUMNS:
        line += "banded columns";
        break;
    case ORDER_BANDED_ROWS:
        line += "banded rows";
        break;
    case ORDER_COLUMNS:
        line += "column order";
        break;
    default:
        line += "row order";
        break;
    }
    if ((header.layout & LAYOUT_REVERSED) != 0) {
        line += ", reversed pixel order";
    }
    if ((header.layout & LAYOUT_PLANAR) != 0) {
        line += ", planar lay-out";
    }
    if ((header.layout & LAYOUT_INVERTED_Y) != 0) {
        line += ", inverted Y-axis";
    }
    line += "]";
    if (style.palette && (header.layout & RECORD_PALETTE) != 0 && header.depth <= 8) {
        std::snprintf(piece, sizeof piece, ", palette of %d colours", 1 << header.depth);
        line += piece;
    }
    // Only the newer coding is named, so that the lines of run-length records stay as
    // they always were.
    if (header.coding == PixelCoding::Squash) {
        line += ", squash coded";
    } else if (header.coding == PixelCoding::Dense) {
        line += header.wholeStream ? ", dense coded, copies from the whole frame" : ", dense coded";
        if (header.literalTable) {
            line += ", literal table";
        }
    }
    return line;
}

std::vector<std::string> DescribeRecords(const std::vector<ListedRecord>& records) {
    std::vector<std::string> lines;
    lines.reserve(records.size());
    for (const ListedRecord& record : records) {
        lines.push_back(DescribeRecord(record.header, record.delta));
    }
    return lines;
}
