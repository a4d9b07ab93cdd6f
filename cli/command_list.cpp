// ztr list: prints the list line of every record of a Zentra file, walking it as the
// viewer does, so that a damaged file lists the records before the damage (with a
// warning), and refuses what is no Zentra file.
#include "commands.h"

#include "describe_record.h"
#include "read_zentra_file.h"

#include <cstdio>

int RunList(const CommandArgs& args) {
    // --verbose, anywhere, adds what the viewer's line leaves out: the lay-out in 0x
    // hexadecimal and the palette a record carries.
    CommandArgs operands;
    RecordLineStyle style;
    for (const std::string& arg : args) {
        if (arg == "--verbose") {
            style = {true, true};
        } else {
            operands.push_back(arg);
        }
    }
    std::string path;
    if (const auto status = TakeSingleOperand(operands, "file", path)) {
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
        std::printf("%s\n", DescribeRecord(record.header, record.delta, style).c_str());
    }
    return EXIT_DONE;
}
