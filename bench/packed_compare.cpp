// Compares the codings of depths 1 to 4 on the corpus of bench/packed-corpus: per half
// (tune, held-out), per treatment (thresholded, dithered) and per depth, the sizes of the
// run-length coding, today's auto (run-length or squash, the smaller), the dense coding
// with its 512-byte window and with copies from the whole stream, deflate level 9 with a
// 512-byte window, deflate with its whole 32 KiB window (what a coding of deflate's kind
// gains from copies that reach far back) and LZ4 HC level 12, each record's unpacked
// stream coded on its own, as ratios to deflate's size with the 512-byte window. Every
// dense stream is decoded again and compared.
//   zentra_packed_compare FOLDER [--records]
#include "dense_coding.h"
#include "dense_decoder.h"
#include "record_streams.h"
#include "squash_coding.h"

#include <lz4.h>
#include <lz4hc.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct Sizes {
    std::size_t records = 0;
    std::size_t raw = 0;
    std::size_t runLength = 0;
    std::size_t today = 0; // run-length or squash, the smaller
    std::size_t dense = 0;
    std::size_t denseFrame = 0;
    std::size_t table = 0; // dense with a literal table
    std::size_t tableFrame = 0;
    std::size_t automatic = 0;      // run-length, squash or dense (512-byte window)
    std::size_t automaticFrame = 0; // the same with dense from the whole stream
    std::size_t deflate = 0;
    std::size_t deflateWhole = 0; // deflate with its 32 KiB window
    std::size_t lz4 = 0;

    void Add(const Sizes& s) {
        records += s.records;
        raw += s.raw;
        runLength += s.runLength;
        today += s.today;
        dense += s.dense;
        denseFrame += s.denseFrame;
        table += s.table;
        tableFrame += s.tableFrame;
        automatic += s.automatic;
        automaticFrame += s.automaticFrame;
        deflate += s.deflate;
        deflateWhole += s.deflateWhole;
        lz4 += s.lz4;
    }
};

// Raw deflate at level 9 with a window of 2^windowBits bytes.
std::size_t DeflateSize(const std::vector<std::uint8_t>& bytes, int windowBits) {
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, -windowBits, 9, Z_DEFAULT_STRATEGY) != Z_OK) {
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
                        static_cast<int>(bytes.size()), static_cast<int>(out.size()), 12);
    return size > 0 ? static_cast<std::size_t>(size) : 0;
}

std::string Ratio(std::size_t part, std::size_t whole) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f",
                  whole ? static_cast<double>(part) / static_cast<double>(whole) : 0.0);
    return text;
}

std::string Percent(std::size_t part, std::size_t whole) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %%",
                  whole ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0);
    return text;
}

void PrintRow(const std::string& name, const Sizes& s) {
    std::printf("| %-28s | %4zu | %9zu | %7s | %6s | %6s | %6s | %6s | %6s | %6s | %6s | %6s | %6s "
                "| %6s |\n",
                name.c_str(), s.records, s.raw, Percent(s.deflate, s.raw).c_str(),
                Ratio(s.deflateWhole, s.deflate).c_str(), Ratio(s.runLength, s.deflate).c_str(),
                Ratio(s.today, s.deflate).c_str(), Ratio(s.dense, s.deflate).c_str(),
                Ratio(s.denseFrame, s.deflate).c_str(), Ratio(s.table, s.deflate).c_str(),
                Ratio(s.tableFrame, s.deflate).c_str(), Ratio(s.automatic, s.deflate).c_str(),
                Ratio(s.automaticFrame, s.deflate).c_str(), Ratio(s.lz4, s.deflate).c_str());
}

bool DecodesBack(const std::vector<std::uint8_t>& coded, const RecordStream& r, DenseWindow window,
                 DenseLiterals literals) {
    std::vector<std::uint8_t> back(r.unpacked.size());
    std::size_t used = 0;
    return DecodeDense(coded, r.shape, window, back, used, literals) == DenseResult::Ok &&
           back == r.unpacked && used == coded.size();
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
    // (half, treatment, depth); depth 0 stands for all depths.
    std::map<std::tuple<std::string, std::string, unsigned>, Sizes> groups;
    for (const auto& path : files) {
        std::string why;
        const auto records = ReadRecordStreams(path.string(), why);
        if (!records) {
            std::fprintf(stderr, "%s\n", why.c_str());
            return 1;
        }
        const std::string treatment = path.parent_path().filename().string();
        const std::string half = path.parent_path().parent_path().filename().string();
        for (const RecordStream& r : *records) {
            if (r.unpacked.empty() || r.header.depth > 4) {
                continue;
            }
            Sizes s;
            s.records = 1;
            s.raw = r.unpacked.size();
            s.runLength = r.runLengthBytes;
            s.today = std::min(s.runLength, EncodeSquash(r.unpacked, r.shape).size());
            const auto dense = EncodeDense(r.unpacked, r.shape, DenseWindow::Bytes512);
            const auto frame = EncodeDense(r.unpacked, r.shape, DenseWindow::WholeStream);
            const auto table =
                EncodeDense(r.unpacked, r.shape, DenseWindow::Bytes512, DenseLiterals::Table);
            const auto tableFrame =
                EncodeDense(r.unpacked, r.shape, DenseWindow::WholeStream, DenseLiterals::Table);
            if (!DecodesBack(dense, r, DenseWindow::Bytes512, DenseLiterals::Whole) ||
                !DecodesBack(frame, r, DenseWindow::WholeStream, DenseLiterals::Whole) ||
                !DecodesBack(table, r, DenseWindow::Bytes512, DenseLiterals::Table) ||
                !DecodesBack(tableFrame, r, DenseWindow::WholeStream, DenseLiterals::Table)) {
                std::fprintf(stderr, "%s: a record of depth %u does not decode to itself\n",
                             path.c_str(), r.header.depth);
                return 1;
            }
            s.dense = dense.size();
            s.denseFrame = frame.size();
            s.table = table.size();
            s.tableFrame = tableFrame.size();
            s.automatic = std::min({s.today, s.dense, s.table});
            s.automaticFrame = std::min({s.today, s.denseFrame, s.tableFrame});
            s.deflate = DeflateSize(r.unpacked, 9);
            s.deflateWhole = DeflateSize(r.unpacked, 15);
            s.lz4 = Lz4Size(r.unpacked);
            if (perRecord) {
                std::printf("%s %s depth %u layout %02x %ux%u: raw %zu rl %zu today %zu dense %zu "
                            "frame %zu table %zu table-frame %zu deflate %zu deflate-32K %zu "
                            "lz4 %zu\n",
                            half.c_str(), path.filename().c_str(), r.header.depth, r.header.layout,
                            r.header.width, r.header.height, s.raw, s.runLength, s.today, s.dense,
                            s.denseFrame, s.table, s.tableFrame, s.deflate, s.deflateWhole, s.lz4);
            }
            groups[{half, treatment, r.header.depth}].Add(s);
            groups[{half, treatment, 0}].Add(s);
            groups[{half, "all", 0}].Add(s);
        }
    }
    std::printf("Sizes as ratios to zlib-512 (raw deflate, level 9, 512-byte window), "
                "whose size is given in %% of the raw bytes\n\n");
    std::printf("| %-28s | %4s | %9s | %7s | %6s | %6s | %6s | %6s | %6s | %6s | %6s | %6s | %6s "
                "| %6s |\n",
                "half, treatment, depth", "recs", "raw bytes", "zlib512", "zlib32K", "rle", "today",
                "d-512", "d-frame", "t-512", "t-frame", "auto", "auto-f", "LZ4HC");
    std::printf("|%s|-----:|----------:|--------:|-------:|-------:|-------:|-------:|-------:|"
                "-------:|-------:|-------:|-------:|-------:|\n",
                std::string(30, '-').c_str());
    for (const auto& [key, s] : groups) {
        const auto& [half, treatment, depth] = key;
        PrintRow(half + ", " + treatment + (depth ? ", depth " + std::to_string(depth) : ""), s);
    }
    return 0;
}
