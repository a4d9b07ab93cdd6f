// Hand-made Zentra files for the decoder tests: records assembled byte by byte in memory,
// and a temporary folder for the tests that need real files (conversions, file reading).
#pragma once

#include "zentra_format.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Run-length codes an unpacked stream the way any writer must: the previous literal
// starts as 0, a run of k equal bytes after a different literal is b, b, k - 2, and a
// byte equal to the previous literal is followed by a count at once.
inline Bytes CodeRunLength(const Bytes& unpacked) {
    Bytes coded;
    int previous = 0;
    std::size_t i = 0;
    while (i < unpacked.size()) {
        const std::uint8_t b = unpacked[i];
        std::size_t k = 1;
        while (i + k < unpacked.size() && unpacked[i + k] == b && k < 256) {
            ++k;
        }
        if (previous == b) {
            coded.push_back(b);
            coded.push_back(static_cast<std::uint8_t>(k - 1));
            previous = -1;
        } else if (k == 1) {
            coded.push_back(b);
            previous = b;
        } else {
            coded.push_back(b);
            coded.push_back(b);
            coded.push_back(static_cast<std::uint8_t>(k - 2));
            previous = -1;
        }
        i += k;
    }
    return coded;
}

struct RecordRecipe {
    std::uint8_t layout = 0;
    std::uint8_t depth = 1;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    DeltaHeader delta{}; // written when layout has RECORD_DELTA
    Bytes palette;       // written as given when layout has RECORD_PALETTE
    Bytes unpacked;      // pixel data before run-length coding
    Bytes extra;         // bytes after the pixel data, counted in the record length
};

// A record of the lay-out, depth and size holding the unpacked pixel data.
inline RecordRecipe Recipe(std::uint8_t layout, std::uint8_t depth, std::uint16_t width,
                           std::uint16_t height, Bytes unpacked) {
    RecordRecipe recipe;
    recipe.layout = layout;
    recipe.depth = depth;
    recipe.width = width;
    recipe.height = height;
    recipe.unpacked = std::move(unpacked);
    return recipe;
}

// A one-bit record of the size, in row order unless a lay-out is given, its pixel bytes
// all 0x5A.
inline RecordRecipe FilledRecipe(std::uint16_t width, std::uint16_t height,
                                 std::uint8_t layout = 0) {
    return Recipe(layout, 1, width, height,
                  Bytes(static_cast<std::size_t>((width + 7) / 8) * height, 0x5A));
}

// The same as a delta record standing `delay` ms, its rectangle at (dx, dy).
inline RecordRecipe DeltaRecipe(std::uint16_t delay, std::uint8_t layout, std::uint8_t depth,
                                std::uint16_t width, std::uint16_t height, std::uint16_t dx,
                                std::uint16_t dy, Bytes unpacked) {
    RecordRecipe recipe = Recipe(layout | RECORD_DELTA, depth, width, height, std::move(unpacked));
    recipe.delta = DeltaHeader{delay, dx, dy};
    return recipe;
}

// One whole record with a correct record length.
inline Bytes MakeRecord(const RecordRecipe& recipe) {
    Bytes body;
    if ((recipe.layout & RECORD_DELTA) != 0) {
        const auto delta = EncodeDeltaHeader(recipe.delta);
        body.insert(body.end(), delta.begin(), delta.end());
    }
    if ((recipe.layout & RECORD_PALETTE) != 0) {
        body.insert(body.end(), recipe.palette.begin(), recipe.palette.end());
    }
    const Bytes coded = CodeRunLength(recipe.unpacked);
    body.insert(body.end(), coded.begin(), coded.end());
    body.insert(body.end(), recipe.extra.begin(), recipe.extra.end());
    RecordHeader header;
    header.recordLength = static_cast<std::uint32_t>(RECORD_HEADER_SIZE + body.size());
    header.layout = recipe.layout;
    header.depth = recipe.depth;
    header.width = recipe.width;
    header.height = recipe.height;
    const auto head = EncodeRecordHeader(header);
    Bytes record(head.begin(), head.end());
    record.insert(record.end(), body.begin(), body.end());
    return record;
}

inline Bytes Concat(const std::vector<Bytes>& parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

class TempFolder {
  public:
    TempFolder() {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("zentra_decoder_test_" + std::to_string(std::random_device{}()) + "_" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "_" +
                 std::to_string(++counter));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string Write(const std::string& name, const Bytes& bytes) const {
        const std::filesystem::path file = path_ / name;
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return file.string();
    }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};
