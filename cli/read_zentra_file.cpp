// The way list and export take in a Zentra file: what the walk over its records found,
// said plainly.
#include "read_zentra_file.h"

#include "commands.h"
#include "record_walk.h"
#include "system_reason.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

std::optional<CutRecord> CutRecordOf(const RecordWalk& walk) {
    if (walk.end != WalkEnd::CutRecord || walk.records.empty()) {
        return std::nullopt;
    }
    CutRecord cut;
    cut.index = walk.records.size() - 1;
    cut.start = walk.recordsEnd - walk.records.back().header.recordLength;
    cut.missing = walk.recordsEnd - walk.fileSize;
    return cut;
}

} // namespace

void WarnCutShort(const std::string& path, const CutRecord& cut) {
    std::fprintf(stderr, "WARNING: file '%s' is cut short: record %zu lacks its last %llu bytes\n",
                 path.c_str(), cut.index, static_cast<unsigned long long>(cut.missing));
}

std::optional<CutRecord> FindCutRecord(const std::string& path) {
    const std::optional<RecordWalk> walk = WalkRecords(FileSource(path));
    return walk ? CutRecordOf(*walk) : std::nullopt;
}

std::optional<int> ReadZentraFile(const std::string& path, std::vector<ListedRecord>& records,
                                  std::optional<CutRecord>* cut) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        return Failure("'" + path + "' is a folder, not a Zentra file");
    }
    ResetSystemError();
    std::optional<RecordWalk> walk = WalkRecords(FileSource(path));
    if (!walk) {
        return Failure(
            {.code = OutcomeCode::CannotOpenFile, .file = path, .reason = LastSystemError()});
    }
    const std::size_t last = walk->records.size() - 1;
    switch (walk->end) {
    case WalkEnd::Complete:
        break;
    case WalkEnd::NotZentra:
        return Failure("file '" + path + "' is not a Zentra file");
    case WalkEnd::CutRecord:
        WarnCutShort(path, *CutRecordOf(*walk));
        break;
    case WalkEnd::TrailingBytes:
        std::fprintf(stderr,
                     "WARNING: file '%s' has %llu bytes after its last record (record %zu) that "
                     "are no record\n",
                     path.c_str(),
                     static_cast<unsigned long long>(walk->fileSize - walk->recordsEnd), last);
        break;
    }
    if (cut) {
        *cut = CutRecordOf(*walk);
    }
    records = std::move(walk->records);
    return std::nullopt;
}
