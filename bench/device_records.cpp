// Writes a C header of records for the device speed firmware (device/firmware/
// squash_speed.c): the chosen records of corpus files as two files of their own, one
// run-length coded (as the writer codes it) and one squash coded, as the arrays rle_file
// and squash_file that "ztr export --name" would write, and their names.
//   zentra_device_records OUT.h FILE:INDEX...
#include "record_streams.h"
#include "run_length_buffer.h"
#include "squash_coding.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The run-length coding of an unpacked stream, by the writer's coder.
std::vector<std::uint8_t> RunLength(const std::vector<std::uint8_t>& unpacked) {
    RunLengthBuffer coded;
    BeginPixelData(coded);
    {
        PixelByteCoder coder(coded);
        for (const std::uint8_t b : unpacked) {
            coder.Put(b);
        }
    }
    std::vector<std::uint8_t> bytes(coded.Data(), coded.Data() + coded.Length());
    EndPixelData(coded, nullptr);
    return bytes;
}

// The record, as a full frame that is not the last of an animation, with its pixel data
// in the coding, appended to file.
void AppendRecord(std::vector<std::uint8_t>& file, const RecordStream& r, PixelCoding coding) {
    const std::vector<std::uint8_t> coded =
        coding == PixelCoding::Squash ? EncodeSquash(r.unpacked, r.shape) : RunLength(r.unpacked);
    RecordHeader header = r.header;
    header.layout = static_cast<std::uint8_t>(header.layout & LAYOUT_BITS);
    header.coding = coding;
    header.recordLength = static_cast<std::uint32_t>(RECORD_HEADER_SIZE + coded.size());
    const auto head = EncodeRecordHeader(header);
    file.insert(file.end(), head.begin(), head.end());
    file.insert(file.end(), coded.begin(), coded.end());
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
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUT.h FILE:INDEX...\n", argv[0]);
        return 2;
    }
    std::vector<std::uint8_t> runLengthFile;
    std::vector<std::uint8_t> squashFile;
    std::string names;
    for (int i = 2; i < argc; ++i) {
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
        AppendRecord(runLengthFile, r, PixelCoding::RunLength);
        AppendRecord(squashFile, r, PixelCoding::Squash);
        names += (names.empty() ? "\"" : ", \"") + std::filesystem::path(path).stem().string() +
                 ":" + std::to_string(index) + "\"";
    }
    std::ostringstream arrays;
    WriteArray(arrays, "rle_file", runLengthFile);
    WriteArray(arrays, "squash_file", squashFile);
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << "/* Records for the device speed firmware, made by zentra_device_records. */\n"
           "#include <stdint.h>\n"
           "#ifdef __AVR__\n#include <avr/pgmspace.h>\n#define IN_FLASH PROGMEM\n#else\n"
           "#define IN_FLASH\n#endif\n\n"
        << arrays.str() << "#define RLE_FILE_SIZE " << runLengthFile.size()
        << "u\n#define SQUASH_FILE_SIZE " << squashFile.size() << "u\n#define RECORD_NAMES "
        << names << "\n";
    if (!out) {
        std::fprintf(stderr, "%s: cannot write\n", argv[1]);
        return 1;
    }
    return 0;
}
