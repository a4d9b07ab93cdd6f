// The codings behind one stream of unpacked bytes: the run-length coding read straight from
// the file, the squash and dense codings from the record's coded bytes read in one piece.
#include "pixel_byte_stream.h"

#include "pixel_stream_shape.h"

#include <algorithm>

PixelByteStream::PixelByteStream(ByteReader& file, const RecordHeader& header,
                                 std::uint64_t recordEnd)
    : file_(file) {
    if (header.coding == PixelCoding::RunLength) {
        return;
    }
    squashCoded_ = true;
    const std::optional<PixelStreamShape> shape =
        ShapeOfPixelStream(header.layout, header.depth, header.width, header.height);
    if (!shape) {
        return;
    }
    // The coded bytes up to the record's end, as far as the file holds them: a block at a
    // time, so that a record length beyond the file costs nothing.
    const std::uint64_t position = file.Position();
    std::uint64_t wanted = recordEnd > position ? recordEnd - position : 0;
    std::uint8_t block[4096];
    while (wanted > 0) {
        const std::size_t piece =
            static_cast<std::size_t>(std::min<std::uint64_t>(wanted, sizeof block));
        const std::size_t got = file.Read(block, piece);
        coded_.insert(coded_.end(), block, block + got);
        if (got < piece) {
            break;
        }
        wanted -= got;
    }
    if (header.coding == PixelCoding::Dense) {
        // Only the depths with a dense form: any other is a record without a packing.
        if (IsSubByteDepth(header.depth)) {
            dense_.emplace(coded_, *shape,
                           header.wholeStream ? DenseWindow::WholeStream : DenseWindow::Bytes512,
                           header.literalTable ? DenseLiterals::Table : DenseLiterals::Whole);
        }
        return;
    }
    squash_.emplace(coded_, *shape);
}

void PixelByteStream::Take(std::uint8_t* out, std::size_t count) {
    if (squash_) {
        squash_->Read(std::span<std::uint8_t>(out, count));
    } else if (dense_) {
        dense_->Read(std::span<std::uint8_t>(out, count));
    } else if (squashCoded_) {
        std::fill_n(out, count, std::uint8_t{0}); // a coded record without a packing
    } else {
        UnpackBytes(file_, runLength_, out, count);
    }
}

std::uint64_t MostUnpackedBytes(const RecordHeader& header, std::uint64_t coded) {
    const std::uint64_t perByte = header.coding == PixelCoding::RunLength ? 256 : 16384;
    if (coded >= UINT64_MAX / perByte - 1) {
        return UINT64_MAX;
    }
    return perByte * coded + perByte;
}
