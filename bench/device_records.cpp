// Writes a C header of records for the device speed firmware (device/firmware/
// squash_speed.c): each chosen record of a corpus file both as a one-record Zentra file
// (run-length coded, as the writer codes it) and as squash-coded pixel data, with its
// shape and the checksum of its unpacked stream.
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

std::uint32_t Checksum(const std::vector<std::uint8_t>& bytes) {
    std::uint32_t value = 0x811C9DC5u; // FNV-1a, as the firmware computes it
    for (const std::uint8_t b : bytes) {
        value = (value ^ b) * 0x01000193u;
    }
    return value;
}

// The record as a file of its own: the header (as a full frame, not the last of an
// animation) and its pixel data run-length coded.
std::vector<std::uint8_t> RunLengthRecord(const RecordStream& r) {
    RunLengthBuffer coded;
    BeginPixelData(coded);
    {
        PixelByteCoder coder(coded);
        for (const std::uint8_t b : r.unpacked) {
            coder.Put(b);
        }
    }
    RecordHeader header = r.header;
    header.layout = static_cast<std::uint8_t>(header.layout & LAYOUT_BITS);
    header.recordLength = static_cast<std::uint32_t>(RECORD_HEADER_SIZE + coded.Length());
    const auto head = EncodeRecordHeader(header);
    std::vector<std::uint8_t> file(header.recordLength);
    std::copy(head.begin(), head.end(), file.begin());
    std::copy(coded.Data(), coded.Data() + coded.Length(), file.begin() + RECORD_HEADER_SIZE);
    EndPixelData(coded, nullptr);
    return file;
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
    std::string text;
    std::string table;
    std::ostringstream arrays;
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
        const std::string id = "record_" + std::to_string(i - 2);
        const auto squash = EncodeSquash(r.unpacked, r.shape);
        WriteArray(arrays, id + "_rl", RunLengthRecord(r));
        WriteArray(arrays, id + "_squash", squash);
        const std::string name =
            std::filesystem::path(path).stem().string() + ":" + std::to_string(index);
        char row[512];
        std::snprintf(row, sizeof row,
                      "    {\"%s\", %s_rl, sizeof %s_rl, %s_squash, sizeof %s_squash, %zuu, %zuu, "
                      "0x%08Xu, %u, %u},\n",
                      name.c_str(), id.c_str(), id.c_str(), id.c_str(), id.c_str(),
                      r.shape.totalBytes, r.shape.lineUnits * r.shape.unitBytes,
                      Checksum(r.unpacked), r.shape.depth, r.shape.highByteFirst ? 1u : 0u);
        table += row;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << "/* Records for the device speed firmware, made by zentra_device_records. */\n"
           "#include <stdint.h>\n"
           "#ifdef __AVR__\n#include <avr/pgmspace.h>\n#define IN_FLASH PROGMEM\n#else\n"
           "#define IN_FLASH\n#endif\n\n"
        << arrays.str() << "\nstatic const test_record records[] = {\n"
        << table << "};\n#define RECORD_COUNT (sizeof records / sizeof records[0])\n";
    if (!out) {
        std::fprintf(stderr, "%s: cannot write\n", argv[1]);
        return 1;
    }
    return 0;
}
