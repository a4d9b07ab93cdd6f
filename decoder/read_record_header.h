// Reading record headers and stepping from one to the next: the only checks a file gets
// are the signature and the record length.
#pragma once

#include "byte_reader.h"
#include "zentra_format.h"

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
