// Writes a C header of dense-coded records for the device speed firmware (device/firmware/
// dense_speed.c), as "ztr export --name dense_file" writes a file: each chosen record of a
// corpus file as a full frame of its lay-out, depth and size whose pixel data is its dense
// coding with the 512-byte window or, with --whole, with copies from the whole frame (with
// whole literal bytes or a table, whichever is smaller), and RECORD_NAMES, the records' names.
//   zentra_dense_records [--whole] OUT.h FILE:INDEX...
#include "dense_coding.h"
#include "record_streams.h"
#include "zentra_format.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

void WriteArray(std::ostream& out, const std::vector<std::uint8_t>& bytes) {
    out << "static const uint8_t dense_file[] IN_FLASH = {";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out << (i % 20 == 0 ? "\n    " : " ") << static_cast<unsigned>(bytes[i]) << ",";
    }
    out << "\n};\n#define DENSE_FILE_SIZE " << bytes.size() << "u\n";
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
    std::vector<std::uint8_t> file;
    std::ostringstream names;
    DenseEncoder encoder;
    for (int i = first + 1; i < argc; ++i) {
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
        // The smaller of the two forms of literal bytes, as the converter's auto takes it.
        const DenseEncoder::BothForms both = encoder.EncodeBothForms(r.unpacked, r.shape, window);
        const bool table = !both.table.empty() && both.table.size() < both.whole.size();
        const std::vector<std::uint8_t>& coded = table ? both.table : both.whole;
        RecordHeader header;
        header.literalTable = table;
        header.layout = static_cast<std::uint8_t>(r.header.layout & LAYOUT_BITS);
        header.depth = r.header.depth;
        header.width = r.header.width;
        header.height = r.header.height;
        header.coding = PixelCoding::Dense;
        header.wholeStream = window == DenseWindow::WholeStream;
        header.recordLength = static_cast<std::uint32_t>(RECORD_HEADER_SIZE + coded.size());
        const auto head = EncodeRecordHeader(header);
        file.insert(file.end(), head.begin(), head.end());
        file.insert(file.end(), coded.begin(), coded.end());
        names << (i == first + 1 ? "" : ", ") << "\"" << std::filesystem::path(path).stem().string()
              << ":" << index << "\"";
    }
    std::ofstream out(argv[first], std::ios::binary | std::ios::trunc);
    out << "/* Records for the dense speed firmware, made by zentra_dense_records. */\n"
           "#include <stdint.h>\n"
           "#ifdef __AVR__\n#include <avr/pgmspace.h>\n#define IN_FLASH PROGMEM\n#else\n"
           "#define IN_FLASH\n#endif\n\n";
    WriteArray(out, file);
    out << "#define RECORD_NAMES " << names.str() << "\n";
    if (!out) {
        std::fprintf(stderr, "%s: cannot write\n", argv[first]);
        return 1;
    }
    return 0;
}
