// The dense decoder: reads the codes of dense_coding.h a token at a time.
#include "dense_decoder.h"

#include <algorithm>

DenseDecoder::DenseDecoder(std::span<const std::uint8_t> coded, const PixelStreamShape& shape,
                           DenseWindow window, DenseLiterals literals)
    : coded_(coded), line_(shape.lineUnits), window_(window) {
    if (literals == DenseLiterals::Table) {
        // The table ends the coded bytes. When they are shorter, no byte is a code: the
        // first one is missing, which is damage unless the stream is empty.
        if (coded.size() >= DENSE_TABLE_BYTES) {
            table_ = coded.last(DENSE_TABLE_BYTES);
            coded_ = coded.first(coded.size() - DENSE_TABLE_BYTES);
        } else {
            coded_ = coded.first(0);
        }
    }
}

bool DenseDecoder::Byte(std::uint8_t& b) {
    if (next_ >= coded_.size()) {
        return false;
    }
    b = coded_[next_++];
    return true;
}

bool DenseDecoder::Bit(unsigned& b) {
    if (mask_ == 0) {
        if (!Byte(bits_)) {
            return false;
        }
        mask_ = 0x80;
    }
    b = (bits_ & mask_) != 0 ? 1 : 0;
    mask_ >>= 1;
    return true;
}

// A gamma number of at most 16 bits: 1 to 65535.
bool DenseDecoder::Gamma(std::uint32_t& v) {
    v = 1;
    for (;;) {
        unsigned stop = 0;
        if (!Bit(stop)) {
            return false;
        }
        if (stop != 0) {
            return true;
        }
        unsigned b = 0;
        if (v >= 0x8000 || !Bit(b)) {
            return false;
        }
        v = (v << 1) | b;
    }
}

// A literal byte: whole, or with a table 0 xxxx (entry x), 1 0 xxxx (entry 16 + x) or
// 1 1 and the byte.
bool DenseDecoder::Literal(std::uint8_t& b) {
    if (table_.empty()) {
        return Byte(b);
    }
    unsigned entry = 0;
    if (!Bit(entry)) {
        return false;
    }
    if (entry != 0) {
        unsigned whole = 0;
        if (!Bit(whole)) {
            return false;
        }
        if (whole != 0) {
            return Byte(b);
        }
    }
    for (int k = 0; k < 4; ++k) {
        unsigned bit = 0;
        if (!Bit(bit)) {
            return false;
        }
        entry = (entry << 1) | bit;
    }
    b = table_[entry];
    return true;
}

bool DenseDecoder::NextToken() {
    unsigned first = 0;
    std::uint32_t n = 0;
    if (!Bit(first)) {
        return false;
    }
    if (first == 0) {
        literal_ = !afterLiteral_; // a literal run after a copy, a copy from R after one
        afterLiteral_ = literal_;
        if (!Gamma(n)) {
            return false;
        }
        left_ = n;
        if (literal_) {
            return true;
        }
    } else {
        unsigned second = 0;
        if (!Bit(second)) {
            return false;
        }
        literal_ = false;
        afterLiteral_ = false;
        if (second == 0) {
            distance_ = line_;
            if (!Gamma(n)) {
                return false;
            }
            left_ = n;
        } else {
            std::uint32_t high = 0;
            std::uint8_t low = 0;
            if (!Gamma(high) || !Byte(low) || !Gamma(n) || n >= DENSE_LONGEST) {
                return false;
            }
            distance_ = (std::size_t{high - 1} << 8) + low + 1;
            left_ = n + 1;
        }
    }
    if (window_ == DenseWindow::WholeStream) {
        return distance_ >= 1 && distance_ <= made_.size();
    }
    return distance_ >= 1 && distance_ <= DENSE_WINDOW_BYTES;
}

bool DenseDecoder::Read(std::span<std::uint8_t> out) {
    std::size_t done = 0;
    while (done < out.size() && !damaged_) {
        if (left_ == 0 && !NextToken()) {
            damaged_ = true;
            break;
        }
        const std::size_t count = std::min<std::size_t>(left_, out.size() - done);
        for (std::size_t k = 0; k < count; ++k) {
            std::uint8_t b = 0;
            if (literal_) {
                if (!Literal(b)) {
                    damaged_ = true;
                    break;
                }
            } else if (distance_ <= made_.size()) {
                b = made_[made_.size() - distance_]; // before the start lie zeros
            }
            made_.push_back(b);
            out[done++] = b;
            --left_;
        }
    }
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(done), out.end(), std::uint8_t{0});
    return !damaged_;
}

DenseResult DecodeDense(std::span<const std::uint8_t> coded, const PixelStreamShape& shape,
                        DenseWindow window, std::span<std::uint8_t> out, std::size_t& used,
                        DenseLiterals literals) {
    DenseDecoder decoder(coded, shape, window, literals);
    const bool ok = decoder.Read(out);
    used = decoder.Used();
    return ok ? DenseResult::Ok : DenseResult::Damaged;
}
