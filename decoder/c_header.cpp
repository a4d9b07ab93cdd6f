// The C header of a Zentra file, shared by ztr export and the web page.
#include "c_header.h"

#include "describe_record.h"

#include <cstdio>

namespace {

constexpr int BYTES_PER_LINE = 12;

bool IsIdentifierStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsIdentifierChar(char c) {
    return IsIdentifierStart(c) || (c >= '0' && c <= '9');
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string UpperCase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

} // namespace

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

namespace {

// The comment that names the file and lists its records, the include guard's start, the
// program-memory macro and the size: what a header begins with, with or without data.
std::string HeaderStart(const std::string& fileName, const std::string& name, std::size_t count,
                        const std::vector<ListedRecord>& records) {
    const std::string guard = UpperCase(name) + "_ZTR_H";
    std::string text;
    text += "/* " + name + ": the Zentra file " + BaseName(fileName) + " (" +
            std::to_string(count) + " bytes), made by ztr export.\n";
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
    text += "#define " + UpperCase(name) + "_SIZE " + std::to_string(count) + "ul\n\n";
    return text;
}

std::string HeaderEnd(const std::string& name) {
    return "#endif /* " + UpperCase(name) + "_ZTR_H */\n";
}

// "NAME[N] ZTR_IN_FLASH", the array as it is declared and defined.
std::string ArrayDeclarator(const std::string& name, std::size_t count) {
    return name + "[" + std::to_string(count == 0 ? 1 : count) + "] ZTR_IN_FLASH";
}

// " = {...};" with the bytes, twelve a line.
std::string ArrayBytes(const std::vector<std::uint8_t>& bytes) {
    std::string text = " = {";
    char hex[8];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text += i % BYTES_PER_LINE == 0 ? "\n    " : " ";
        std::snprintf(hex, sizeof hex, "0x%02X,", bytes[i]);
        text += hex;
    }
    if (bytes.empty()) {
        text += "0"; // C has no empty arrays; the size says there are no bytes
    }
    return text + "\n};\n";
}

} // namespace

std::string HeaderText(const std::string& fileName, const std::string& name,
                       const std::vector<std::uint8_t>& bytes,
                       const std::vector<ListedRecord>& records) {
    return HeaderStart(fileName, name, bytes.size(), records) + "static const uint8_t " +
           ArrayDeclarator(name, bytes.size()) + ArrayBytes(bytes) + "\n" + HeaderEnd(name);
}

std::string DeclarationHeaderText(const std::string& fileName, const std::string& name,
                                  std::size_t count, const std::vector<ListedRecord>& records) {
    return HeaderStart(fileName, name, count, records) + "#ifdef __cplusplus\nextern \"C\" {\n" +
           "#endif\n\nextern const uint8_t " + ArrayDeclarator(name, count) +
           ";\n\n#ifdef __cplusplus\n}\n#endif\n\n" + HeaderEnd(name);
}

std::string SourceText(const std::string& headerPath, const std::string& name,
                       const std::vector<std::uint8_t>& bytes) {
    return "/* " + name + ": the bytes of the Zentra file declared in " + BaseName(headerPath) +
           ", made by ztr export. */\n#include \"" + BaseName(headerPath) + "\"\n\nconst uint8_t " +
           ArrayDeclarator(name, bytes.size()) + ArrayBytes(bytes);
}
