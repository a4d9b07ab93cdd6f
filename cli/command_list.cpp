// ztr list: prints the list line of every record of a Zentra file, walking it as the
// viewer does, so that a damaged file lists the records before the damage (with a
// warning), and refuses what is no Zentra file.
#include "commands.h"

#include "describe_record.h"
#include "read_zentra_file.h"

#include <cstdio>

int RunList(const CommandArgs& args) {
    std::string path;
    if (const auto status = TakeSingleOperand(args, "file", path)) {
        return *status;
    }
    if (path.empty()) {
        return UsageError("no file given");
    }
    std::vector<ListedRecord> records;
    if (const auto status = ReadZentraFile(path, records)) {
        return *status;
    }
    for (const ListedRecord& record : records) {
        std::printf("%s\n", DescribeRecord(record.header, record.delta).c_str());
    }
    return EXIT_DONE;
}
