// The six packers: a rectangle of a one-byte-per-pixel picture becomes the unpacked byte
// stream of one depth and pixel order, each byte handed to the run-length coder.
#include "packers.h"

#include "mirror_byte.h"
#include "run_length_buffer.h"

#include <cstddef>

namespace {

// At depth 1 a pixel value above 127 (light) is bit 1, 0-127 (dark) is bit 0.
inline unsigned PixelBit(std::uint8_t value) {
    return value >> 7;
}

// The first pixel sits in bit 7; with LAYOUT_REVERSED the byte is mirrored so that it
// sits in bit 0.
inline void PutPackedByte(PixelByteCoder& coder, unsigned bits, bool reversed) {
    const auto byte = static_cast<std::uint8_t>(bits);
    coder.Put(reversed ? MirrorByte(byte) : byte);
}

// Packs `count` pixels, `step` bytes apart from `first`, eight to a byte; the last
// byte's unused low bits are 0.
//   pixel  0 1 2 3 4 5 6 7
//   bit    7 6 5 4 3 2 1 0
inline void PackLine1(PixelByteCoder& coder, const std::uint8_t* first, std::size_t step, int count,
                      bool reversed) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const std::uint8_t* pixel = first + static_cast<std::size_t>(i) * step;
        unsigned byte = 0;
        for (std::size_t k = 0; k < 8; ++k) {
            byte = (byte << 1) | PixelBit(pixel[k * step]);
        }
        PutPackedByte(coder, byte, reversed);
    }
    if (i < count) {
        unsigned byte = 0;
        for (int k = 0; k < 8; ++k) {
            byte <<= 1;
            if (i + k < count) {
                byte |= PixelBit(first[static_cast<std::size_t>(i + k) * step]);
            }
        }
        PutPackedByte(coder, byte, reversed);
    }
}

// One byte of a band: the pixels `step` bytes apart from `first` at band positions
// start .. start + 7; positions at or beyond `limit` (the picture's edge) are 0 bits.
// A band that lies wholly inside the picture is packed without a test per pixel.
inline unsigned BandByte(const std::uint8_t* first, std::size_t step, int start, int limit) {
    unsigned byte = 0;
    if (start + 8 <= limit) {
        for (std::size_t k = 0; k < 8; ++k) {
            byte = (byte << 1) | PixelBit(first[k * step]);
        }
        return byte;
    }
    for (int k = 0; k < 8; ++k) {
        byte <<= 1;
        if (start + k < limit) {
            byte |= PixelBit(first[static_cast<std::size_t>(k) * step]);
        }
    }
    return byte;
}

const std::uint8_t* RectOrigin(const std::uint8_t* pixels, std::size_t width,
                               const ChangedRect& rect) {
    return pixels + static_cast<std::size_t>(rect.y) * width + static_cast<std::size_t>(rect.x);
}

} // namespace

bool PackRowOrder1(RunLengthBuffer& coded, std::FILE* file, const RecordHeader& header,
                   const std::uint8_t* pixels, const ChangedRect& rect) {
    const std::size_t width = header.width;
    const bool reversed = (header.layout & LAYOUT_REVERSED) != 0;
    const std::uint8_t* origin = RectOrigin(pixels, width, rect);
    const ChangedRect area = rect; // a local copy: no coded byte stored can alias it
    BeginPixelData(coded);
    {
        PixelByteCoder coder(coded);
        for (int j = 0; j < area.height; ++j) {
            PackLine1(coder, origin + static_cast<std::size_t>(j) * width, 1, area.width, reversed);
        }
    }
    return EndPixelData(coded, file);
}

bool PackColumnOrder1(RunLengthBuffer& coded, std::FILE* file, const RecordHeader& header,
                      const std::uint8_t* pixels, const ChangedRect& rect) {
    const std::size_t width = header.width;
    const bool reversed = (header.layout & LAYOUT_REVERSED) != 0;
    const std::uint8_t* origin = RectOrigin(pixels, width, rect);
    const ChangedRect area = rect; // a local copy: no coded byte stored can alias it
    BeginPixelData(coded);
    {
        PixelByteCoder coder(coded);
        for (int i = 0; i < area.width; ++i) {
            PackLine1(coder, origin + i, width, area.height, reversed);
        }
    }
    return EndPixelData(coded, file);
}

bool PackBandedRows1(RunLengthBuffer& coded, std::FILE* file, const RecordHeader& header,
                     const std::uint8_t* pixels, const ChangedRect& rect) {
    const std::size_t width = header.width;
    const int height = header.height;
    const bool reversed = (header.layout & LAYOUT_REVERSED) != 0;
    const std::uint8_t* origin = RectOrigin(pixels, width, rect);
    const ChangedRect area = rect; // a local copy: no coded byte stored can alias it
    BeginPixelData(coded);
    {
        PixelByteCoder coder(coded);
        for (int band = 0; band < area.height; band += 8) {
            const std::uint8_t* bandStart = origin + static_cast<std::size_t>(band) * width;
            for (int i = 0; i < area.width; ++i) {
                PutPackedByte(coder, BandByte(bandStart + i, width, area.y + band, height),
                              reversed);
            }
        }
    }
    return EndPixelData(coded, file);
}

bool PackBandedColumns1(RunLengthBuffer& coded, std::FILE* file, const RecordHeader& header,
                        const std::uint8_t* pixels, const ChangedRect& rect) {
    const std::size_t width = header.width;
    const bool reversed = (header.layout & LAYOUT_REVERSED) != 0;
    const std::uint8_t* origin = RectOrigin(pixels, width, rect);
    const ChangedRect area = rect; // a local copy: no coded byte stored can alias it
    BeginPixelData(coded);
    {
        PixelByteCoder coder(coded);
        for (int band = 0; band < area.width; band += 8) {
            for (int j = 0; j < area.height; ++j) {
                const std::uint8_t* first = origin + static_cast<std::size_t>(j) * width + band;
                PutPackedByte(coder, BandByte(first, 1, area.x + band, static_cast<int>(width)),
                              reversed);
            }
        }
    }
    return EndPixelData(coded, file);
}

bool PackRowOrder8(RunLengthBuffer& coded, std::FILE* file, const RecordHeader& header,
                   const std::uint8_t* pixels, const ChangedRect& rect) {
    const std::size_t width = header.width;
    const std::uint8_t* origin = RectOrigin(pixels, width, rect);
    const ChangedRect area = rect; // a local copy: no coded byte stored can alias it
    BeginPixelData(coded);
    {
        PixelByteCoder coder(coded);
        for (int j = 0; j < area.height; ++j) {
            const std::uint8_t* row = origin + static_cast<std::size_t>(j) * width;
            for (int i = 0; i < area.width; ++i) {
                coder.Put(row[i]);
            }
        }
    }
    return EndPixelData(coded, file);
}

bool PackColumnOrder8(RunLengthBuffer& coded, std::FILE* file, const RecordHeader& header,
                      const std::uint8_t* pixels, const ChangedRect& rect) {
    const std::size_t width = header.width;
    const std::uint8_t* origin = RectOrigin(pixels, width, rect);
    const ChangedRect area = rect; // a local copy: no coded byte stored can alias it
    BeginPixelData(coded);
    {
        PixelByteCoder coder(coded);
        for (int i = 0; i < area.width; ++i) {
            const std::uint8_t* column = origin + i;
            for (int j = 0; j < area.height; ++j) {
                coder.Put(column[static_cast<std::size_t>(j) * width]);
            }
        }
    }
    return EndPixelData(coded, file);
}

// At depth 8 a byte holds one pixel, so the banded orders are the plain ones.
Packer SelectPacker(int depth, std::uint8_t layout) {
    const std::uint8_t order = layout & LAYOUT_ORDER;
    if (depth == 1) {
        switch (order) {
        case ORDER_ROWS:
            return PackRowOrder1;
        case ORDER_COLUMNS:
            return PackColumnOrder1;
        case ORDER_BANDED_ROWS:
            return PackBandedRows1;
        default:
            return PackBandedColumns1;
        }
    }
    if (depth == 8) {
        return (order == ORDER_ROWS || order == ORDER_BANDED_ROWS) ? PackRowOrder8
                                                                   : PackColumnOrder8;
    }
    return nullptr;
}
