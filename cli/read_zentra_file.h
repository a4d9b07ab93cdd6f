// ReadZentraFile: the records of the Zentra file a command is given, refusing what is no
// Zentra file and warning about a file that is cut short or damaged after its records.
#pragma once

#include "read_record_header.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The record that the end of a file cuts short: the last one, which the device library
// finds damaged.
struct CutRecord {
    std::size_t index = 0;
    std::uint64_t start = 0;   // its first byte: the whole records before it end here
    std::uint64_t missing = 0; // the bytes its record length calls for beyond the file
};

// Fills records as ztr list lists them. Returns an exit status when the command ends
// here (the message printed): the file cannot be opened, is a folder, or its first
// record header is rejected. A file cut short within a record, or with bytes after its
// last record that are no record, is read with a warning on standard error that names
// the record; cut, when given, then tells which record the end of the file cuts short.
std::optional<int> ReadZentraFile(const std::string& path, std::vector<ListedRecord>& records,
                                  std::optional<CutRecord>* cut = nullptr);

// The record of the Zentra file at path that its end cuts short, if any (none too when the
// file cannot be read or is no Zentra file).
std::optional<CutRecord> FindCutRecord(const std::string& path);

// The warning of a cut file, as ReadZentraFile gives it.
void WarnCutShort(const std::string& path, const CutRecord& cut);
