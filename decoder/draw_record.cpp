// Drawing records onto a display bitmap: the bitmap set up from the first record of a
// run and each record's unpacked pixels placed at its offset. Every store is checked
// against the bitmap, so records larger, deeper or further out than the start record
// are clipped rather than written outside the pixel block.
#include "draw_record.h"

#include "checked_size.h"
#include "pixel_byte_stream.h"
#include "pixel_stream_shape.h"
#include "read_record_header.h"
#include "reverse_fields.h"

#include <algorithm>
#include <new>

namespace {

// Generous limits that every real display stays far below; larger records are refused.
constexpr std::size_t MAX_STRIDE = 256 * 1024;
constexpr std::size_t MAX_PIXEL_BLOCK = std::size_t{1} << 30;

// Reverses the order of the pixel fields of a packed byte, keeping the bits inside each
// field: moves the first pixel between the most and the least significant field.
std::uint8_t FirstFieldLow(std::uint8_t b, unsigned depth) {
    switch (depth) {
    case 1:
        return ReverseFields<1>(b);
    case 2:
        return ReverseFields<2>(b);
    case 4:
        return ReverseFields<4>(b);
    default:
        return b;
    }
}

// Reads the record's palette or builds its grey table. Depths above 8 need no table:
// it is left zero and any palette is passed over.
void BuildColourTable(ByteReader& file, const RecordHeader& header, DisplayBitmap& bitmap) {
    bitmap.colours.fill(ColourEntry{});
    const bool palette = (header.layout & RECORD_PALETTE) != 0;
    if (header.depth > 8 || header.depth == 0) {
        if (palette) {
            const std::uint64_t size = PaletteSize(header.depth);
            const std::uint64_t position = file.Position();
            file.SeekTo(size > UINT64_MAX - position ? UINT64_MAX : position + size);
        }
        return;
    }
    const unsigned count = 1u << header.depth;
    if (palette) {
        std::uint8_t entry[3];
        for (unsigned i = 0; i < count; ++i) {
            const std::size_t got = file.Read(entry, 3);
            std::fill(entry + got, entry + 3, std::uint8_t{0});
            bitmap.colours[i] = ColourEntry{entry[2], entry[1], entry[0], 0};
        }
        return;
    }
    for (unsigned i = 0; i < count; ++i) {
        std::uint8_t grey = static_cast<std::uint8_t>(i * 256 / count);
        if (i == count - 1) {
            grey = 255;
        }
        bitmap.colours[i] = ColourEntry{grey, grey, grey, 0};
    }
}

// Where one record's pixels go in the bitmap. Stored row y lands on picture row y + dy,
// counted from the top, or from the bottom with an inverted Y-axis. A store is only
// made when all of its bits lie within the first width x depth bits of a bitmap row.
class Placement {
  public:
    Placement(DisplayBitmap& bitmap, const RecordHeader& header, int dx, int dy)
        : depth_(header.depth), limitBits_(static_cast<std::size_t>(bitmap.width) * bitmap.depth),
          dx_(static_cast<std::size_t>(dx)), rows_(header.height, nullptr) {
        const bool invertedY = (header.layout & LAYOUT_INVERTED_Y) != 0;
        const long height = bitmap.height;
        for (long y = 0; y < header.height; ++y) {
            const long row = y + dy;
            if (row < height) {
                const long bitmapRow = invertedY ? row : height - 1 - row;
                rows_[static_cast<std::size_t>(y)] =
                    bitmap.pixels->data() + static_cast<std::size_t>(bitmapRow) * bitmap.stride;
            }
        }
    }

    // The bitmap row of stored row y, or null when it falls outside the bitmap.
    std::uint8_t* Row(std::size_t y) const { return rows_[y]; }

    // Where the pixel of record column c goes within a row: the byte and the field mask
    // (the leftmost pixel of a byte in its most significant bits); mask 0 when the
    // column lies beyond the bitmap's width.
    struct Field {
        std::size_t byte = 0;
        unsigned shift = 0;
        std::uint8_t mask = 0;
    };
    Field FieldOf(std::size_t c) const {
        const std::size_t bit = (dx_ + c) * depth_;
        if (bit + depth_ > limitBits_) {
            return {};
        }
        const unsigned shift = 8 - depth_ - static_cast<unsigned>(bit % 8);
        return {bit / 8, shift, static_cast<std::uint8_t>(((1u << depth_) - 1) << shift)};
    }

    static void Store(std::uint8_t* row, const Field& field, unsigned value) {
        std::uint8_t& target = row[field.byte];
        target = static_cast<std::uint8_t>((target & ~field.mask) |
                                           ((value << field.shift) & field.mask));
    }

    // Where count whole bytes from record column c on (c a multiple of the pixels per
    // byte) go within a row: `whole` bytes copied from byte `first` on, then, when `keep`
    // is not 0, one byte of which only the bits in `keep` lie within the bitmap. It is
    // the same for every row, so a column's placement is worked out once.
    struct Span {
        std::size_t first = 0;
        std::size_t whole = 0;
        std::uint8_t keep = 0;
    };
    Span SpanOf(std::size_t c, std::size_t count) const {
        Span span;
        span.first = (dx_ + c) * depth_ / 8;
        const std::size_t fullBytes = limitBits_ / 8;
        if (span.first < fullBytes) {
            span.whole = std::min(count, fullBytes - span.first);
        }
        const unsigned rest = static_cast<unsigned>(limitBits_ % 8);
        if (rest != 0 && fullBytes >= span.first && fullBytes - span.first < count) {
            span.keep = static_cast<std::uint8_t>(0xFF << (8 - rest));
        }
        return span;
    }

    static void StoreSpan(std::uint8_t* row, const Span& span, const std::uint8_t* bytes) {
        std::copy_n(bytes, span.whole, row + span.first);
        if (span.keep != 0) {
            std::uint8_t& target = row[span.first + span.whole];
            target =
                static_cast<std::uint8_t>((target & ~span.keep) | (bytes[span.whole] & span.keep));
        }
    }

    // Stores whole bytes from record column c on (c a multiple of the pixels per byte).
    void StoreBytes(std::uint8_t* row, std::size_t c, const std::uint8_t* bytes,
                    std::size_t count) const {
        StoreSpan(row, SpanOf(c, count), bytes);
    }

    // Depth 1: stored row j of a band, whose pixel in column c is bit j of bits[c], from
    // column 0 on, eight columns at a time for as long as all eight lie within the
    // bitmap. The eight pixels form one byte, leftmost in bit 7, stored across the two
    // bitmap bytes it straddles when its first column does not start a byte:
    //   byte      [p0 p1 p2 p3 p4 p5 p6 p7], first column at bit offset s = 3
    //   bitmap    [k k k p0 p1 p2 p3 p4] [p5 p6 p7 k k k k k]   (k: bits kept)
    // Returns the first column not stored.
    std::size_t StoreBandRow1(std::uint8_t* row, const std::uint8_t* bits, std::size_t count,
                              unsigned j) const {
        std::size_t c = 0;
        for (; c + 8 <= count && dx_ + c + 8 <= limitBits_; c += 8) {
            unsigned byte = 0;
            for (std::size_t k = 0; k < 8; ++k) {
                byte = (byte << 1) | ((bits[c + k] >> j) & 1u);
            }
            const std::size_t at = (dx_ + c) / 8;
            const unsigned shift = static_cast<unsigned>((dx_ + c) % 8);
            if (shift == 0) {
                row[at] = static_cast<std::uint8_t>(byte);
                continue;
            }
            const unsigned low = 0xFFu >> shift;
            row[at] = static_cast<std::uint8_t>((row[at] & ~low) | (byte >> shift));
            row[at + 1] = static_cast<std::uint8_t>((row[at + 1] & low) | (byte << (8 - shift)));
        }
        return c;
    }

  private:
    unsigned depth_;
    std::size_t limitBits_;
    std::size_t dx_;
    std::vector<std::uint8_t*> rows_; // per stored row; rows above the bitmap never occur
};

// How many of a record's units (rows, columns or bands of unitBytes unpacked bytes each,
// count of them) the available unpacked bytes reach into. Past them every byte reads as
// 0, so a record drawn on a freshly zeroed block (the first of a run) is placed only that
// far: a record that the file cuts far short costs no more than the bytes it has.
std::size_t UnitsWithin(std::uint64_t available, std::size_t unitBytes, std::size_t count) {
    if (unitBytes == 0) {
        return count;
    }
    const std::uint64_t whole = available / unitBytes;
    return whole >= count ? count : static_cast<std::size_t>(whole) + 1;
}

// The same for bands of p rows or columns out of extent: where placing the bands stops.
std::size_t BandsEnd(std::uint64_t available, std::size_t bandBytes, std::size_t extent,
                     unsigned p) {
    return std::min(extent, UnitsWithin(available, bandBytes, (extent + p - 1) / p) * p);
}

// The conversion that row order applies with LAYOUT_REVERSED and column order without it.
// Packed bytes get their first pixel into the low field. A 16-bit RGB565 pixel is stored
// high byte first there and low byte first elsewhere; a 24-bit pixel red, green, blue
// there and blue, green, red elsewhere. Exchanging the outer bytes turns both into the
// bitmap's low-byte-first (blue first) order, so that every stored bit reaches the bitmap.
void ConvertReversed(std::vector<std::uint8_t>& bytes, unsigned depth) {
    if (IsSubByteDepth(depth)) {
        for (std::uint8_t& b : bytes) {
            b = FirstFieldLow(b, depth);
        }
    } else if (depth == 16) {
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            std::swap(bytes[i], bytes[i + 1]);
        }
    } else if (depth == 24) {
        for (std::size_t i = 0; i + 2 < bytes.size(); i += 3) {
            std::swap(bytes[i], bytes[i + 2]);
        }
    }
}

void PlaceRowOrder(PixelByteStream& stream, std::uint64_t available, const RecordHeader& header,
                   const Placement& place) {
    const bool reversed = (header.layout & LAYOUT_REVERSED) != 0;
    std::vector<std::uint8_t> line(RowBytes(header.depth, header.width));
    const std::size_t rows = UnitsWithin(available, line.size(), header.height);
    for (std::size_t y = 0; y < rows; ++y) {
        stream.Take(line.data(), line.size());
        if (reversed) {
            ConvertReversed(line, header.depth);
        }
        if (std::uint8_t* row = place.Row(y)) {
            place.StoreBytes(row, 0, line.data(), line.size());
        }
    }
}

// Each byte holds p vertically adjacent pixels of one column (or, at depths of 8 and
// more, one pixel of 1 to 3 bytes), topmost first.
void PlaceColumnOrder(PixelByteStream& stream, std::uint64_t available, const RecordHeader& header,
                      const Placement& place) {
    const unsigned depth = header.depth;
    const bool reversed = (header.layout & LAYOUT_REVERSED) != 0;
    const std::size_t height = header.height;
    if (IsSubByteDepth(depth)) {
        const unsigned p = PixelsPerByte(depth);
        const unsigned mask = PixelMask(depth);
        std::vector<std::uint8_t> column((height + p - 1) / p);
        const std::size_t columns = UnitsWithin(available, column.size(), header.width);
        for (std::size_t c = 0; c < columns; ++c) {
            stream.Take(column.data(), column.size());
            const Placement::Field field = place.FieldOf(c);
            if (field.mask == 0) {
                continue;
            }
            for (std::size_t k = 0; k < column.size(); ++k) {
                const unsigned b = reversed ? column[k] : FirstFieldLow(column[k], depth);
                const std::size_t y0 = k * p;
                const std::size_t rows = std::min<std::size_t>(p, height - y0);
                for (std::size_t j = 0; j < rows; ++j) {
                    if (std::uint8_t* row = place.Row(y0 + j)) {
                        Placement::Store(row, field, (b >> (j * depth)) & mask);
                    }
                }
            }
        }
        return;
    }
    const std::size_t size = depth / 8;
    std::vector<std::uint8_t> column(size * height);
    const std::size_t columns = UnitsWithin(available, column.size(), header.width);
    for (std::size_t c = 0; c < columns; ++c) {
        stream.Take(column.data(), column.size());
        if (!reversed) {
            ConvertReversed(column, depth);
        }
        const Placement::Span span = place.SpanOf(c, size);
        if (size == 1 && span.whole == 1) {
            for (std::size_t y = 0; y < height; ++y) {
                if (std::uint8_t* row = place.Row(y)) {
                    row[span.first] = column[y];
                }
            }
            continue;
        }
        for (std::size_t y = 0; y < height; ++y) {
            if (std::uint8_t* row = place.Row(y)) {
                Placement::StoreSpan(row, span, &column[y * size]);
            }
        }
    }
}

// Bands of p stored rows; each byte holds one column's pixels of the band. The band's
// bytes are first turned so that the band's row j is field j from the low end; then the
// band is placed row by row.
// What both banded orders work with: the record's field geometry, one band's unpacked
// bytes, and where the bands that the file can reach end along the banded axis.
struct Bands {
    Bands(std::uint64_t available, const RecordHeader& header, std::size_t bandBytes,
          std::size_t extent)
        : depth(header.depth), reversed((header.layout & LAYOUT_REVERSED) != 0),
          p(PixelsPerByte(depth)), mask(PixelMask(depth)), band(bandBytes),
          end(BandsEnd(available, bandBytes, extent, p)) {}

    // Reads the band that starts at `start` along the banded axis into band; false past
    // the bands that the file can reach.
    bool Take(PixelByteStream& stream, std::size_t start) {
        if (start >= end) {
            return false;
        }
        stream.Take(band.data(), band.size());
        return true;
    }

    const unsigned depth;
    const bool reversed;
    const unsigned p;
    const unsigned mask;
    std::vector<std::uint8_t> band;
    const std::size_t end;
};

void PlaceBandedRows(PixelByteStream& stream, std::uint64_t available, const RecordHeader& header,
                     const Placement& place) {
    const std::size_t height = header.height;
    Bands bands(available, header, header.width, height);
    std::vector<std::uint8_t>& band = bands.band;
    const unsigned depth = bands.depth;
    const unsigned p = bands.p;
    for (std::size_t y0 = 0; bands.Take(stream, y0); y0 += p) {
        if (!bands.reversed) {
            for (std::uint8_t& b : band) {
                b = FirstFieldLow(b, depth);
            }
        }
        const std::size_t rows = std::min<std::size_t>(p, height - y0);
        for (std::size_t j = 0; j < rows; ++j) {
            std::uint8_t* row = place.Row(y0 + j);
            if (row == nullptr) {
                continue;
            }
            const auto field = static_cast<unsigned>(j);
            std::size_t c =
                depth == 1 ? place.StoreBandRow1(row, band.data(), band.size(), field) : 0;
            for (; c < band.size(); ++c) {
                const Placement::Field target = place.FieldOf(c);
                if (target.mask != 0) {
                    Placement::Store(row, target, (band[c] >> (field * depth)) & bands.mask);
                }
            }
        }
    }
}

// Bands of p columns; each byte holds one stored row's pixels of the band.
void PlaceBandedColumns(PixelByteStream& stream, std::uint64_t available,
                        const RecordHeader& header, const Placement& place) {
    const std::size_t width = header.width;
    Bands bands(available, header, header.height, width);
    const unsigned depth = bands.depth;
    const unsigned mask = bands.mask;
    const std::vector<std::uint8_t>& band = bands.band;
    for (std::size_t x0 = 0; bands.Take(stream, x0); x0 += bands.p) {
        const std::size_t columns = std::min<std::size_t>(bands.p, width - x0);
        Placement::Field fields[8];
        for (std::size_t j = 0; j < columns; ++j) {
            fields[j] = place.FieldOf(x0 + j);
        }
        for (std::size_t y = 0; y < band.size(); ++y) {
            std::uint8_t* row = place.Row(y);
            if (row == nullptr) {
                continue;
            }
            const unsigned b = bands.reversed ? band[y] : FirstFieldLow(band[y], depth);
            for (std::size_t j = 0; j < columns; ++j) {
                if (fields[j].mask != 0) {
                    Placement::Store(row, fields[j], (b >> (j * depth)) & mask);
                }
            }
        }
    }
}

// The record's pixel data read as one plane: depth 1, the same order, reversal and
// size, without the planar bit and (as a plane is placed on its own before the rows
// find their place) without the inverted Y-axis.
RecordHeader PlaneHeader(const RecordHeader& header) {
    RecordHeader plane = header;
    plane.depth = 1;
    plane.layout &= static_cast<std::uint8_t>(~(LAYOUT_PLANAR | LAYOUT_INVERTED_Y));
    return plane;
}

bool IsPlanar(const RecordHeader& header) {
    return (header.layout & LAYOUT_PLANAR) != 0;
}

// The unpacked bytes that placing a record reads, in the order it is placed in; 0 for
// records whose pixel data is not read.
std::uint64_t UnpackedBytes(const RecordHeader& header) {
    const std::optional<PixelStreamShape> shape =
        ShapeOfPixelStream(header.layout, header.depth, header.width, header.height);
    return shape ? shape->totalBytes : 0;
}

// The unpacked bytes of each plane of a planar record.
std::uint64_t PlaneBytes(const RecordHeader& header) {
    return UnpackedBytes(PlaneHeader(header));
}

// The most unpacked bytes that the rest of the file from position on can give in the
// record's coding.
std::uint64_t MostUnpacked(const RecordHeader& header, std::uint64_t fileSize,
                           std::uint64_t position) {
    return MostUnpackedBytes(header, fileSize > position ? fileSize - position : 0);
}

// Whether the rest of the file can hold the record's pixel data at all. A record that
// asks for more is cut off or damaged; drawing it over earlier records would only spin
// on missing bytes for as long as its size says.
bool PixelDataCanFit(const RecordHeader& header, std::uint64_t fileSize, std::uint64_t position) {
    return UnpackedBytes(header) <= MostUnpacked(header, fileSize, position);
}

} // namespace

DecodeStatus StartRun(DisplayBitmap& bitmap, const RecordHeader& header) {
    const std::size_t rowBytes = RowBytes(header.depth, header.width);
    const std::size_t stride = (rowBytes + 3) / 4 * 4;
    std::size_t size = 0;
    if (stride > MAX_STRIDE || !CheckedMultiply(stride, header.height, size) ||
        size > MAX_PIXEL_BLOCK) {
        bitmap.pixels.reset();
        return DecodeStatus::TooLarge;
    }
    // A bitmap that held a frame keeps its block: a player starting a run again over
    // the same frame size allocates nothing.
    try {
        if (bitmap.pixels) {
            bitmap.pixels->assign(size, std::uint8_t{0});
        } else {
            bitmap.pixels.emplace(size, std::uint8_t{0});
        }
    } catch (const std::bad_alloc&) {
        bitmap.pixels.reset();
        return DecodeStatus::OutOfMemory;
    }
    bitmap.width = header.width;
    bitmap.height = header.height;
    bitmap.depth = header.depth;
    bitmap.stride = static_cast<std::uint32_t>(stride);
    bitmap.info = BitmapInfoHeader{};
    bitmap.info.width = header.width;
    bitmap.info.height = header.height;
    bitmap.info.bitCount = header.depth;
    // 16-bit pixels stay RGB565 as stored and are drawn through their channel masks.
    const bool rgb565 = header.depth == 16;
    bitmap.info.compression = rgb565 ? BITMAP_BITFIELDS : BITMAP_RGB;
    bitmap.masks = rgb565 ? RGB565_MASKS : std::array<std::uint32_t, 3>{};
    bitmap.info.imageSize = static_cast<std::uint32_t>(size);
    const std::uint32_t used = header.depth <= 8 ? (1u << header.depth) : 0;
    bitmap.info.coloursUsed = used;
    bitmap.info.coloursImportant = used;
    return DecodeStatus::Shown;
}

bool RecordCanFollow(ByteReader& file, const RecordHeader& header) {
    const std::optional<std::uint64_t> fileSize = file.Size();
    return !fileSize || PixelDataCanFit(header, *fileSize, file.Position());
}

DecodeStatus ShownStatus(const RecordHeader& header) {
    if (IsPlanar(header) && !IsPlanarDepth(header.depth)) {
        return DecodeStatus::Planar;
    }
    return IsWrittenDepth(header.depth) ? DecodeStatus::Shown : DecodeStatus::DepthNotShown;
}

namespace {

// Places the record's pixels, read on from `stream`, by its order and depth.
void PlaceRecord(PixelByteStream& stream, std::uint64_t available, const RecordHeader& header,
                 const Placement& place) {
    const bool packed = IsSubByteDepth(header.depth);
    switch (header.layout & LAYOUT_ORDER) {
    case ORDER_ROWS:
        PlaceRowOrder(stream, available, header, place);
        break;
    case ORDER_COLUMNS:
        PlaceColumnOrder(stream, available, header, place);
        break;
    case ORDER_BANDED_ROWS:
        packed ? PlaceBandedRows(stream, available, header, place)
               : PlaceRowOrder(stream, available, header, place);
        break;
    default:
        packed ? PlaceBandedColumns(stream, available, header, place)
               : PlaceColumnOrder(stream, available, header, place);
        break;
    }
}

// The part of a plane of width x height that `available` unpacked bytes reach: rows
// [0, rows) and columns [0, columns); beyond it the plane stays 0.
struct Reach {
    std::size_t rows;
    std::size_t columns;
};

Reach PlaneReach(std::uint64_t available, const RecordHeader& plane) {
    const std::size_t width = plane.width;
    const std::size_t height = plane.height;
    switch (plane.layout & LAYOUT_ORDER) {
    case ORDER_ROWS:
        return {UnitsWithin(available, RowBytes(1, width), height), width};
    case ORDER_COLUMNS:
        return {height, UnitsWithin(available, (height + 7) / 8, width)};
    case ORDER_BANDED_ROWS:
        return {BandsEnd(available, width, height, 8), width};
    default:
        return {height, BandsEnd(available, height, width, 8)};
    }
}

// A planar record: every plane is placed as a depth-1 record into a bitmap of the part of
// the record that lies within the display bitmap, and its bits are gathered into the
// pixels' values there (plane p gives bit p). The planes run on in one coded stream.
// onZeros: the bitmap is freshly zeroed, so the record's pixels need no clearing first.
void PlacePlanes(PixelByteStream& stream, std::uint64_t available, const RecordHeader& header,
                 const Placement& place, const DisplayBitmap& bitmap, int dx, int dy,
                 bool onZeros) {
    const RecordHeader planeHeader = PlaneHeader(header);
    // The first plane reaches furthest into the data that the file can give; beyond it
    // every plane stays 0, so the plane bitmap ends there too.
    const Reach furthest = PlaneReach(available, planeHeader);
    RecordHeader clipped = planeHeader;
    clipped.width = static_cast<std::uint16_t>(
        std::min<long>(std::clamp<long>(static_cast<long>(bitmap.width) - dx, 0, header.width),
                       static_cast<long>(furthest.columns)));
    clipped.height = static_cast<std::uint16_t>(
        std::min<long>(std::clamp<long>(static_cast<long>(bitmap.height) - dy, 0, header.height),
                       static_cast<long>(furthest.rows)));
    if (clipped.width == 0 || clipped.height == 0) {
        return;
    }
    DisplayBitmap plane;
    if (StartRun(plane, clipped) != DecodeStatus::Shown) {
        return;
    }
    const std::size_t width = clipped.width;
    const std::size_t height = clipped.height;
    auto eachPixel = [&](std::size_t rows, std::size_t columns, auto visit) {
        for (std::size_t y = 0; y < std::min(rows, height); ++y) {
            std::uint8_t* row = place.Row(y);
            const std::uint8_t* bits = plane.pixels->data() + (height - 1 - y) * plane.stride;
            for (std::size_t x = 0; row != nullptr && x < std::min(columns, width); ++x) {
                const Placement::Field field = place.FieldOf(x);
                if (field.mask != 0) {
                    visit(row, field, (bits[x / 8] >> (7 - x % 8)) & 1u);
                }
            }
        }
    };
    if (!onZeros) {
        eachPixel(height, width, [](std::uint8_t* row, const Placement::Field& field, unsigned) {
            Placement::Store(row, field, 0);
        });
    }
    const std::uint64_t planeBytes = PlaneBytes(header);
    const Placement inPlane(plane, planeHeader, 0, 0);
    Reach before{0, 0};
    for (unsigned p = 0; p < header.depth; ++p) {
        // Only the rows that the plane before reached hold bits to clear.
        std::fill_n(plane.pixels->data() + (height - std::min(before.rows, height)) * plane.stride,
                    std::min(before.rows, height) * plane.stride, std::uint8_t{0});
        const std::uint64_t passed = p * planeBytes;
        const std::uint64_t left = available > passed ? available - passed : 0;
        PlaceRecord(stream, left, planeHeader, inPlane);
        const Reach reach = PlaneReach(left, planeHeader);
        eachPixel(reach.rows, reach.columns,
                  [p](std::uint8_t* row, const Placement::Field& field, unsigned bit) {
                      const unsigned value = (row[field.byte] & field.mask) >> field.shift;
                      Placement::Store(row, field, value | bit << p);
                  });
        before = reach;
    }
}

} // namespace

void DrawRecord(ByteReader& file, const RecordHeader& header, bool buildUp, bool onZeros,
                DisplayBitmap& bitmap) {
    int dx = 0;
    int dy = 0;
    const std::uint64_t recordEnd = file.Position() - RECORD_HEADER_SIZE + header.recordLength;
    if ((header.layout & RECORD_DELTA) != 0) {
        const DeltaHeader delta = ReadDeltaHeader(file);
        if (buildUp) {
            dx = delta.dx;
            dy = delta.dy;
        }
    }
    BuildColourTable(file, header, bitmap);
    if (ShownStatus(header) != DecodeStatus::Shown) {
        return;
    }
    std::uint64_t available = UINT64_MAX;
    if (onZeros) {
        if (const std::optional<std::uint64_t> fileSize = file.Size()) {
            available = MostUnpacked(header, *fileSize, file.Position());
        }
    }
    PixelByteStream stream(file, header, recordEnd);
    const Placement place(bitmap, header, dx, dy);
    if (IsPlanar(header)) {
        PlacePlanes(stream, available, header, place, bitmap, dx, dy, onZeros);
    } else {
        PlaceRecord(stream, available, header, place);
    }
}
