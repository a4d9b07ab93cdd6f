// The walk over a file's records by their lengths, where it stopped against the file's
// size, and the list of records it found.
#include "record_walk.h"

std::optional<RecordWalk> WalkRecords(const ByteSource& source) {
    ByteReader file;
    if (!file.Open(source)) {
        return std::nullopt;
    }
    RecordWalk walk;
    ListedRecord record;
    while (NextRecord(file, walk.recordsEnd, record.header)) {
        record.delta = DeltaHeader{};
        if ((record.header.layout & RECORD_DELTA) != 0) {
            record.delta = ReadDeltaHeader(file);
        }
        walk.records.push_back(record);
    }
    const std::optional<std::uint64_t> size = file.Size();
    walk.fileSize = size.value_or(0);
    if (walk.records.empty()) {
        walk.end = WalkEnd::NotZentra;
    } else if (size && walk.recordsEnd > *size) {
        walk.end = WalkEnd::CutRecord;
    } else if (size && walk.recordsEnd < *size) {
        walk.end = WalkEnd::TrailingBytes;
    }
    return walk;
}

std::optional<std::vector<ListedRecord>> ListRecords(const std::string& fileName) {
    return ListRecords(FileSource(fileName));
}

std::optional<std::vector<ListedRecord>> ListRecords(const ByteSource& source) {
    std::optional<RecordWalk> walk = WalkRecords(source);
    if (!walk) {
        return std::nullopt;
    }
    return std::move(walk->records);
}
