// Record headers and the walk over a file's records.
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

DeltaHeader ReadDeltaHeader(ByteReader& file) {
    std::array<std::uint8_t, DELTA_HEADER_SIZE> bytes{};
    file.Read(bytes.data(), bytes.size());
    return DecodeDeltaHeader(bytes);
}

std::optional<std::vector<ListedRecord>> ListRecords(const std::string& fileName) {
    ByteReader file;
    if (!file.Open(fileName)) {
        return std::nullopt;
    }
    std::vector<ListedRecord> records;
    std::uint64_t start = 0;
    ListedRecord record;
    while (ReadRecordHeader(file, record.header)) {
        record.delta = DeltaHeader{};
        if ((record.header.layout & RECORD_DELTA) != 0) {
            record.delta = ReadDeltaHeader(file);
        }
        // Only whole records are listed: a record whose last byte lies past the end of
        // the file (a cut-off copy) ends the list like a bad header.
        start += record.header.recordLength;
        if (!file.SeekTo(start - 1) || file.ReadByte() < 0) {
            break;
        }
        records.push_back(record);
    }
    return records;
}
