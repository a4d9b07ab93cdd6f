// Writes a C header of dense-coded records for the device speed firmware (device/firmware/
// dense_speed.c): for each chosen record of a corpus file its dense coding with the
// 512-byte window or, with --whole, with copies from the whole stream, its line length,
// its unpacked size and the FNV-1a checksum of its unpacked stream.
//   zentra_dense_records [--whole] OUT.h FILE:INDEX...
#include "dense_coding.h"
#include "record_streams.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::uint32_t Checksum(const std::vector<std::uint8_t>& bytes) {
    std::uint32_t value = 0x811C9DC5u;
    for (const std::uint8_t b : bytes) {
        value = (value ^ b) * 0x01000193u;
    }
    return value;
}

void WriteArray(std::ostream& out, const std::string& name,
                const std::vector<std::uint8_t>& bytes) {
    out << "static const uint8_t " << name << "[] IN_FLASH = {";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out << (i % 20 == 0 ? "\n    " : " ") << static_cast<unsigned>(bytes[i]) << ",";
    }
    out << "\n};\n";
}

} // namespace

int main(int argc, char** argv) {
    int first = 1;
    DenseWindow window = DenseWindow::Bytes512;
    if (argc > 1 && std::string(argv[1]) == "--whole") {
        window = DenseWindow::WholeStream;
        first = 2;
    }
    if (argc < first + 2) {
        std::fprintf(stderr, "usage: %s [--whole] OUT.h FILE:INDEX...\n", argv[0]);
        return 2;
    }
    std::ostringstream arrays;
    std::ostringstream table;
    int k = 0;
    for (int i = first + 1; i < argc; ++i, ++k) {
        const std::string argument = argv[i];
        const auto colon = argument.rfind(':');
        if (colon == std::string::npos) {
            std::fprintf(stderr, "%s: not FILE:INDEX\n", argument.c_str());
            return 2;
        }
        const std::string path = argument.substr(0, colon);
        const std::size_t index = std::stoul(argument.substr(colon + 1));
        std::string error;
        const auto records = ReadRecordStreams(path, error);
        if (!records || index >= records->size()) {
            std::fprintf(stderr, "%s\n",
                         records ? (path + ": no record " + argument.substr(colon + 1)).c_str()
                                 : error.c_str());
            return 1;
        }
        const RecordStream& r = (*records)[index];
        const auto coded = EncodeDense(r.unpacked, r.shape, window);
        WriteArray(arrays, "dense_" + std::to_string(k), coded);
        char line[400];
        std::snprintf(line, sizeof line,
                      "    {dense_%d, sizeof dense_%d, %zuu, %zuu, "
                      "0x%08Xul, %u, \"%s:%zu\"},\n",
                      k, k, r.unpacked.size(), r.shape.lineUnits, Checksum(r.unpacked),
                      r.header.depth, std::filesystem::path(path).stem().c_str(), index);
        table << line;
    }
    std::ofstream out(argv[first], std::ios::binary | std::ios::trunc);
    out << "/* Records for the dense speed firmware, made by zentra_dense_records. */\n"
           "#include <stdint.h>\n"
           "#ifdef __AVR__\n#include <avr/pgmspace.h>\n#define IN_FLASH PROGMEM\n#else\n"
           "#define IN_FLASH\n#endif\n\n"
        << arrays.str() << "static const struct test_record records[] = {\n"
        << table.str() << "};\n";
    if (!out) {
        std::fprintf(stderr, "%s: cannot write\n", argv[first]);
        return 1;
    }
    return 0;
}
