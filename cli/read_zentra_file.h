// ReadZentraFile: the records of the Zentra file a command is given, refusing what is no
// Zentra file and warning about a file that is cut short or damaged after its records.
#pragma once

#include "read_record_header.h"

#include <optional>
#include <string>
#include <vector>

// Fills records as ztr list lists them. Returns an exit status when the command ends
// here (the message printed): the file cannot be opened, is a folder, or its first
// record header is rejected. A file cut short within a record, or with bytes after its
// last record that are no record, is read with a warning on standard error that names
// the record.
std::optional<int> ReadZentraFile(const std::string& path, std::vector<ListedRecord>& records);
