// Fuzz target: the device library, built with the squash coding, on arbitrary files, from
// memory and through the read callback. Both sources must walk the same records and
// decode the same streams with the same results, and a squash or dense record's stream
// must be the host decoder's up to any damage; the callback must never be asked for bytes outside
// the file (the memory source is an exactly sized heap block, so AddressSanitizer sees
// any read past it). The first full frame is played for a few frames into a frame buffer
// of its size.
#include "dense_decoder.h"
#include "fuzz_support.h"
#include "pixel_stream_shape.h"
#include "squash_decoder.h"
#include "zentra_device.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

namespace {

constexpr int MAX_RECORDS = 16;
constexpr std::uint32_t MAX_STREAM = 256u << 10; // longer streams only slow the search
constexpr int FRAMES_PLAYED = 6;

struct File {
    const std::uint8_t* bytes;
    std::uint32_t size;
};

std::uint16_t ReadFile(void* context, std::uint32_t offset, std::uint8_t* buffer,
                       std::uint16_t length) {
    const auto& file = *static_cast<const File*>(context);
    fuzz::Require(length > 0 && offset <= file.size && length <= file.size - offset,
                  "callback read inside the file");
    std::memcpy(buffer, file.bytes + offset, length);
    return length;
}

// Decodes the whole stream in pulls of varying size; returns the bytes and the status.
std::vector<std::uint8_t> Decode(const ztr_source& source, const ztr_record& record,
                                 std::uint16_t pull, int& status) {
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> window(ZTR_WINDOW_SIZE, 0xEE);
    ztr_decoder decoder;
    status = ztr_begin_window(&decoder, &source, &record, window.data());
    if (status != ZTR_OK) {
        return out;
    }
    std::vector<std::uint8_t> piece(pull);
    while (const std::uint16_t got = ztr_read(&decoder, piece.data(), pull)) {
        fuzz::Require(got <= pull, "no more bytes than asked");
        out.insert(out.end(), piece.begin(), piece.begin() + got);
    }
    status = decoder.status;
    fuzz::Require(status != ZTR_OK, "a finished decoding has a final status");
    fuzz::Require(status != ZTR_END || out.size() == record.unpacked_size,
                  "a complete stream has the record's unpacked size");
    return out;
}

// A squash or dense record's stream against the host's decoder: the same bytes up to the
// end or the damage, and damage alike.
void CheckAgainstHost(const File& file, const ztr_record& record,
                      const std::vector<std::uint8_t>& stream, int status) {
    const auto shape = ShapeOfPixelStream(record.layout, record.depth, record.width, record.height);
    if (!shape) {
        // A depth without a packing: the host takes no stream from it, and the device,
        // which counts its pixels as none, gives none.
        fuzz::Require(record.unpacked_size == 0 && stream.empty(),
                      "a record of no packing has no pixels");
        return;
    }
    fuzz::Require(shape->totalBytes == record.unpacked_size,
                  "both sides agree on the stream's size");
    const std::span<const std::uint8_t> coded(file.bytes + record.data_offset,
                                              record.offset + record.length - record.data_offset);
    std::vector<std::uint8_t> out(record.unpacked_size);
    std::size_t used = 0;
    const bool ok = record.coding == ZTR_CODING_SQUASH
                        ? DecodeSquash(coded, *shape, out, used) == SquashResult::Ok
                        : DecodeDense(coded, *shape, DenseWindow::Bytes512, out, used,
                                      (record.coding & ZTR_CODING_TABLE) != 0
                                          ? DenseLiterals::Table
                                          : DenseLiterals::Whole) == DenseResult::Ok;
    fuzz::Require((status == ZTR_END) == ok, "the device and the host tell damage alike");
    fuzz::Require(std::equal(stream.begin(), stream.end(), out.begin()),
                  "the device and the host decode alike");
}

void Play(const ztr_source& source, const ztr_record& first) {
    if (first.unpacked_size == 0 || first.unpacked_size > MAX_STREAM) {
        return;
    }
    std::vector<std::uint8_t> frame(first.unpacked_size);
    std::vector<std::uint8_t> window(ZTR_WINDOW_SIZE);
    ztr_record step{};
    for (int k = 0; k < FRAMES_PLAYED; ++k) {
        if (ztr_next_frame(&source, &first, &step) != ZTR_OK) {
            return;
        }
        fuzz::Require(step.layout & ZTR_RECORD_DELTA ? step.depth == first.depth
                                                     : step.offset == first.offset,
                      "frames stay in the sequence");
        if (step.unpacked_size <= MAX_STREAM) {
            ztr_apply_window(&source, &first, &step, frame.data(),
                             static_cast<std::uint32_t>(frame.size()), window.data());
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 0xFFFFFFFFu || size == 0) {
        return 0;
    }
    // The first byte chooses the pull size; the rest is the file.
    const std::uint16_t pull = static_cast<std::uint16_t>(1 + data[0] % 97);
    const auto bytes = std::make_unique<std::uint8_t[]>(size - 1);
    std::memcpy(bytes.get(), data + 1, size - 1);
    File file{bytes.get(), static_cast<std::uint32_t>(size - 1)};
    const ztr_source memory = ZTR_MEMORY_SOURCE(file.bytes, file.size);
    const ztr_source callback = ZTR_CALLBACK_SOURCE(ReadFile, &file, file.size);

    ztr_record a;
    ztr_record b;
    int ra = ztr_read_record(&memory, 0, &a);
    int rb = ztr_read_record(&callback, 0, &b);
    for (int n = 0; n < MAX_RECORDS && ra == ZTR_OK; ++n) {
        fuzz::Require(rb == ZTR_OK && std::memcmp(&a, &b, sizeof a) == 0,
                      "both sources read the same record");
        fuzz::Require(a.length >= 12 && a.offset + a.length <= file.size &&
                          a.data_offset <= a.offset + a.length,
                      "a record lies inside the file");
        if (a.unpacked_size <= MAX_STREAM) {
            int sa = 0;
            int sb = 0;
            const auto streamA = Decode(memory, a, 4096, sa);
            const auto streamB = Decode(callback, b, pull, sb);
            fuzz::Require(sa == sb && streamA == streamB, "both sources decode alike");
            if ((a.coding == ZTR_CODING_SQUASH ||
                 (a.coding & ~ZTR_CODING_TABLE) == ZTR_CODING_DENSE) &&
                sa != ZTR_UNSUPPORTED) {
                CheckAgainstHost(file, a, streamA, sa);
            }
        }
        if (!(a.layout & ZTR_RECORD_DELTA)) {
            ztr_record found;
            fuzz::Require(ztr_find(&memory, a.depth, a.layout, a.width, a.height, &found) ==
                                  ZTR_OK &&
                              found.offset <= a.offset,
                          "find reaches a full frame no later than this one");
            Play(memory, found);
            Play(callback, found);
        }
        ra = ztr_next_record(&memory, &a);
        rb = ztr_next_record(&callback, &b);
    }
    return 0;
}
