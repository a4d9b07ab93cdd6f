// Fuzz target: both squash decoders on hostile coded bytes. After a few bytes that choose
// the record's shape and unpacked size, the rest is taken as coded pixel data. The
// reference decoder must fill exactly the unpacked size or report damage, and the device
// decoder (in pieces of a chosen size) must end the same way with the same bytes; the
// coded bytes lie in an exactly sized heap block, so AddressSanitizer sees any read past.
#include "squash_coding.h"
#include "squash_decoder.h"
#include "squash_support.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputStream input(data, size);
    const PixelStreamShape shape = fuzz::ChooseShape(input);
    const std::size_t units = input.Byte() | (input.Byte() << 8);
    const auto piece = static_cast<std::uint16_t>(1 + input.Below(64));
    const std::size_t unpacked = units * shape.unitBytes;
    const std::vector<std::uint8_t> coded(input.Rest(), input.Rest() + input.Remaining());

    std::vector<std::uint8_t> out(unpacked);
    std::size_t used = 0;
    const SquashResult result = DecodeSquash(coded, shape, out, used);
    fuzz::Require(result != SquashResult::Ok || used <= coded.size(),
                  "the reference decoder uses only the coded bytes");

    bool ok = false;
    const auto device = fuzz::DeviceDecode(coded, shape, unpacked, piece, ok);
    fuzz::Require(ok == (result == SquashResult::Ok), "both decoders tell damage alike");
    fuzz::Require(!ok || device == out, "both decoders give the same bytes");
    return 0;
}
