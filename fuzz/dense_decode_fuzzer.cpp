// Fuzz target: the dense decoders on hostile coded bytes. After a few bytes that choose
// the record's shape, window and a piece size, the rest is taken as its coded pixel
// data. The reference decoder must fill exactly the unpacked size or report damage, read
// in pieces the same as in one go, and the device library must tell damage alike and give
// the same bytes up to it.
#include "dense_decoder.h"
#include "dense_support.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputStream input(data, size);
    const fuzz::DenseRecord record = fuzz::ChooseDenseRecord(input);
    const auto piece = static_cast<std::uint16_t>(1 + input.Below(64));
    const std::vector<std::uint8_t> coded(input.Rest(), input.Rest() + input.Remaining());

    std::vector<std::uint8_t> out(record.shape.totalBytes);
    std::size_t used = 0;
    const DenseResult result =
        DecodeDense(coded, record.shape, record.window, out, used, record.literals);
    fuzz::Require(used <= coded.size(), "the reference decoder uses only the coded bytes");

    DenseDecoder pieces(coded, record.shape, record.window, record.literals);
    std::vector<std::uint8_t> again(record.shape.totalBytes);
    bool piecesOk = true;
    for (std::size_t at = 0; at < again.size(); at += piece) {
        const std::size_t n = std::min<std::size_t>(piece, again.size() - at);
        piecesOk = pieces.Read(std::span<std::uint8_t>(again.data() + at, n)) && piecesOk;
    }
    fuzz::Require(piecesOk == (result == DenseResult::Ok) && again == out,
                  "reading in pieces gives what one read gives");

    bool ok = false;
    const auto device = fuzz::DeviceDecode(coded, record, piece, ok);
    fuzz::Require(ok == (result == DenseResult::Ok), "both decoders tell damage alike");
    fuzz::Require(std::equal(device.begin(), device.end(), out.begin()),
                  "both decoders give the same bytes");
    return 0;
}
