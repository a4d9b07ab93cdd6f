// Reading and walking record headers: the only checks a file gets are the signature
// and the record length.
#pragma once

#include "byte_reader.h"
#include "zentra_format.h"

#include <optional>
#include <string>
#include <vector>

// Reads 12 bytes at the current position. False when fewer than 12 bytes come back,
// the signature is not 0xA202, or the record length is below 12 (such a record would
// lead a walk back onto itself). On success the file stands just after the header.
bool ReadRecordHeader(ByteReader& file, RecordHeader& header);

// Reads the header of the record at offset start and moves start on to the next record,
// at this one's start plus its record length: the one rule by which every reader steps
// through a file. False, with start unchanged, when the header is rejected. On success
// the file stands just after the header.
bool NextRecord(ByteReader& file, std::uint64_t& start, RecordHeader& header);

// Reads the 6-byte delta header; bytes missing at the end of the file read as 0.
DeltaHeader ReadDeltaHeader(ByteReader& file);

struct ListedRecord {
    RecordHeader header;
    DeltaHeader delta; // all zero unless header.layout has RECORD_DELTA
};

// Every record of the file up to the first rejected header, as the viewer lists them: a
// record whose pixel data the end of the file cuts short is still listed. Nothing when
// the file cannot be opened.
std::optional<std::vector<ListedRecord>> ListRecords(const std::string& fileName);
std::optional<std::vector<ListedRecord>> ListRecords(const ByteSource& source);
