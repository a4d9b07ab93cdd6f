// The packers: a rectangle of a picture (grey levels, or colours for depths 16 and 24)
// becomes the unpacked byte stream of one depth and pixel order, each byte handed to the
// run-length coder.
#include "packers.h"

#include "reverse_fields.h"
#include "run_length_buffer.h"

#include <cstddef>
#include <new>
#include <vector>

namespace {

// What a packer's loops read: the rectangle's first pixel, the picture's width in bytes
// (the distance between rows; the width in pixels for one-byte pixels) and height, the
// rectangle and the reversal bit. The loops take it by value, so that no coded byte
// stored can alias it and force it to be reloaded.
struct PackSource {
    const std::uint8_t* origin;
    std::size_t width;
    int height;
    ChangedRect area;
    bool reversed;
};

// Collects the unpacked bytes instead of coding them, with the coder's one call.
class PixelByteCollector {
  public:
    explicit PixelByteCollector(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    void Put(std::uint8_t b) { bytes_.push_back(b); }

  private:
    std::vector<std::uint8_t>& bytes_;
};

// The set-up and tear-down that every packer shares: starts the record's pixel data,
// lets `lines` pass every unpacked byte of the rectangle to the coder in stream order,
// and writes the coded bytes. A source pixel is BytesPerPixel bytes. When the buffer
// collects the unpacked stream (coded.collect), the bytes go there instead and nothing
// is written.
template <std::size_t BytesPerPixel = 1, typename Lines>
bool Pack(RunLengthBuffer& coded, ByteSink& out, const RecordHeader& header,
          const std::uint8_t* pixels, const ChangedRect& rect, Lines lines) {
    const std::size_t width = header.width * BytesPerPixel;
    const PackSource source{pixels + static_cast<std::size_t>(rect.y) * width +
                                static_cast<std::size_t>(rect.x) * BytesPerPixel,
                            width, header.height, rect, (header.layout & LAYOUT_REVERSED) != 0};
    if (coded.collect != nullptr) {
        try {
            PixelByteCollector collector(*coded.collect);
            lines(collector, source);
        } catch (const std::bad_alloc&) {
            coded.collect->clear();
            return false;
        }
        return true;
    }
    BeginPixelData(coded);
    {
        PixelByteCoder coder(coded);
        lines(coder, source);
    }
    return WritePixelData(coded, out);
}

// A pixel's field at depth 1, 2 or 4: the top bits of its value. At depth 1 a value
// above 127 (light) is 1 and 0-127 (dark) is 0; a 4-bit palette index scaled to 0-255
// by the reader comes back as the index.
template <int Depth> struct TopBits {
    unsigned operator()(std::uint8_t value) const { return value >> (8 - Depth); }
};

// A pixel's field in one bit plane of a planar record: one bit of its index, which the
// value holds in its top bits (8 - depth + plane is the bit of plane `plane`).
struct PlaneBit {
    unsigned shift;
    unsigned operator()(std::uint8_t value) const { return (value >> shift) & 1u; }
};

// The first pixel sits in the most significant field; with LAYOUT_REVERSED the fields
// are reversed so that it sits in the least significant one.
template <int Depth, typename Coder>
inline void PutFields(Coder& coder, unsigned fields, bool reversed) {
    const auto byte = static_cast<std::uint8_t>(fields);
    coder.Put(reversed ? ReverseFields<Depth>(byte) : byte);
}

// One byte of 8 / Depth pixels, `step` bytes apart from `first`:
//   depth 1  pixel  0   1   2   3   4   5   6   7
//            bit    7   6   5   4   3   2   1   0
//   depth 2  pixel  0       1       2       3
//            bits   7-6     5-4     3-2     1-0
//   depth 4  pixel  0               1
//            bits   7-4             3-0
// The loop is unrolled: a byte's pixels then cost no loop counter, which at depth 1 is
// a third of a packer's work.
template <int Depth, typename Field>
inline unsigned WholeByte(const std::uint8_t* first, std::size_t step, Field field) {
    unsigned byte = 0;
#pragma GCC unroll 8
    for (std::size_t k = 0; k < 8 / Depth; ++k) {
        byte = (byte << Depth) | field(first[k * step]);
    }
    return byte;
}

// The same byte with only the first `count` pixels; the fields after them are 0.
template <int Depth, typename Field>
inline unsigned PartialByte(const std::uint8_t* first, std::size_t step, int count, Field field) {
    unsigned byte = 0;
    for (int k = 0; k < 8 / Depth; ++k) {
        byte <<= Depth;
        if (k < count) {
            byte |= field(first[static_cast<std::size_t>(k) * step]);
        }
    }
    return byte;
}

// A row or column of `count` pixels, `step` bytes apart from `first`; it starts on a
// new byte, and its last byte may be partial.
template <int Depth, typename Coder, typename Field>
inline void PackLine(Coder& coder, const std::uint8_t* first, std::size_t step, int count,
                     bool reversed, Field field) {
    constexpr int p = 8 / Depth;
    for (; count >= p; count -= p, first += p * step) {
        PutFields<Depth>(coder, WholeByte<Depth>(first, step, field), reversed);
    }
    if (count > 0) {
        PutFields<Depth>(coder, PartialByte<Depth>(first, step, count, field), reversed);
    }
}

// One byte of a band: the pixels `step` bytes apart from `first` at band positions
// start, start + 1 ...; positions at or beyond `limit` (the picture's edge, not the
// rectangle's) are 0 fields. A band that lies wholly inside the picture is packed
// without a test per pixel.
template <int Depth, typename Field>
inline unsigned BandByte(const std::uint8_t* first, std::size_t step, int start, int limit,
                         Field field) {
    return start + 8 / Depth <= limit ? WholeByte<Depth>(first, step, field)
                                      : PartialByte<Depth>(first, step, limit - start, field);
}

// The byte streams of the four orders at depths 1, 2 and 4, each field taken from a
// pixel's value by `field`.
template <int Depth, typename Field> struct RowLines {
    Field field;
    template <typename Coder> void operator()(Coder& coder, const PackSource s) const {
        for (int j = 0; j < s.area.height; ++j) {
            const std::uint8_t* row = s.origin + static_cast<std::size_t>(j) * s.width;
            PackLine<Depth>(coder, row, 1, s.area.width, s.reversed, field);
        }
    }
};

template <int Depth, typename Field> struct ColumnLines {
    Field field;
    template <typename Coder> void operator()(Coder& coder, const PackSource s) const {
        for (int i = 0; i < s.area.width; ++i) {
            PackLine<Depth>(coder, s.origin + i, s.width, s.area.height, s.reversed, field);
        }
    }
};

// Bands of 8 / Depth stored rows; a byte holds one column of a band.
template <int Depth, typename Field> struct BandedRowLines {
    Field field;
    template <typename Coder> void operator()(Coder& coder, const PackSource s) const {
        for (int band = 0; band < s.area.height; band += 8 / Depth) {
            const std::uint8_t* bandStart = s.origin + static_cast<std::size_t>(band) * s.width;
            for (int i = 0; i < s.area.width; ++i) {
                PutFields<Depth>(
                    coder,
                    BandByte<Depth>(bandStart + i, s.width, s.area.y + band, s.height, field),
                    s.reversed);
            }
        }
    }
};

// Bands of 8 / Depth columns; a byte holds one stored row of a band.
template <int Depth, typename Field> struct BandedColumnLines {
    Field field;
    template <typename Coder> void operator()(Coder& coder, const PackSource s) const {
        const int pictureWidth = static_cast<int>(s.width);
        for (int band = 0; band < s.area.width; band += 8 / Depth) {
            for (int j = 0; j < s.area.height; ++j) {
                const std::uint8_t* first = s.origin + static_cast<std::size_t>(j) * s.width + band;
                PutFields<Depth>(coder,
                                 BandByte<Depth>(first, 1, s.area.x + band, pictureWidth, field),
                                 s.reversed);
            }
        }
    }
};

// A planar record: its planes one after the other in one coded stream, plane p packed
// as a depth-1 record of the same order from bit p of every pixel's index.
template <template <int, typename> class Lines>
bool PackPlanes(RunLengthBuffer& coded, ByteSink& out, const RecordHeader& header,
                const std::uint8_t* pixels, const ChangedRect& rect) {
    const unsigned depth = header.depth;
    return Pack(coded, out, header, pixels, rect, [depth](auto& coder, const PackSource s) {
        for (unsigned plane = 0; plane < depth; ++plane) {
            Lines<1, PlaneBit>{PlaneBit{8 - depth + plane}}(coder, s);
        }
    });
}

} // namespace

template <int Depth>
bool FieldPackers<Depth>::PackRowOrder(RunLengthBuffer& coded, ByteSink& out,
                                       const RecordHeader& header, const std::uint8_t* pixels,
                                       const ChangedRect& rect) {
    return Pack(coded, out, header, pixels, rect, RowLines<Depth, TopBits<Depth>>{});
}

template <int Depth>
bool FieldPackers<Depth>::PackColumnOrder(RunLengthBuffer& coded, ByteSink& out,
                                          const RecordHeader& header, const std::uint8_t* pixels,
                                          const ChangedRect& rect) {
    return Pack(coded, out, header, pixels, rect, ColumnLines<Depth, TopBits<Depth>>{});
}

template <int Depth>
bool FieldPackers<Depth>::PackBandedRows(RunLengthBuffer& coded, ByteSink& out,
                                         const RecordHeader& header, const std::uint8_t* pixels,
                                         const ChangedRect& rect) {
    return Pack(coded, out, header, pixels, rect, BandedRowLines<Depth, TopBits<Depth>>{});
}

template <int Depth>
bool FieldPackers<Depth>::PackBandedColumns(RunLengthBuffer& coded, ByteSink& out,
                                            const RecordHeader& header, const std::uint8_t* pixels,
                                            const ChangedRect& rect) {
    return Pack(coded, out, header, pixels, rect, BandedColumnLines<Depth, TopBits<Depth>>{});
}

template struct FieldPackers<1>;
template struct FieldPackers<2>;
template struct FieldPackers<4>;

bool PackRowOrder8(RunLengthBuffer& coded, ByteSink& out, const RecordHeader& header,
                   const std::uint8_t* pixels, const ChangedRect& rect) {
    return Pack(coded, out, header, pixels, rect, [](auto& coder, const PackSource s) {
        for (int j = 0; j < s.area.height; ++j) {
            const std::uint8_t* row = s.origin + static_cast<std::size_t>(j) * s.width;
            for (int i = 0; i < s.area.width; ++i) {
                coder.Put(row[i]);
            }
        }
    });
}

bool PackColumnOrder8(RunLengthBuffer& coded, ByteSink& out, const RecordHeader& header,
                      const std::uint8_t* pixels, const ChangedRect& rect) {
    return Pack(coded, out, header, pixels, rect, [](auto& coder, const PackSource s) {
        for (int i = 0; i < s.area.width; ++i) {
            for (int j = 0; j < s.area.height; ++j) {
                coder.Put(s.origin[static_cast<std::size_t>(j) * s.width + i]);
            }
        }
    });
}

namespace {

// One colour pixel from its red, green, blue bytes, in the byte order of the record.
//   depth 24: blue, green, red; exchanged: red, green, blue
//   depth 16: RGB565, the top 5, 6 and 5 bits of red, green and blue:
//     bit  15 14 13 12 11 10  9  8  7  6  5  4  3  2  1  0
//          r7 r6 r5 r4 r3 g7 g6 g5 g4 g3 g2 b7 b6 b5 b4 b3
//     stored low byte (bits 7-0) first; exchanged: high byte first
template <int Depth, typename Coder>
inline void PutColour(Coder& coder, const std::uint8_t* rgb, bool exchanged) {
    if constexpr (Depth == 24) {
        coder.Put(exchanged ? rgb[0] : rgb[2]);
        coder.Put(rgb[1]);
        coder.Put(exchanged ? rgb[2] : rgb[0]);
    } else {
        const unsigned value = (rgb[0] >> 3) << 11 | (rgb[1] >> 2) << 5 | rgb[2] >> 3;
        const auto high = static_cast<std::uint8_t>(value >> 8);
        const auto low = static_cast<std::uint8_t>(value);
        coder.Put(exchanged ? high : low);
        coder.Put(exchanged ? low : high);
    }
}

} // namespace

template <int Depth>
bool ColourPackers<Depth>::PackRowOrder(RunLengthBuffer& coded, ByteSink& out,
                                        const RecordHeader& header, const std::uint8_t* rgb,
                                        const ChangedRect& rect) {
    const bool exchanged = ExchangesPixelBytes(header.layout);
    return Pack<3>(coded, out, header, rgb, rect, [exchanged](auto& coder, const PackSource s) {
        for (int j = 0; j < s.area.height; ++j) {
            const std::uint8_t* pixel = s.origin + static_cast<std::size_t>(j) * s.width;
            for (int i = 0; i < s.area.width; ++i, pixel += 3) {
                PutColour<Depth>(coder, pixel, exchanged);
            }
        }
    });
}

template <int Depth>
bool ColourPackers<Depth>::PackColumnOrder(RunLengthBuffer& coded, ByteSink& out,
                                           const RecordHeader& header, const std::uint8_t* rgb,
                                           const ChangedRect& rect) {
    const bool exchanged = ExchangesPixelBytes(header.layout);
    return Pack<3>(coded, out, header, rgb, rect, [exchanged](auto& coder, const PackSource s) {
        for (int i = 0; i < s.area.width; ++i) {
            const std::uint8_t* pixel = s.origin + 3 * static_cast<std::size_t>(i);
            for (int j = 0; j < s.area.height; ++j, pixel += s.width) {
                PutColour<Depth>(coder, pixel, exchanged);
            }
        }
    });
}

template struct ColourPackers<16>;
template struct ColourPackers<24>;

namespace {

template <int Depth> Packer FieldPacker(std::uint8_t order) {
    switch (order) {
    case ORDER_ROWS:
        return FieldPackers<Depth>::PackRowOrder;
    case ORDER_COLUMNS:
        return FieldPackers<Depth>::PackColumnOrder;
    case ORDER_BANDED_ROWS:
        return FieldPackers<Depth>::PackBandedRows;
    default:
        return FieldPackers<Depth>::PackBandedColumns;
    }
}

} // namespace

namespace {

Packer PlanarPacker(std::uint8_t order) {
    switch (order) {
    case ORDER_ROWS:
        return PackPlanes<RowLines>;
    case ORDER_COLUMNS:
        return PackPlanes<ColumnLines>;
    case ORDER_BANDED_ROWS:
        return PackPlanes<BandedRowLines>;
    default:
        return PackPlanes<BandedColumnLines>;
    }
}

} // namespace

// From depth 8 on a byte holds at most one pixel, so the banded orders are the plain
// ones; but every plane of a planar record is packed as at depth 1.
Packer SelectPacker(int depth, std::uint8_t layout) {
    const std::uint8_t order = layout & LAYOUT_ORDER;
    if ((layout & LAYOUT_PLANAR) != 0 && IsPlanarDepth(static_cast<unsigned>(depth))) {
        return PlanarPacker(order);
    }
    const bool rows = order == ORDER_ROWS || order == ORDER_BANDED_ROWS;
    switch (depth) {
    case 1:
        return FieldPacker<1>(order);
    case 2:
        return FieldPacker<2>(order);
    case 4:
        return FieldPacker<4>(order);
    case 8:
        return rows ? PackRowOrder8 : PackColumnOrder8;
    case 16:
        return rows ? ColourPackers<16>::PackRowOrder : ColourPackers<16>::PackColumnOrder;
    case 24:
        return rows ? ColourPackers<24>::PackRowOrder : ColourPackers<24>::PackColumnOrder;
    default:
        return nullptr;
    }
}
