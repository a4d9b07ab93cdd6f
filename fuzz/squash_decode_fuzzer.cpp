// Fuzz target: both squash decoders on hostile coded bytes. After a few bytes that choose
// the record's shape, the rest is taken as its coded pixel data. The reference decoder
// must fill exactly the unpacked size or report damage, and the device library (in pieces
// of a chosen size) must end the same way with the same bytes, up to the damage; the
// coded bytes lie in an exactly sized heap block, so AddressSanitizer sees any read past.
#include "squash_coding.h"
#include "squash_decoder.h"
#include "squash_support.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputStream input(data, size);
    const fuzz::RecordShape record = fuzz::ChooseRecord(input);
    const auto piece = static_cast<std::uint16_t>(1 + input.Below(64));
    const std::vector<std::uint8_t> coded(input.Rest(), input.Rest() + input.Remaining());

    std::vector<std::uint8_t> out(record.shape.totalBytes);
    std::size_t used = 0;
    const SquashResult result = DecodeSquash(coded, record.shape, out, used);
    fuzz::Require(used <= coded.size(), "the reference decoder uses only the coded bytes");

    bool ok = false;
    const auto device = fuzz::DeviceDecode(coded, record, piece, ok);
    fuzz::Require(ok == (result == SquashResult::Ok), "both decoders tell damage alike");
    fuzz::Require(std::equal(device.begin(), device.end(), out.begin()),
                  "both decoders give the same bytes");
    return 0;
}
