// ztr export: writes a Zentra file as a C header for firmware: its bytes as a const
// uint8_t array (in program memory on AVR), its length, and a comment that lists the
// records as ztr list does.
#include "commands.h"

#include "describe_record.h"
#include "output_file.h"
#include "read_record_header.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int BYTES_PER_LINE = 12;

struct ExportOptions {
    std::string file;
    std::string name;
    std::string output; // empty: standard output
};

bool IsIdentifierStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsIdentifierChar(char c) {
    return IsIdentifierStart(c) || (c >= '0' && c <= '9');
}

bool IsIdentifier(const std::string& text) {
    if (text.empty() || !IsIdentifierStart(text[0])) {
        return false;
    }
    for (const char c : text) {
        if (!IsIdentifierChar(c)) {
            return false;
        }
    }
    return true;
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file's base name without its extension, every other character than a letter,
// digit or underscore made an underscore; "ztr_" in front when it would not start as
// an identifier does.
std::string NameFromPath(const std::string& path) {
    std::string base = BaseName(path);
    const std::size_t dot = base.find_last_of('.');
    if (dot != std::string::npos && dot > 0) {
        base.resize(dot);
    }
    for (char& c : base) {
        if (!IsIdentifierChar(c)) {
            c = '_';
        }
    }
    if (base.empty() || !IsIdentifierStart(base[0])) {
        base = "ztr_" + base;
    }
    return base;
}

std::string UpperCase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

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

std::string HeaderText(const ExportOptions& options, const std::vector<std::uint8_t>& bytes,
                       const std::vector<ListedRecord>& records) {
    const std::string& name = options.name;
    const std::string guard = UpperCase(name) + "_ZTR_H";
    const std::string size = UpperCase(name) + "_SIZE";
    std::string text;
    text += "/* " + name + ": the Zentra file " + BaseName(options.file) + " (" +
            std::to_string(bytes.size()) + " bytes), made by ztr export.\n";
    text += " * Records:\n";
    for (std::size_t i = 0; i < records.size(); ++i) {
        text += " *   " + std::to_string(i) + ": " +
                DescribeRecord(records[i].header, records[i].delta) + "\n";
    }
    text += " */\n";
    text += "#ifndef " + guard + "\n#define " + guard + "\n\n#include <stdint.h>\n\n";
    text += "/* Program memory on AVR, where RAM is too small for pictures. */\n"
            "#ifndef ZTR_IN_FLASH\n"
            "#if defined(__AVR__)\n"
            "#include <avr/pgmspace.h>\n"
            "#define ZTR_IN_FLASH PROGMEM\n"
            "#else\n"
            "#define ZTR_IN_FLASH\n"
            "#endif\n"
            "#endif\n\n";
    text += "#define " + size + " " + std::to_string(bytes.size()) + "ul\n\n";
    text += "static const uint8_t " + name + "[" +
            std::to_string(bytes.empty() ? 1 : bytes.size()) + "] ZTR_IN_FLASH = {";
    char hex[8];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text += i % BYTES_PER_LINE == 0 ? "\n    " : " ";
        std::snprintf(hex, sizeof hex, "0x%02X,", bytes[i]);
        text += hex;
    }
    if (bytes.empty()) {
        text += "0"; // C has no empty arrays; the size says there are no bytes
    }
    text += "\n};\n\n#endif /* " + guard + " */\n";
    return text;
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
    const std::string text = HeaderText(options, bytes, *records);
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
