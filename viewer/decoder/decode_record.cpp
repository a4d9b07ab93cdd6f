// Choosing the records of a decoding run, setting up the bitmap from the first of them,
// and placing each record's unpacked pixels at its offset. Every store is checked
// against the bitmap, so records larger, deeper or further out than the start record
// are clipped rather than written outside the pixel block.
#include "decode_record.h"

#include "byte_reader.h"
#include "checked_size.h"
#include "mirror_byte.h"
#include "pixel_fields.h"
#include "read_record_header.h"
#include "unpack_byte.h"
#include "zentra_format.h"

#include <algorithm>
#include <new>

namespace {

// Generous limits that every real display stays far below; larger records are refused.
constexpr std::size_t MAX_STRIDE = 256 * 1024;
constexpr std::size_t MAX_PIXEL_BLOCK = std::size_t{1} << 30;

bool IsPackedDepth(unsigned depth) {
    return depth == 1 || depth == 2 || depth == 4;
}

bool IsDecodedDepth(unsigned depth) {
    return IsPackedDepth(depth) || depth == 8 || depth == 16 || depth == 24;
}

// Brings the first pixel of a packed byte into its least significant field.
std::uint8_t FirstFieldLow(std::uint8_t b, unsigned depth) {
    switch (depth) {
    case 1:
        return MirrorByte(b);
    case 2:
        return ReversePairOrder(b);
    case 4:
        return SwapNibbles(b);
    default:
        return b;
    }
}

// The stored 16-bit pixel (b0, b1) in the byte order the bitmap takes.
void Convert16(std::uint8_t& b0, std::uint8_t& b1) {
    const auto c0 = static_cast<std::uint8_t>(((b1 & 0x1F) << 3) | (b0 & 0x07));
    const auto c1 = static_cast<std::uint8_t>((c0 & 0xE0) | (b0 >> 3));
    b0 = c0;
    b1 = c1;
}

bool SetUpBitmap(DisplayBitmap& bitmap, const RecordHeader& header) {
    const std::size_t rowBytes = RowBytes(header.depth, header.width);
    const std::size_t stride = (rowBytes + 3) / 4 * 4;
    std::size_t size = 0;
    if (stride > MAX_STRIDE || !CheckedMultiply(stride, header.height, size) ||
        size > MAX_PIXEL_BLOCK) {
        return false;
    }
    try {
        bitmap.pixels.emplace(size, std::uint8_t{0});
    } catch (const std::bad_alloc&) {
        bitmap.pixels.reset();
        return false;
    }
    bitmap.width = header.width;
    bitmap.height = header.height;
    bitmap.depth = header.depth;
    bitmap.stride = static_cast<std::uint32_t>(stride);
    bitmap.info = BitmapInfoHeader{};
    bitmap.info.width = header.width;
    bitmap.info.height = header.height;
    bitmap.info.bitCount = header.depth;
    bitmap.info.imageSize = static_cast<std::uint32_t>(size);
    const std::uint32_t used = header.depth <= 8 ? (1u << header.depth) : 0;
    bitmap.info.coloursUsed = used;
    bitmap.info.coloursImportant = used;
    return true;
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
        : block_(bitmap.pixels->data()), height_(bitmap.height), stride_(bitmap.stride),
          limitBits_(static_cast<std::size_t>(bitmap.width) * bitmap.depth), dx_(dx), dy_(dy),
          invertedY_((header.layout & LAYOUT_INVERTED_Y) != 0) {}

    // The bitmap row of a stored row, or null when it falls outside the bitmap.
    std::uint8_t* Row(long storedRow) const {
        const long row = storedRow + dy_;
        if (row < 0 || row >= height_) {
            return nullptr;
        }
        const long bitmapRow = invertedY_ ? row : height_ - 1 - row;
        return block_ + static_cast<std::size_t>(bitmapRow) * stride_;
    }

    // Stores a depth-bit pixel at record column c; the leftmost pixel of a byte sits in
    // its most significant bits.
    void StorePixel(std::uint8_t* row, std::size_t c, unsigned depth, std::uint8_t value) const {
        const std::size_t bit = (dx_ + c) * depth;
        if (bit + depth > limitBits_) {
            return;
        }
        const unsigned shift = 8 - depth - static_cast<unsigned>(bit % 8);
        const auto mask = static_cast<std::uint8_t>(((1u << depth) - 1) << shift);
        std::uint8_t& target = row[bit / 8];
        target = static_cast<std::uint8_t>((target & ~mask) | ((value << shift) & mask));
    }

    // Stores whole bytes at record column c of a row of depth-bit pixels.
    void StoreBytes(std::uint8_t* row, std::size_t c, unsigned depth, const std::uint8_t* bytes,
                    std::size_t count) const {
        const std::size_t first = (dx_ + c) * depth / 8;
        const std::size_t fullBytes = limitBits_ / 8;
        if (first < fullBytes) {
            std::copy_n(bytes, std::min(count, fullBytes - first), row + first);
        }
        const unsigned rest = static_cast<unsigned>(limitBits_ % 8);
        if (rest != 0 && fullBytes >= first && fullBytes - first < count) {
            const auto keep = static_cast<std::uint8_t>(0xFF << (8 - rest));
            std::uint8_t& target = row[fullBytes];
            target =
                static_cast<std::uint8_t>((target & ~keep) | (bytes[fullBytes - first] & keep));
        }
    }

  private:
    std::uint8_t* block_;
    long height_;
    std::size_t stride_;
    std::size_t limitBits_;
    std::size_t dx_;
    long dy_;
    bool invertedY_;
};

void PlaceRowOrder(ByteReader& file, const RecordHeader& header, const Placement& place) {
    const unsigned depth = header.depth;
    const bool reversed = (header.layout & LAYOUT_REVERSED) != 0;
    std::vector<std::uint8_t> line(RowBytes(depth, header.width));
    UnpackState state;
    for (long y = 0; y < header.height; ++y) {
        for (std::uint8_t& b : line) {
            b = UnpackByte(file, state);
        }
        if (reversed) {
            if (IsPackedDepth(depth)) {
                for (std::uint8_t& b : line) {
                    b = FirstFieldLow(b, depth);
                }
            } else if (depth == 16) {
                for (std::size_t i = 0; i + 1 < line.size(); i += 2) {
                    Convert16(line[i], line[i + 1]);
                }
            } else if (depth == 24) {
                for (std::size_t i = 0; i + 2 < line.size(); i += 3) {
                    std::swap(line[i], line[i + 2]);
                }
            }
        }
        if (std::uint8_t* row = place.Row(y)) {
            place.StoreBytes(row, 0, depth, line.data(), line.size());
        }
    }
}

void PlaceColumnOrder(ByteReader& file, const RecordHeader& header, const Placement& place) {
    const unsigned depth = header.depth;
    const bool reversed = (header.layout & LAYOUT_REVERSED) != 0;
    UnpackState state;
    if (IsPackedDepth(depth)) {
        const unsigned p = PixelsPerByte(depth);
        const std::uint8_t mask = PixelMask(depth);
        for (std::size_t c = 0; c < header.width; ++c) {
            for (long y0 = 0; y0 < header.height; y0 += p) {
                std::uint8_t b = UnpackByte(file, state);
                if (!reversed) {
                    b = FirstFieldLow(b, depth);
                }
                for (long j = 0; j < static_cast<long>(p) && y0 + j < header.height; ++j) {
                    if (std::uint8_t* row = place.Row(y0 + j)) {
                        place.StorePixel(row, c, depth, (b >> (j * depth)) & mask);
                    }
                }
            }
        }
        return;
    }
    const unsigned size = depth / 8;
    for (std::size_t c = 0; c < header.width; ++c) {
        for (long y = 0; y < header.height; ++y) {
            std::uint8_t group[3] = {};
            for (unsigned i = 0; i < size; ++i) {
                group[i] = UnpackByte(file, state);
            }
            if (!reversed) {
                if (depth == 16) {
                    Convert16(group[0], group[1]);
                } else if (depth == 24) {
                    std::swap(group[0], group[2]);
                }
            }
            if (std::uint8_t* row = place.Row(y)) {
                place.StoreBytes(row, c, depth, group, size);
            }
        }
    }
}

// Bands of p stored rows; each byte holds one column's pixels of the band.
void PlaceBandedRows(ByteReader& file, const RecordHeader& header, const Placement& place) {
    const unsigned depth = header.depth;
    const bool reversed = (header.layout & LAYOUT_REVERSED) != 0;
    const unsigned p = PixelsPerByte(depth);
    const std::uint8_t mask = PixelMask(depth);
    UnpackState state;
    for (long y0 = 0; y0 < header.height; y0 += p) {
        for (std::size_t c = 0; c < header.width; ++c) {
            std::uint8_t b = UnpackByte(file, state);
            if (!reversed) {
                b = FirstFieldLow(b, depth);
            }
            for (long j = 0; j < static_cast<long>(p) && y0 + j < header.height; ++j) {
                if (std::uint8_t* row = place.Row(y0 + j)) {
                    place.StorePixel(row, c, depth, (b >> (j * depth)) & mask);
                }
            }
        }
    }
}

// Bands of p columns; each byte holds one stored row's pixels of the band.
void PlaceBandedColumns(ByteReader& file, const RecordHeader& header, const Placement& place) {
    const unsigned depth = header.depth;
    const bool reversed = (header.layout & LAYOUT_REVERSED) != 0;
    const unsigned p = PixelsPerByte(depth);
    const std::uint8_t mask = PixelMask(depth);
    UnpackState state;
    for (std::size_t x0 = 0; x0 < header.width; x0 += p) {
        for (long y = 0; y < header.height; ++y) {
            std::uint8_t b = UnpackByte(file, state);
            if (!reversed) {
                b = FirstFieldLow(b, depth);
            }
            std::uint8_t* row = place.Row(y);
            if (row == nullptr) {
                continue;
            }
            for (unsigned j = 0; j < p && x0 + j < header.width; ++j) {
                place.StorePixel(row, x0 + j, depth, (b >> (j * depth)) & mask);
            }
        }
    }
}

// Reads the rest of one record (header already read) and places its pixels.
void DecodeOne(ByteReader& file, const RecordHeader& header, bool buildUp, DisplayBitmap& bitmap) {
    int dx = 0;
    int dy = 0;
    if ((header.layout & RECORD_DELTA) != 0) {
        const DeltaHeader delta = ReadDeltaHeader(file);
        if (buildUp) {
            dx = delta.dx;
            dy = delta.dy;
        }
    }
    BuildColourTable(file, header, bitmap);
    if ((header.layout & LAYOUT_PLANAR) != 0 || !IsDecodedDepth(header.depth)) {
        return;
    }
    const Placement place(bitmap, header, dx, dy);
    const bool packed = IsPackedDepth(header.depth);
    switch (header.layout & LAYOUT_ORDER) {
    case ORDER_ROWS:
        PlaceRowOrder(file, header, place);
        break;
    case ORDER_COLUMNS:
        PlaceColumnOrder(file, header, place);
        break;
    case ORDER_BANDED_ROWS:
        packed ? PlaceBandedRows(file, header, place) : PlaceRowOrder(file, header, place);
        break;
    default:
        packed ? PlaceBandedColumns(file, header, place) : PlaceColumnOrder(file, header, place);
        break;
    }
}

} // namespace

void DecodeRecord(const std::string& fileName, int index, bool buildUp, DisplayBitmap& bitmap) {
    bitmap.pixels.reset();
    if (index < 0 || fileName.empty()) {
        return;
    }
    ByteReader file;
    if (!file.Open(fileName)) {
        return;
    }
    // Walk to the selected record, noting the last full frame before it.
    RecordHeader header;
    std::uint64_t start = 0;
    std::uint64_t fullFrameStart = 0;
    int fullFrame = 0;
    for (int i = 0; i < index; ++i) {
        if (!ReadRecordHeader(file, header)) {
            return;
        }
        if ((header.layout & RECORD_DELTA) == 0) {
            fullFrame = i;
            fullFrameStart = start;
        }
        start += header.recordLength;
        if (!file.SeekTo(start)) {
            return;
        }
    }
    if (!ReadRecordHeader(file, header)) {
        return;
    }
    int first = index;
    if (buildUp && (header.layout & RECORD_DELTA) != 0) {
        first = fullFrame;
        start = fullFrameStart;
    }
    if (!file.SeekTo(start)) {
        return;
    }
    // Each record of the run follows where the previous one's pixel data ended.
    for (int i = first; i <= index; ++i) {
        if (!ReadRecordHeader(file, header)) {
            return;
        }
        if (i == first && !SetUpBitmap(bitmap, header)) {
            return;
        }
        DecodeOne(file, header, buildUp, bitmap);
    }
}
