// Fuzz target: the dense encoder. After a few bytes that choose the record's shape and
// window, the rest is its unpacked stream (cut or padded with zeros to the shape's
// size); it is coded, and both the reference decoder and the device library (in pieces
// of a chosen size) must give it back exactly, the reference decoder using every byte.
#include "dense_decoder.h"
#include "dense_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputStream input(data, size);
    const fuzz::DenseRecord record = fuzz::ChooseDenseRecord(input);
    const auto piece = static_cast<std::uint16_t>(1 + input.Below(64));
    const std::size_t bytes = record.shape.totalBytes;
    std::vector<std::uint8_t> unpacked(input.Rest(),
                                       input.Rest() + std::min(bytes, input.Remaining()));
    unpacked.resize(bytes, 0);

    const std::vector<std::uint8_t> coded =
        EncodeDense(unpacked, record.shape, record.window, record.literals);
    std::vector<std::uint8_t> out(bytes);
    std::size_t used = 0;
    fuzz::Require(DecodeDense(coded, record.shape, record.window, out, used, record.literals) ==
                      DenseResult::Ok,
                  "the coded stream decodes");
    fuzz::Require(out == unpacked, "decoding gives back the stream");
    fuzz::Require(used == coded.size(), "decoding uses every coded byte");

    bool ok = false;
    const auto device = fuzz::DeviceDecode(coded, record, piece, ok);
    fuzz::Require(ok && device == unpacked, "the device library gives back the stream");
    return 0;
}
