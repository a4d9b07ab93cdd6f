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

std::string HeaderText(const std::string& fileName, const std::string& name,
                       const std::vector<std::uint8_t>& bytes,
                       const std::vector<ListedRecord>& records) {
    const std::string guard = UpperCase(name) + "_ZTR_H";
    const std::string size = UpperCase(name) + "_SIZE";
    std::string text;
    text += "/* " + name + ": the Zentra file " + BaseName(fileName) + " (" +
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
