// ztr export: writes a Zentra file as a C header for firmware: its bytes as a const
// uint8_t array (in program memory on AVR), its length, and a comment that lists the
// records as ztr list does.
#include "commands.h"

#include "c_header.h"
#include "describe_record.h"
#include "interrupt_cleanup.h"
#include "output_file.h"
#include "read_command_args.h"
#include "read_zentra_file.h"
#include "same_file.h"
#include "system_reason.h"

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
    std::string output;   // empty: standard output
    std::string source;   // with it, the data goes there and the header only declares it
    bool split = false;   // the bytes in arrays avr-gcc takes, read through a callback
    bool keepCut = false; // a cut file: the whole records before its cut one
};

std::optional<int> ParseExportArgs(const CommandArgs& args, ExportOptions& options) {
    CommandWords words;
    words.flags = {"--split", "--keep-cut"};
    words.valued = {"--name", "-o", "--output", "--source"};
    words.onFlag = [&](const std::string& flag) {
        (flag == "--split" ? options.split : options.keepCut) = true;
    };
    words.onValue = [&](const std::string& option, const std::string& value) -> std::optional<int> {
        (option == "--name"     ? options.name
         : option == "--source" ? options.source
                                : options.output) = value;
        return std::nullopt;
    };
    std::vector<std::string> positional;
    if (const auto status = ReadCommandArgs(args, words, positional)) {
        return status;
    }
    if (positional.empty()) {
        return UsageError("no file given");
    }
    if (positional.size() > 1) {
        return UsageError("more than one file given");
    }
    options.file = positional[0];
    if (!options.source.empty() && options.output.empty()) {
        return UsageError("--source needs the header's name too (-o OUT.h)");
    }
    if (!options.source.empty() && SamePathText(options.source, options.output)) {
        return UsageError("the header and the source would both be written to '" + options.output +
                          "'");
    }
    if (options.name.empty()) {
        options.name = NameFromPath(options.file);
    } else if (!IsIdentifier(options.name)) {
        return UsageError("invalid name '" + options.name + "' (a C identifier)");
    }
    return std::nullopt;
}

// Refuses outputs that would replace the input, or each other, under any name, before
// anything is read or written.
std::optional<int> RefuseWritingOverInput(const ExportOptions& options) {
    for (const std::string* output : {&options.output, &options.source}) {
        if (!output->empty() && SameFile(*output, options.file)) {
            return Failure("the output '" + *output + "' would write over the input '" +
                           options.file + "'");
        }
    }
    if (!options.source.empty() && SameFile(options.source, options.output)) {
        return Failure("the header '" + options.output + "' and the source '" + options.source +
                       "' would be one file");
    }
    return std::nullopt;
}

// A cut file is no file for firmware: the device library finds its last record damaged.
// Refused, or with --keep-cut taken as far as its whole records go (bytes and records
// shortened to them, with a line that says so).
std::optional<int> TakeWholeRecords(const ExportOptions& options, const CutRecord& cut,
                                    std::vector<std::uint8_t>& bytes,
                                    std::vector<ListedRecord>& records) {
    const std::string index = std::to_string(cut.index);
    if (!options.keepCut) {
        return Failure("'" + options.file + "' is not exported: the device library would find " +
                       "its record " + index + " damaged (--keep-cut exports the whole " +
                       "records before it)");
    }
    if (cut.index == 0) {
        return Failure("'" + options.file +
                       "' has no whole record before its cut record 0: " + "nothing to export");
    }
    bytes.resize(static_cast<std::size_t>(cut.start));
    records.pop_back();
    std::fprintf(stderr, "ztr: exporting records 0 to %zu of '%s' (%zu bytes), without record %s\n",
                 cut.index - 1, options.file.c_str(), bytes.size(), index.c_str());
    return std::nullopt;
}

// Opens the output's temporary file and writes the text into it.
bool WriteWhole(OutputFile& output, const std::string& text) {
    if (!output.Open()) {
        return false;
    }
    ResetSystemError();
    if (std::fwrite(text.data(), 1, text.size(), output.File()) != text.size()) {
        output.NoteWriteError();
        return false;
    }
    return true;
}

} // namespace

int RunExport(const CommandArgs& args) {
    ExportOptions options;
    if (const auto status = ParseExportArgs(args, options)) {
        return *status;
    }
    if (const auto refused = RefuseWritingOverInput(options)) {
        return *refused;
    }
    std::vector<ListedRecord> records;
    std::optional<CutRecord> cut;
    if (const auto status = ReadZentraFile(options.file, records, &cut)) {
        return *status;
    }
    std::ifstream in(options.file, std::ios::binary);
    if (!in) {
        return Failure({.code = OutcomeCode::CannotOpenFile, .file = options.file});
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (in.bad()) {
        return Failure("cannot read '" + options.file + "'");
    }
    if (cut) {
        if (cut->start > bytes.size()) {
            return Failure("cannot read '" + options.file + "'"); // it changed while read
        }
        if (const auto status = TakeWholeRecords(options, *cut, bytes, records)) {
            return *status;
        }
    }
    const std::vector<std::string> lines = DescribeRecords(records);
    if (bytes.size() > AVR_ARRAY_LIMIT && !options.split) {
        std::fprintf(stderr,
                     "WARNING: '%s' is %zu bytes: avr-gcc refuses arrays of more than %zu bytes "
                     "(\"size of array is too large\"); for AVR firmware export it with --split\n",
                     options.file.c_str(), bytes.size(), AVR_ARRAY_LIMIT);
    }
    if (options.output.empty()) {
        const std::string text = options.split
                                     ? SplitHeaderText(options.file, options.name, bytes, lines)
                                     : HeaderText(options.file, options.name, bytes, lines);
        std::fwrite(text.data(), 1, text.size(), stdout);
        return std::fflush(stdout) == 0 ? EXIT_DONE : Failure("cannot write the header");
    }
    // Both files are complete before either takes its name.
    const bool pair = !options.source.empty();
    std::string header;
    if (pair) {
        header = options.split
                     ? SplitDeclarationHeaderText(options.file, options.name, bytes.size(), lines)
                     : DeclarationHeaderText(options.file, options.name, bytes.size(), lines);
    } else {
        header = options.split ? SplitHeaderText(options.file, options.name, bytes, lines)
                               : HeaderText(options.file, options.name, bytes, lines);
    }
    OutputFile headerFile(options.output, InterruptCleanupNotice());
    if (!WriteWhole(headerFile, header)) {
        return Failure("cannot write '" + options.output + "'", headerFile.FailureReason());
    }
    if (pair) {
        const std::string source = options.split
                                       ? SplitSourceText(options.output, options.name, bytes)
                                       : SourceText(options.output, options.name, bytes);
        OutputFile sourceFile(options.source, InterruptCleanupNotice());
        if (!WriteWhole(sourceFile, source) || !sourceFile.Commit()) {
            return Failure("cannot write '" + options.source + "'", sourceFile.FailureReason());
        }
    }
    if (!headerFile.Commit()) {
        return Failure("cannot write '" + options.output + "'", headerFile.FailureReason());
    }
    return EXIT_DONE;
}
