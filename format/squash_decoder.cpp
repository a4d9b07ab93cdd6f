// The squash decoder, written for clarity: one unpacked byte at a time through the
// window of the last 512 bytes, exactly as format/squash_coding.h describes the stream.
#include "squash_decoder.h"

#include "squash_deltas.h"
#include "squash_tokens.h"

#include <algorithm>

SquashDecoder::SquashDecoder(std::span<const std::uint8_t> coded, const PixelStreamShape& shape)
    : coded_(coded), shape_(shape), distance_(shape.unitBytes) {
    const std::size_t line = shape.lineUnits * shape.unitBytes;
    lineBytes_ = shape.lineUnits >= 1 && line <= SQUASH_WINDOW_BYTES ? line : 0;
}

bool SquashDecoder::Byte(std::uint8_t& b) {
    if (next_ == coded_.size()) {
        return false;
    }
    b = coded_[next_++];
    return true;
}

// The token byte, one or two extension bytes for a long length, the low byte of a far
// copy's distance.
bool SquashDecoder::NextToken() {
    std::uint8_t token = 0;
    if (!Byte(token)) {
        return false;
    }
    const bool far = (token & KIND_FAR) != 0;
    const std::uint32_t field = far ? FAR_FIELD : SHORT_FIELD;
    std::uint32_t n = (token & field) + 1;
    if (n - 1 == field) {
        std::uint8_t more = 0;
        if (!Byte(more)) {
            return false;
        }
        n += more & 0x7F;
        if ((more & 0x80) != 0) {
            if (!Byte(more)) {
                return false;
            }
            n += static_cast<std::uint32_t>(more) << 7;
        }
    }
    if (n > SQUASH_LONGEST) {
        return false;
    }
    const std::size_t unit = shape_.unitBytes;
    left_ = static_cast<std::size_t>(n) * unit;
    if (far) {
        std::uint8_t low = 0;
        if (!Byte(low)) {
            return false;
        }
        kind_ = Kind::Copy;
        distance_ = (static_cast<std::size_t>((token >> 6) & 1) * 256 + low + 1) * unit;
        return distance_ <= SQUASH_WINDOW_BYTES;
    }
    switch (token & 0x60) {
    case 0:
        kind_ = Kind::Verbatim;
        return true;
    case KIND_DELTA:
        kind_ = Kind::Delta;
        codeAt_ = codeEnd_ = 0;
        return SquashHasDeltaRuns(shape_);
    case KIND_ABOVE:
        kind_ = Kind::Copy;
        distance_ = lineBytes_;
        return lineBytes_ != 0;
    default:
        kind_ = Kind::Copy; // from R, the last copy's distance
        return true;
    }
}

// One delta code: its pixels, from the unit before them, into code_.
bool SquashDecoder::NextCode() {
    const unsigned unit = shape_.unitBytes;
    std::uint32_t before = 0;
    for (unsigned k = unit; k > 0; --k) {
        before = (before << 8) | Back(k);
    }
    std::uint8_t code = 0;
    if (!Byte(code)) {
        return false;
    }
    std::uint32_t values[3] = {};
    unsigned count = 1;
    if (shape_.depth == 8) {
        int steps[3] = {};
        switch (code >> 6) {
        case 0:
            count = 2;
            steps[0] = SignedField(code >> 3, 3);
            steps[1] = SignedField(code, 3);
            break;
        case 1:
            steps[0] = SignedField(code, 6);
            break;
        case 2:
            count = 3;
            steps[0] = SignedField(code >> 4, 2);
            steps[1] = SignedField(code >> 2, 2);
            steps[2] = SignedField(code, 2);
            break;
        default: {
            std::uint8_t value = 0;
            if (!Byte(value)) {
                return false;
            }
            steps[0] = WrappedDifference(value, before, 8);
        }
        }
        for (unsigned i = 0; i < count; ++i) {
            before = (before + static_cast<unsigned>(steps[i])) & 0xFF;
            values[i] = before;
        }
    } else if ((code & 0xC0) == 0xC0) {
        for (unsigned k = 0; k < unit; ++k) {
            std::uint8_t b = 0;
            if (!Byte(b)) {
                return false;
            }
            values[0] = (values[0] << 8) | b;
        }
    } else {
        ColourDifference d;
        d.dg = SignedField(code >> 4, 3);
        d.da = SignedField(code >> 2, 2);
        d.db = SignedField(code, 2);
        if ((code & 0x80) != 0) {
            std::uint8_t second = 0;
            if (!Byte(second)) {
                return false;
            }
            d.dg = SignedField(code, 6);
            d.da = SignedField(second >> 4, 4);
            d.db = SignedField(second, 4);
        }
        values[0] = ApplyDifference(before, d, shape_.depth, shape_.highByteFirst);
    }
    if (count * unit > left_) {
        return false; // a code with more pixels than its run has left
    }
    codeAt_ = 0;
    codeEnd_ = 0;
    for (unsigned i = 0; i < count; ++i) {
        for (unsigned k = unit; k > 0; --k) {
            code_[codeEnd_++] = static_cast<std::uint8_t>(values[i] >> (8 * (k - 1)));
        }
    }
    return true;
}

bool SquashDecoder::Read(std::span<std::uint8_t> out) {
    std::size_t i = 0;
    while (!damaged_ && i < out.size()) {
        if (left_ == 0 && !NextToken()) {
            damaged_ = true;
            break;
        }
        std::uint8_t b = 0;
        if (kind_ == Kind::Copy) {
            b = Back(distance_);
        } else if (kind_ == Kind::Verbatim) {
            if (!Byte(b)) {
                damaged_ = true;
                break;
            }
        } else {
            if (codeAt_ == codeEnd_ && !NextCode()) {
                damaged_ = true;
                break;
            }
            b = code_[codeAt_++];
        }
        window_[made_ % SQUASH_WINDOW_BYTES] = b;
        ++made_;
        --left_;
        out[i++] = b;
    }
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(i), out.end(), std::uint8_t{0});
    return !damaged_;
}

SquashResult DecodeSquash(std::span<const std::uint8_t> coded, const PixelStreamShape& shape,
                          std::span<std::uint8_t> out, std::size_t& used) {
    SquashDecoder decoder(coded, shape);
    const bool ok = decoder.Read(out);
    used = decoder.Used();
    return ok ? SquashResult::Ok : SquashResult::Damaged;
}
