// RecordWalk: the records of a file and how the walk over them ended, so that a tool can
// tell a file that is no Zentra file from one that is cut short or damaged after some
// records.
#pragma once

#include "read_record_header.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Every record of the file up to the first rejected header, as the viewer lists them: a
// record whose pixel data the end of the file cuts short is still listed. Nothing when
// the file cannot be opened.
std::optional<std::vector<ListedRecord>> ListRecords(const std::string& fileName);
std::optional<std::vector<ListedRecord>> ListRecords(const ByteSource& source);

enum class WalkEnd {
    Complete,      // the last record ends where the file ends
    NotZentra,     // the first record header is rejected (an empty file too)
    CutRecord,     // the last listed record runs past the end of the file
    TrailingBytes, // bytes after the last listed record are no record header
};

struct RecordWalk {
    std::vector<ListedRecord> records; // as ListRecords lists them
    WalkEnd end = WalkEnd::Complete;
    std::uint64_t fileSize = 0;   // the source's size (0 when it cannot be found)
    std::uint64_t recordsEnd = 0; // where the last listed record ends by its length
};

// Walks the records as ListRecords does and tells how the walk ended. Nothing when the
// source cannot be opened. A source whose size cannot be found ends Complete or
// NotZentra.
std::optional<RecordWalk> WalkRecords(const ByteSource& source);
