// The C header of a Zentra file, shared by ztr export and the web page.
#include "c_header.h"

#include <algorithm>
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
                        const std::vector<std::string>& recordLines) {
    const std::string guard = UpperCase(name) + "_ZTR_H";
    std::string text;
    text += "/* " + name + ": the Zentra file " + BaseName(fileName) + " (" +
            std::to_string(count) + " bytes), made by ztr export.\n";
    text += " * Records:\n";
    for (std::size_t i = 0; i < recordLines.size(); ++i) {
        text += " *   " + std::to_string(i) + ": " + recordLines[i] + "\n";
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

// " = {...};" with the bytes first to last, twelve a line.
std::string ArrayBytes(const std::uint8_t* first, const std::uint8_t* last) {
    std::string text = " = {";
    char hex[8];
    for (const std::uint8_t* byte = first; byte != last; ++byte) {
        text += (byte - first) % BYTES_PER_LINE == 0 ? "\n    " : " ";
        std::snprintf(hex, sizeof hex, "0x%02X,", *byte);
        text += hex;
    }
    if (first == last) {
        text += "0"; // C has no empty arrays; the size says there are no bytes
    }
    return text + "\n};\n";
}

std::string ArrayBytes(const std::vector<std::uint8_t>& bytes) {
    return ArrayBytes(bytes.data(), bytes.data() + bytes.size());
}

// The parts of a split file: how many, and the size of each but the last.
std::size_t PartCount(std::size_t count) {
    return count == 0 ? 1 : (count + AVR_ARRAY_LIMIT - 1) / AVR_ARRAY_LIMIT;
}

std::size_t PartSize(std::size_t count, std::size_t part) {
    return count == 0 ? 0 : std::min(AVR_ARRAY_LIMIT, count - part * AVR_ARRAY_LIMIT);
}

std::string PartName(const std::string& name, std::size_t part) {
    return name + "_" + std::to_string(part);
}

// What the split forms add after the size: the parts' count and size, the copy from
// program memory, and a comment on how the device library reads them.
std::string SplitStart(const std::string& name, std::size_t count) {
    const std::string upper = UpperCase(name);
    const std::size_t parts = PartCount(count);
    return "/* The bytes in " + std::to_string(parts) + (parts == 1 ? " array" : " arrays") +
           " of at most " + std::to_string(AVR_ARRAY_LIMIT) +
           " bytes, as avr-gcc takes them. The device library\n"
           " * reads them through " +
           name + "_read:\n *     ztr_source file = ZTR_CALLBACK_SOURCE(" + name + "_read, 0, " +
           upper +
           "_SIZE);\n"
           " * On AVR the parts must lie in the first 64 KiB of program memory. */\n"
           "#define " +
           upper + "_PARTS " + std::to_string(parts) + "u\n#define " + upper + "_PART_SIZE " +
           std::to_string(AVR_ARRAY_LIMIT) +
           "ul\n\n"
           "#include <string.h>\n"
           "#ifndef ZTR_FLASH_COPY\n"
           "#if defined(__AVR__)\n"
           "#define ZTR_FLASH_COPY memcpy_P\n"
           "#else\n"
           "#define ZTR_FLASH_COPY memcpy\n"
           "#endif\n"
           "#endif\n\n";
}

// "uint16_t NAME_read(void* context, uint32_t offset, uint8_t* buffer, uint16_t length)"
std::string ReadSignature(const std::string& name) {
    return "uint16_t " + name +
           "_read(void* context, uint32_t offset, uint8_t* buffer, uint16_t length)";
}

// The read callback's definition: copies across the parts, never past the file's end.
std::string ReadDefinition(const std::string& name, std::size_t count, const std::string& prefix) {
    const std::string upper = UpperCase(name);
    std::string parts;
    for (std::size_t part = 0; part < PartCount(count); ++part) {
        parts += (part == 0 ? "" : ", ") + PartName(name, part);
    }
    return prefix + ReadSignature(name) + " {\n    static const uint8_t* const parts[" + upper +
           "_PARTS] = {" + parts +
           "};\n"
           "    uint16_t done = 0;\n"
           "    (void)context;\n"
           "    while (done < length && offset < " +
           upper +
           "_SIZE) {\n"
           "        const uint32_t at = offset % " +
           upper +
           "_PART_SIZE;\n"
           "        uint32_t piece = " +
           upper +
           "_PART_SIZE - at;\n"
           "        if (piece > " +
           upper + "_SIZE - offset) {\n            piece = " + upper +
           "_SIZE - offset;\n"
           "        }\n"
           "        if (piece > (uint32_t)(length - done)) {\n"
           "            piece = (uint32_t)(length - done);\n"
           "        }\n"
           "        ZTR_FLASH_COPY(buffer + done, parts[offset / " +
           upper +
           "_PART_SIZE] + at, (size_t)piece);\n"
           "        done = (uint16_t)(done + piece);\n"
           "        offset += piece;\n"
           "    }\n"
           "    return done;\n"
           "}\n";
}

// The parts' definitions, each with its bytes, under the given storage words.
std::string PartDefinitions(const std::string& name, const std::vector<std::uint8_t>& bytes,
                            const std::string& storage) {
    std::string text;
    for (std::size_t part = 0; part < PartCount(bytes.size()); ++part) {
        const std::uint8_t* first = bytes.data() + part * AVR_ARRAY_LIMIT;
        const std::size_t size = PartSize(bytes.size(), part);
        text +=
            storage + ArrayDeclarator(PartName(name, part), size) + ArrayBytes(first, first + size);
    }
    return text;
}

} // namespace

std::string HeaderText(const std::string& fileName, const std::string& name,
                       const std::vector<std::uint8_t>& bytes,
                       const std::vector<std::string>& recordLines) {
    return HeaderStart(fileName, name, bytes.size(), recordLines) + "static const uint8_t " +
           ArrayDeclarator(name, bytes.size()) + ArrayBytes(bytes) + "\n" + HeaderEnd(name);
}

std::string DeclarationHeaderText(const std::string& fileName, const std::string& name,
                                  std::size_t count, const std::vector<std::string>& recordLines) {
    return HeaderStart(fileName, name, count, recordLines) +
           "#ifdef __cplusplus\nextern \"C\" {\n" + "#endif\n\nextern const uint8_t " +
           ArrayDeclarator(name, count) + ";\n\n#ifdef __cplusplus\n}\n#endif\n\n" +
           HeaderEnd(name);
}

std::string SourceText(const std::string& headerPath, const std::string& name,
                       const std::vector<std::uint8_t>& bytes) {
    return "/* " + name + ": the bytes of the Zentra file declared in " + BaseName(headerPath) +
           ", made by ztr export. */\n#include \"" + BaseName(headerPath) + "\"\n\nconst uint8_t " +
           ArrayDeclarator(name, bytes.size()) + ArrayBytes(bytes);
}

std::string SplitHeaderText(const std::string& fileName, const std::string& name,
                            const std::vector<std::uint8_t>& bytes,
                            const std::vector<std::string>& recordLines) {
    return HeaderStart(fileName, name, bytes.size(), recordLines) + SplitStart(name, bytes.size()) +
           PartDefinitions(name, bytes, "static const uint8_t ") + "\n" +
           ReadDefinition(name, bytes.size(), "static inline ") + "\n" + HeaderEnd(name);
}

std::string SplitDeclarationHeaderText(const std::string& fileName, const std::string& name,
                                       std::size_t count,
                                       const std::vector<std::string>& recordLines) {
    std::string declarations;
    for (std::size_t part = 0; part < PartCount(count); ++part) {
        declarations += "extern const uint8_t " +
                        ArrayDeclarator(PartName(name, part), PartSize(count, part)) + ";\n";
    }
    return HeaderStart(fileName, name, count, recordLines) + SplitStart(name, count) +
           "#ifdef __cplusplus\nextern \"C\" {\n#endif\n\n" + declarations + ReadSignature(name) +
           ";\n\n#ifdef __cplusplus\n}\n#endif\n\n" + HeaderEnd(name);
}

std::string SplitSourceText(const std::string& headerPath, const std::string& name,
                            const std::vector<std::uint8_t>& bytes) {
    return "/* " + name + ": the bytes of the Zentra file declared in " + BaseName(headerPath) +
           ", made by ztr export. */\n#include \"" + BaseName(headerPath) + "\"\n\n" +
           PartDefinitions(name, bytes, "const uint8_t ") + "\n" +
           ReadDefinition(name, bytes.size(), "");
}
