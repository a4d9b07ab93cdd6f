// Helpers for the reader and profile tests: a sink that records every reported
// message, scratch files in a private temporary folder, and little-endian bitmap files
// built field by field.
#pragma once

#include "little_endian.h"
#include "message_recorder.h"
#include "scratch_name.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace readers_test {

using ::MessageRecorder;

inline std::string TestDataPath(const std::string& name) {
    return std::string(ZENTRA_TEST_DATA) + "/" + name;
}

inline std::filesystem::path ScratchFolder() {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ScratchName("zentra_readers_tests");
    std::filesystem::create_directories(folder);
    return folder;
}

// Writes bytes to a scratch file of that name and returns its path.
inline std::string WriteScratchFile(const std::string& name, std::string_view bytes) {
    const std::filesystem::path path = ScratchFolder() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

inline std::string WriteScratchFile(const std::string& name,
                                    const std::vector<std::uint8_t>& bytes) {
    return WriteScratchFile(
        name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// The fields of a bitmap's headers that the tests vary.
struct BmpFields {
    std::uint32_t infoSize = 40;
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 8;
    std::uint32_t compression = 0;
    std::uint32_t colourCount = 0;
    char signature[2] = {'B', 'M'};
};

// A bitmap file: 14-byte file header, an information header of infoSize bytes (the
// 40-byte fields filled, the rest zero), then table and pixel bytes as given.
inline std::vector<std::uint8_t> MakeBmp(const BmpFields& fields,
                                         const std::vector<std::uint8_t>& table,
                                         const std::vector<std::uint8_t>& pixelData) {
    std::vector<std::uint8_t> file(14 + fields.infoSize, 0);
    file[0] = static_cast<std::uint8_t>(fields.signature[0]);
    file[1] = static_cast<std::uint8_t>(fields.signature[1]);
    const auto dataOffset = static_cast<std::uint32_t>(14 + fields.infoSize + table.size());
    PutU32LE(&file[2], static_cast<std::uint32_t>(dataOffset + pixelData.size()));
    PutU32LE(&file[10], dataOffset);
    PutU32LE(&file[14], fields.infoSize);
    PutU32LE(&file[18], static_cast<std::uint32_t>(fields.width));
    PutU32LE(&file[22], static_cast<std::uint32_t>(fields.height));
    PutU16LE(&file[26], fields.planes);
    PutU16LE(&file[28], fields.bitCount);
    PutU32LE(&file[30], fields.compression);
    PutU32LE(&file[46], fields.colourCount);
    file.insert(file.end(), table.begin(), table.end());
    file.insert(file.end(), pixelData.begin(), pixelData.end());
    return file;
}

} // namespace readers_test
