// Fuzz target: the device library's dense decoder against the host's reference decoder
// (format/dense_decoder.h) on hostile coded bytes, through the ways a firmware reads a
// record: after a few bytes that choose the record (depth, any lay-out, planes, window),
// a piece size and how much larger its frame is, the rest is its coded pixel data. From
// memory and through the read callback (coded bytes in chunks) the device must tell
// damage as the reference does and give its bytes up to there; placed as a delta record
// at the corner of a larger frame it must give the reference's lines there, or refuse
// what the frame cannot keep (ZTR_NEEDS_FRAME, ZTR_NO_WINDOW) and leave the frame as it
// was. The callback is never asked for bytes outside the file.
#include "dense_decoder.h"
#include "dense_support.h"

#include <algorithm>
#include <cstring>

namespace {

struct File {
    const std::vector<std::uint8_t>* bytes;
};

std::uint16_t ReadFile(void* context, std::uint32_t offset, std::uint8_t* buffer,
                       std::uint16_t length) {
    const auto& file = *static_cast<const File*>(context)->bytes;
    fuzz::Require(length > 0 && offset <= file.size() && length <= file.size() - offset,
                  "callback read inside the file");
    std::memcpy(buffer, file.data() + offset, length);
    return length;
}

// The stream through the callback source: the ring in pieces, or the frame in one go.
std::vector<std::uint8_t> CallbackDecode(const std::vector<std::uint8_t>& file,
                                         const fuzz::DenseRecord& r, std::uint16_t piece,
                                         bool& ok) {
    File context{&file};
    const ztr_source source =
        ZTR_CALLBACK_SOURCE(ReadFile, &context, static_cast<std::uint32_t>(file.size()));
    ztr_record record;
    fuzz::Require(ztr_read_record(&source, 0, &record) == ZTR_OK, "the record is read");
    std::vector<std::uint8_t> out(r.shape.totalBytes);
    if (r.window == DenseWindow::WholeStream) {
        ok = ztr_apply_in_frame(&source, &record, &record, out.data(),
                                static_cast<std::uint32_t>(out.size())) == ZTR_OK;
        return ok ? out : std::vector<std::uint8_t>{};
    }
    std::vector<std::uint8_t> window(ZTR_WINDOW_SIZE, 0x11);
    ztr_decoder decoder;
    fuzz::Require(ztr_begin_window(&decoder, &source, &record, window.data()) == ZTR_OK,
                  "the decoding starts");
    std::size_t done = 0;
    while (const std::uint16_t got = ztr_read(
               &decoder, out.data() + done,
               static_cast<std::uint16_t>(std::min<std::size_t>(piece, out.size() - done)))) {
        done += got;
    }
    ok = decoder.status == ZTR_END;
    out.resize(done);
    return out;
}

// The record placed at the corner of a frame `more` pixels wider and higher (so that its
// lines lie apart in the frame when more > 0), against the reference's lines.
void CheckInLargerFrame(const std::vector<std::uint8_t>& coded, const fuzz::DenseRecord& r,
                        unsigned more, const std::vector<std::uint8_t>& reference, bool ok) {
    RecordHeader full = r.header;
    full.coding = PixelCoding::RunLength;
    full.width = static_cast<std::uint16_t>(full.width + more);
    full.height = static_cast<std::uint16_t>(full.height + more);
    const auto frameShape = ShapeOfPixelStream(full.layout, full.depth, full.width, full.height);
    fuzz::Require(frameShape.has_value(), "the frame has a shape");
    RecordHeader delta = r.header;
    delta.layout = static_cast<std::uint8_t>(delta.layout | RECORD_DELTA);
    delta.recordLength =
        static_cast<std::uint32_t>(RECORD_HEADER_SIZE + DELTA_HEADER_SIZE + coded.size());
    full.recordLength = RECORD_HEADER_SIZE; // only its header is read
    std::vector<std::uint8_t> file;
    for (const auto& head : {EncodeRecordHeader(full), EncodeRecordHeader(delta)}) {
        file.insert(file.end(), head.begin(), head.end());
    }
    file.insert(file.end(), DELTA_HEADER_SIZE, 0);
    file.insert(file.end(), coded.begin(), coded.end());
    const std::vector<std::uint8_t> exact(file);
    const ztr_source source =
        ZTR_MEMORY_SOURCE(exact.data(), static_cast<std::uint32_t>(exact.size()));
    ztr_record first;
    fuzz::Require(ztr_read_record(&source, 0, &first) == ZTR_OK, "the frame is read");
    ztr_record record = first;
    fuzz::Require(ztr_next_record(&source, &record) == ZTR_OK, "the delta record is read");
    std::vector<std::uint8_t> frame(frameShape->totalBytes, 0xEE);
    const ztr_result placed = ztr_apply_in_frame(&source, &first, &record, frame.data(),
                                                 static_cast<std::uint32_t>(frame.size()));
    const std::size_t planes = (r.header.layout & LAYOUT_PLANAR) != 0 ? r.header.depth : 1;
    const std::size_t lineBytes = r.shape.lineUnits;
    const std::size_t lines = r.shape.lines / planes;
    const std::size_t frameLine = frameShape->lineUnits;
    const std::size_t frameLines = frameShape->lines / planes;
    const bool whole = lineBytes == frameLine && (planes == 1 || lines == frameLines);
    if (!whole && r.window == DenseWindow::WholeStream) {
        fuzz::Require(placed == ZTR_NEEDS_FRAME, "copies from the whole frame need it whole");
    } else if (!whole && planes > 1 && lines != frameLines) {
        fuzz::Require(placed == ZTR_NO_WINDOW, "planes apart in the frame are refused");
    } else {
        fuzz::Require((placed == ZTR_OK) == ok, "placed and streamed alike");
        if (!ok) {
            return;
        }
        std::vector<std::uint8_t> expected(frameShape->totalBytes, 0xEE);
        for (std::size_t p = 0; p < planes; ++p) {
            for (std::size_t k = 0; k < lines; ++k) {
                std::copy_n(
                    reference.begin() + static_cast<long>((p * lines + k) * lineBytes), lineBytes,
                    expected.begin() +
                        static_cast<long>(p * frameShape->totalBytes / planes + k * frameLine));
            }
        }
        fuzz::Require(frame == expected, "the record's lines land in the frame");
        return;
    }
    fuzz::Require(std::all_of(frame.begin(), frame.end(), [](std::uint8_t b) { return b == 0xEE; }),
                  "a refused record leaves the frame as it was");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputStream input(data, size);
    const fuzz::DenseRecord record = fuzz::ChooseDenseRecord(input, true);
    const auto piece = static_cast<std::uint16_t>(1 + input.Below(64));
    const unsigned more = input.Below(3) * 8;
    const std::vector<std::uint8_t> coded(input.Rest(), input.Rest() + input.Remaining());

    std::vector<std::uint8_t> reference(record.shape.totalBytes);
    std::size_t used = 0;
    const bool ok = DecodeDense(coded, record.shape, record.window, reference, used,
                                record.literals) == DenseResult::Ok;

    bool memoryOk = false;
    const auto memory = fuzz::DeviceDecode(coded, record, piece, memoryOk);
    fuzz::Require(memoryOk == ok, "from memory: damage told alike");
    fuzz::Require(std::equal(memory.begin(), memory.end(), reference.begin()),
                  "from memory: the reference's bytes");

    bool callbackOk = false;
    const auto callback = CallbackDecode(fuzz::DenseFile(coded, record), record, piece, callbackOk);
    fuzz::Require(callbackOk == ok, "through the callback: damage told alike");
    fuzz::Require(std::equal(callback.begin(), callback.end(), reference.begin()),
                  "through the callback: the reference's bytes");

    CheckInLargerFrame(coded, record, more, reference, ok);
    return 0;
}
