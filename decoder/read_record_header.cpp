// Record headers read and checked, and the step from one record to the next.
#include "read_record_header.h"

#include <array>

bool ReadRecordHeader(ByteReader& file, RecordHeader& header) {
    std::array<std::uint8_t, RECORD_HEADER_SIZE> bytes{};
    if (file.Read(bytes.data(), bytes.size()) != bytes.size()) {
        return false;
    }
    const RecordHeader read = DecodeRecordHeader(bytes);
    if (read.signature != RECORD_SIGNATURE || read.recordLength < RECORD_HEADER_SIZE) {
        return false;
    }
    header = read;
    return true;
}

bool NextRecord(ByteReader& file, std::uint64_t& start, RecordHeader& header) {
    if (!file.SeekTo(start) || !ReadRecordHeader(file, header)) {
        return false;
    }
    start += header.recordLength;
    return true;
}

DeltaHeader ReadDeltaHeader(ByteReader& file) {
    std::array<std::uint8_t, DELTA_HEADER_SIZE> bytes{};
    file.Read(bytes.data(), bytes.size());
    return DecodeDeltaHeader(bytes);
}
