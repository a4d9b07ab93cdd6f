// Source files for the reader benchmarks and the comparison workload, written with the
// explicit little-endian helpers, and the scratch folder that holds them.
#include "bench_files.h"

#include "little_endian.h"

#include <fstream>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace {

std::uint8_t Pixel(const BenchPicture& picture, int x, int y) {
    return picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
}

void WriteBytes(const std::filesystem::path& path, const std::string& header,
                const std::vector<std::uint8_t>& body) {
    std::ofstream out(path, std::ios::binary);
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
    out.write(reinterpret_cast<const char*>(body.data()),
              static_cast<std::streamsize>(body.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::string PnmHeader(const char* magic, const BenchPicture& picture, bool grey) {
    std::string header = std::string(magic) + "\n" + std::to_string(picture.width) + " " +
                         std::to_string(picture.height) + "\n";
    return grey ? header + "255\n" : header;
}

// Plain formats: one value per pixel, at most 70 characters a line.
std::vector<std::uint8_t> PlainValues(const BenchPicture& picture, bool grey) {
    std::vector<std::uint8_t> text;
    std::size_t lineLength = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t value = Pixel(picture, x, y);
            const std::string item =
                grey ? std::to_string(value) : std::string(value < 128 ? "1" : "0");
            if (lineLength + item.size() + 1 > 70) {
                text.push_back('\n');
                lineLength = 0;
            }
            text.insert(text.end(), item.begin(), item.end());
            text.push_back(' ');
            lineLength += item.size() + 1;
        }
    }
    text.push_back('\n');
    return text;
}

// Raw PBM: rows of (width + 7) / 8 bytes, leftmost pixel in bit 7, a set bit black.
std::vector<std::uint8_t> RawBits(const BenchPicture& picture) {
    const std::size_t rowBytes = (static_cast<std::size_t>(picture.width) + 7) / 8;
    std::vector<std::uint8_t> body(rowBytes * static_cast<std::size_t>(picture.height), 0);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (Pixel(picture, x, y) < 128) {
                body[y * rowBytes + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    return body;
}

// A bitmap of 1, 4 or 8 bits with a grey colour table, rows bottom first, each padded to
// a multiple of 4 bytes.
std::vector<std::uint8_t> Bitmap(const BenchPicture& picture, int bits) {
    const std::size_t colours = std::size_t{1} << bits;
    const std::size_t stride = ((static_cast<std::size_t>(picture.width) * bits + 31) / 32) * 4;
    const std::size_t dataOffset = 14 + 40 + 4 * colours;
    const std::size_t size = dataOffset + stride * static_cast<std::size_t>(picture.height);
    std::vector<std::uint8_t> file(size, 0);
    file[0] = 'B';
    file[1] = 'M';
    PutU32LE(&file[2], static_cast<std::uint32_t>(size));
    PutU32LE(&file[10], static_cast<std::uint32_t>(dataOffset));
    PutU32LE(&file[14], 40);
    PutU32LE(&file[18], static_cast<std::uint32_t>(picture.width));
    PutU32LE(&file[22], static_cast<std::uint32_t>(picture.height));
    PutU16LE(&file[26], 1);
    PutU16LE(&file[28], static_cast<std::uint16_t>(bits));
    PutU32LE(&file[34], static_cast<std::uint32_t>(stride * picture.height));
    PutU32LE(&file[46], static_cast<std::uint32_t>(colours));
    for (std::size_t i = 0; i < colours; ++i) {
        const auto grey = static_cast<std::uint8_t>(i * 255 / (colours - 1));
        file[54 + 4 * i] = grey;
        file[55 + 4 * i] = grey;
        file[56 + 4 * i] = grey;
    }
    for (int y = 0; y < picture.height; ++y) {
        std::uint8_t* row = &file[dataOffset + stride * (picture.height - 1 - y)];
        for (int x = 0; x < picture.width; ++x) {
            const unsigned index = Pixel(picture, x, y) >> (8 - bits);
            const int bit = x * bits;
            row[bit / 8] |= static_cast<std::uint8_t>(index << (8 - bits - bit % 8));
        }
    }
    return file;
}

} // namespace

void WriteSourceFile(const std::filesystem::path& path, const BenchPicture& picture,
                     SourceKind kind) {
    switch (kind) {
    case SourceKind::PlainPbm:
        WriteBytes(path, PnmHeader("P1", picture, false), PlainValues(picture, false));
        break;
    case SourceKind::PlainPgm:
        WriteBytes(path, PnmHeader("P2", picture, true), PlainValues(picture, true));
        break;
    case SourceKind::RawPbm:
        WriteBytes(path, PnmHeader("P4", picture, false), RawBits(picture));
        break;
    case SourceKind::RawPgm:
        WriteBytes(path, PnmHeader("P5", picture, true), picture.pixels);
        break;
    case SourceKind::Bmp1:
        WriteBytes(path, "", Bitmap(picture, 1));
        break;
    case SourceKind::Bmp4:
        WriteBytes(path, "", Bitmap(picture, 4));
        break;
    case SourceKind::Bmp8:
        WriteBytes(path, "", Bitmap(picture, 8));
        break;
    }
}

std::string SourceExtension(SourceKind kind) {
    switch (kind) {
    case SourceKind::PlainPbm:
    case SourceKind::RawPbm:
        return ".pbm";
    case SourceKind::PlainPgm:
    case SourceKind::RawPgm:
        return ".pgm";
    default:
        return ".bmp";
    }
}

ScratchFolder::ScratchFolder(const std::string& name)
    : path_(std::filesystem::temp_directory_path() /
            ("zentra-bench-" + name + "-" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
