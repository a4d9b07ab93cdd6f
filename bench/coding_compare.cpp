// Compares the pixel codings on a corpus of Zentra files (bench/coding-corpus makes one):
// every record's unpacked byte stream is coded on its own by the run-length coding, the
// squash coding, "auto" (the smaller of the two), deflate at level 9 with a 512-byte
// window and LZ4 HC at level 9, and the sizes are summed per category (the folder a file
// lies in) and in total. Every squash stream is decoded again and compared.
//   zentra_coding_compare FOLDER [--records]
#include "record_streams.h"
#include "squash_coding.h"
#include "squash_decoder.h"
#include "zentra_device.h"

#include <lz4.h>
#include <lz4hc.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

struct Sizes {
    std::size_t records = 0;
    std::size_t raw = 0;
    std::size_t runLength = 0;
    std::size_t squash = 0;
    std::size_t automatic = 0;
    std::size_t deflate = 0;
    std::size_t lz4 = 0;

    void Add(const Sizes& s) {
        records += s.records;
        raw += s.raw;
        runLength += s.runLength;
        squash += s.squash;
        automatic += s.automatic;
        deflate += s.deflate;
        lz4 += s.lz4;
    }
};

// Raw deflate (no zlib header or checksum, which a firmware would not need) at level 9
// with a 512-byte window; 0 when zlib fails.
std::size_t DeflateSize(const std::vector<std::uint8_t>& bytes) {
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, -9, 9, Z_DEFAULT_STRATEGY) != Z_OK) {
        return 0;
    }
    std::vector<std::uint8_t> out(deflateBound(&z, bytes.size()) + 16);
    z.next_in = const_cast<Bytef*>(bytes.data());
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&z, Z_FINISH);
    const std::size_t size = result == Z_STREAM_END ? z.total_out : 0;
    deflateEnd(&z);
    return size;
}

std::size_t Lz4Size(const std::vector<std::uint8_t>& bytes) {
    std::vector<char> out(
        static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(bytes.size()))));
    const int size =
        LZ4_compress_HC(reinterpret_cast<const char*>(bytes.data()), out.data(),
                        static_cast<int>(bytes.size()), static_cast<int>(out.size()), 9);
    return size > 0 ? static_cast<std::size_t>(size) : 0;
}

// The device library (with ZTR_SQUASH), in pieces of an odd size, gives the same bytes
// from the record made of the coded bytes.
bool DeviceDecodes(const std::vector<std::uint8_t>& coded, const RecordStream& r) {
    RecordHeader header = r.header;
    header.layout = static_cast<std::uint8_t>(header.layout & LAYOUT_BITS);
    header.coding = PixelCoding::Squash;
    header.recordLength = static_cast<std::uint32_t>(RECORD_HEADER_SIZE + coded.size());
    const auto head = EncodeRecordHeader(header);
    std::vector<std::uint8_t> file(head.size() + coded.size());
    std::copy(head.begin(), head.end(), file.begin());
    std::copy(coded.begin(), coded.end(), file.begin() + static_cast<std::ptrdiff_t>(head.size()));
    const ztr_source source =
        ZTR_MEMORY_SOURCE(file.data(), static_cast<std::uint32_t>(file.size()));
    ztr_record record;
    ztr_decoder decoder;
    std::vector<std::uint8_t> window(ZTR_WINDOW_SIZE);
    if (ztr_read_record(&source, 0, &record) != ZTR_OK ||
        ztr_begin_window(&decoder, &source, &record, window.data()) != ZTR_OK) {
        return false;
    }
    std::vector<std::uint8_t> out(r.unpacked.size() + 77);
    std::size_t done = 0;
    std::uint16_t got = 0;
    while ((got = ztr_read(&decoder, out.data() + done, 77)) != 0) {
        done += got;
    }
    out.resize(done);
    return decoder.status == ZTR_END && out == r.unpacked;
}

std::string Percent(std::size_t part, std::size_t whole) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %%",
                  whole ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0);
    return text;
}

void PrintRow(const std::string& name, const Sizes& s) {
    std::printf("| %-22s | %4zu | %10zu | %8s | %8s | %8s | %8s | %8s |\n", name.c_str(), s.records,
                s.raw, Percent(s.runLength, s.raw).c_str(), Percent(s.squash, s.raw).c_str(),
                Percent(s.automatic, s.raw).c_str(), Percent(s.deflate, s.raw).c_str(),
                Percent(s.lz4, s.raw).c_str());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [--records]\n", argv[0]);
        return 2;
    }
    const bool perRecord = argc > 2 && std::string(argv[2]) == "--records";
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[1], error)) {
        if (entry.is_regular_file() && entry.path().extension() == ".ztr") {
            files.push_back(entry.path());
        }
    }
    if (error || files.empty()) {
        std::fprintf(stderr, "%s: no Zentra files found\n", argv[1]);
        return 1;
    }
    std::sort(files.begin(), files.end());
    std::map<std::string, Sizes> categories;
    std::map<unsigned, Sizes> depths;
    double encodeSeconds = 0;
    for (const auto& path : files) {
        std::string why;
        const auto records = ReadRecordStreams(path.string(), why);
        if (!records) {
            std::fprintf(stderr, "%s\n", why.c_str());
            return 1;
        }
        for (const RecordStream& r : *records) {
            if (r.unpacked.empty()) {
                continue;
            }
            Sizes s;
            s.records = 1;
            s.raw = r.unpacked.size();
            s.runLength = r.runLengthBytes;
            const auto begin = std::chrono::steady_clock::now();
            const std::vector<std::uint8_t> coded = EncodeSquash(r.unpacked, r.shape);
            encodeSeconds +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
            std::vector<std::uint8_t> back(r.unpacked.size());
            std::size_t used = 0;
            if (DecodeSquash(coded, r.shape, back, used) != SquashResult::Ok ||
                back != r.unpacked || used != coded.size()) {
                std::fprintf(stderr, "%s: a record of depth %u does not decode to itself\n",
                             path.c_str(), r.header.depth);
                return 1;
            }
            if (!DeviceDecodes(coded, r)) {
                std::fprintf(stderr, "%s: the device decoder fails on a record of depth %u\n",
                             path.c_str(), r.header.depth);
                return 1;
            }
            s.squash = coded.size();
            s.automatic = std::min(s.squash, s.runLength);
            s.deflate = DeflateSize(r.unpacked);
            s.lz4 = Lz4Size(r.unpacked);
            if (perRecord) {
                std::printf("%s depth %u layout %02x %ux%u: raw %zu rl %zu squash %zu deflate %zu "
                            "lz4 %zu\n",
                            path.filename().c_str(), r.header.depth, r.header.layout,
                            r.header.width, r.header.height, s.raw, s.runLength, s.squash,
                            s.deflate, s.lz4);
            }
            categories[path.parent_path().filename().string()].Add(s);
            depths[r.header.depth].Add(s);
        }
    }
    std::printf("| %-22s | %4s | %10s | %8s | %8s | %8s | %8s | %8s |\n", "category", "recs",
                "raw bytes", "run-len", "squash", "auto", "zlib-512", "LZ4 -9");
    std::printf("|%s|-----:|-----------:|---------:|---------:|---------:|---------:|---------:|\n",
                std::string(24, '-').c_str());
    Sizes total;
    for (const auto& [name, s] : categories) {
        PrintRow(name, s);
        total.Add(s);
    }
    for (const auto& [depth, s] : depths) {
        PrintRow("depth " + std::to_string(depth), s);
    }
    PrintRow("all", total);
    std::printf("\nauto %zu bytes, zlib-512 %zu bytes: auto is %s of zlib-512; squash encoded "
                "%.1f MB of pixel bytes in %.2f s\n",
                total.automatic, total.deflate, Percent(total.automatic, total.deflate).c_str(),
                static_cast<double>(total.raw) / 1e6, encodeSeconds);
    return 0;
}
