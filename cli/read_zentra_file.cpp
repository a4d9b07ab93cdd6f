// The way list and export take in a Zentra file: what the walk over its records found,
// said plainly.
#include "read_zentra_file.h"

#include "commands.h"
#include "record_walk.h"
#include "system_reason.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

std::optional<int> ReadZentraFile(const std::string& path, std::vector<ListedRecord>& records) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        return Failure("'" + path + "' is a folder, not a Zentra file");
    }
    ResetSystemError();
    std::optional<RecordWalk> walk = WalkRecords(FileSource(path));
    if (!walk) {
        return Failure("cannot open '" + path + "'", ReasonLine(LastSystemError()));
    }
    const std::size_t last = walk->records.size() - 1;
    switch (walk->end) {
    case WalkEnd::Complete:
        break;
    case WalkEnd::NotZentra:
        return Failure("file '" + path + "' is not a Zentra file");
    case WalkEnd::CutRecord:
        std::fprintf(
            stderr, "WARNING: file '%s' is cut short: record %zu lacks its last %llu bytes\n",
            path.c_str(), last, static_cast<unsigned long long>(walk->recordsEnd - walk->fileSize));
        break;
    case WalkEnd::TrailingBytes:
        std::fprintf(stderr,
                     "WARNING: file '%s' has %llu bytes after its last record (record %zu) that "
                     "are no record\n",
                     path.c_str(),
                     static_cast<unsigned long long>(walk->fileSize - walk->recordsEnd), last);
        break;
    }
    records = std::move(walk->records);
    return std::nullopt;
}
