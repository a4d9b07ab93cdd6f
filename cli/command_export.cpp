// ztr export: writes a Zentra file as a C header for firmware: its bytes as a const
// uint8_t array (in program memory on AVR), its length, and a comment that lists the
// records as ztr list does.
#include "commands.h"

#include "c_header.h"
#include "output_file.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

struct ExportOptions {
    std::string file;
    std::string name;
    std::string output; // empty: standard output
};

std::optional<int> ParseExportArgs(const CommandArgs& args, ExportOptions& options) {
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (IsHelpOption(arg)) {
            PrintHelp();
            return EXIT_DONE;
        }
        if (arg == "--name" || arg == "-o" || arg == "--output") {
            if (i + 1 == args.size()) {
                return UsageError("option '" + arg + "' needs a value");
            }
            (arg == "--name" ? options.name : options.output) = args[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            return UsageError("unknown option '" + arg + "'");
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.empty()) {
        return UsageError("no file given");
    }
    if (positional.size() > 1) {
        return UsageError("more than one file given");
    }
    options.file = positional[0];
    if (options.name.empty()) {
        options.name = NameFromPath(options.file);
    } else if (!IsIdentifier(options.name)) {
        return UsageError("invalid name '" + options.name + "' (a C identifier)");
    }
    return std::nullopt;
}

} // namespace

int RunExport(const CommandArgs& args) {
    ExportOptions options;
    if (const auto status = ParseExportArgs(args, options)) {
        return *status;
    }
    std::ifstream in(options.file, std::ios::binary);
    if (!in) {
        return Failure("cannot open '" + options.file + "'");
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    if (in.bad()) {
        return Failure("cannot read '" + options.file + "'");
    }
    const auto records = ListRecords(options.file);
    if (!records) {
        return Failure("cannot open '" + options.file + "'");
    }
    const std::string text = HeaderText(options.file, options.name, bytes, *records);
    if (options.output.empty()) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return std::fflush(stdout) == 0 ? EXIT_DONE : Failure("cannot write the header");
    }
    OutputFile output(options.output);
    if (!output.Open() || std::fwrite(text.data(), 1, text.size(), output.File()) != text.size() ||
        !output.Commit()) {
        return Failure("cannot write '" + options.output + "'");
    }
    return EXIT_DONE;
}
