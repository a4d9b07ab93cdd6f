// Fuzz target: the squash encoder. After a few bytes that choose the record's shape, the
// rest is an unpacked stream (cut to whole units); it is coded, and both the reference
// decoder and the device decoder (in pieces of a chosen size) must give it back exactly,
// the reference decoder using every coded byte.
#include "squash_coding.h"
#include "squash_decoder.h"
#include "squash_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputStream input(data, size);
    PixelStreamShape shape = fuzz::ChooseShape(input);
    const auto piece = static_cast<std::uint16_t>(1 + input.Below(64));
    const std::size_t bytes = input.Remaining() / shape.unitBytes * shape.unitBytes;
    const std::vector<std::uint8_t> unpacked(input.Rest(), input.Rest() + bytes);
    shape.totalBytes = bytes;
    shape.lines = (bytes / shape.unitBytes + shape.lineUnits - 1) / shape.lineUnits;

    const std::vector<std::uint8_t> coded = EncodeSquash(unpacked, shape);
    fuzz::Require(!unpacked.empty() || coded.empty(), "nothing codes as nothing");
    std::vector<std::uint8_t> out(bytes);
    std::size_t used = 0;
    fuzz::Require(DecodeSquash(coded, shape, out, used) == SquashResult::Ok,
                  "the coded stream decodes");
    fuzz::Require(out == unpacked, "decoding gives back the stream");
    fuzz::Require(used == coded.size(), "decoding uses every coded byte");

    bool ok = false;
    const auto device = fuzz::DeviceDecode(coded, shape, bytes, piece, ok);
    fuzz::Require(ok && device == unpacked, "the device decoder gives back the stream");
    return 0;
}
