// Reads a whole Zentra file and undoes the run-length coding of every record, checking
// each header, length and count against the file's bytes.
#include "record_streams.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>

namespace {

// The run-length coding undone: false when the coded bytes end before `out` is full.
bool UndoRunLength(const std::uint8_t* coded, std::size_t size, std::vector<std::uint8_t>& out) {
    std::size_t i = 0;
    int previous = 0;
    while (out.size() < out.capacity()) {
        if (i == size) {
            return false;
        }
        const std::uint8_t b = coded[i++];
        out.push_back(b);
        if (b == previous) {
            if (i == size) {
                return false;
            }
            for (unsigned n = coded[i++]; n > 0 && out.size() < out.capacity(); --n) {
                out.push_back(b);
            }
            previous = -1;
        } else {
            previous = b;
        }
    }
    return true;
}

} // namespace

std::optional<std::vector<RecordStream>> ReadRecordStreams(const std::string& path,
                                                           std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot open";
        return std::nullopt;
    }
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
    std::vector<RecordStream> records;
    std::size_t start = 0;
    while (start < file.size()) {
        std::array<std::uint8_t, RECORD_HEADER_SIZE> headerBytes{};
        if (file.size() - start < RECORD_HEADER_SIZE) {
            error = path + ": a record header is cut short at " + std::to_string(start);
            return std::nullopt;
        }
        std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(start), RECORD_HEADER_SIZE,
                    headerBytes.begin());
        RecordStream record;
        record.header = DecodeRecordHeader(headerBytes);
        const RecordHeader& h = record.header;
        std::size_t data = RECORD_HEADER_SIZE;
        if ((h.layout & RECORD_DELTA) != 0) {
            data += DELTA_HEADER_SIZE;
        }
        if ((h.layout & RECORD_PALETTE) != 0) {
            data += static_cast<std::size_t>(PaletteSize(h.depth));
        }
        if (h.signature != RECORD_SIGNATURE || h.recordLength < data ||
            h.recordLength > file.size() - start) {
            error = path + ": bad record at " + std::to_string(start);
            return std::nullopt;
        }
        const auto shape = ShapeOfPixelStream(h.layout, h.depth, h.width, h.height);
        if (shape) {
            record.shape = *shape;
            record.runLengthBytes = h.recordLength - data;
            record.unpacked.reserve(shape->totalBytes);
            if (!UndoRunLength(file.data() + start + data, record.runLengthBytes,
                               record.unpacked)) {
                error = path + ": the pixel data of the record at " + std::to_string(start) +
                        " ends early";
                return std::nullopt;
            }
            records.push_back(std::move(record));
        }
        start += h.recordLength;
    }
    return records;
}
