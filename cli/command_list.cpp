// ztr list: prints the list line of every record of a Zentra file, walking it as the
// viewer does, so that a damaged file lists the records before the damage.
#include "commands.h"

#include "describe_record.h"
#include "read_record_header.h"

#include <cstdio>

int RunList(const CommandArgs& args) {
    std::string path;
    if (const auto status = TakeSingleOperand(args, "file", path)) {
        return *status;
    }
    if (path.empty()) {
        return UsageError("no file given");
    }
    const auto records = ListRecords(path);
    if (!records) {
        return Failure("cannot open '" + path + "'");
    }
    for (const ListedRecord& record : *records) {
        std::printf("%s\n", DescribeRecord(record.header, record.delta).c_str());
    }
    return EXIT_DONE;
}
