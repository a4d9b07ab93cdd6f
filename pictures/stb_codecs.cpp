// stb_image and stb_image_resize, compiled once for the engine. Each format is decoded
// by its own stb loader, never by stb's guess from the data, so that the reader chosen
// by signature or name is the one that runs. Failure texts are left out: the engine
// words its own messages.
#include "stb_codecs.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

// Zeroed blocks: on damaged data stb can leave parts of its buffers unwritten (a JPEG's
// missing scans), and a picture must then come out the same every time it is read.
// Blocks that stb grows (PNG data, inflated bytes, GIF frames) are zeroed past their old
// size for the same reason.
namespace {
void* ReallocZeroed(void* pointer, std::size_t oldSize, std::size_t newSize) {
    auto* grown = static_cast<unsigned char*>(std::realloc(pointer, newSize));
    if (grown != nullptr && newSize > oldSize) {
        std::memset(grown + oldSize, 0, newSize - oldSize);
    }
    return grown;
}
} // namespace
#define STBI_MALLOC(size) std::calloc(1, size)
#define STBI_REALLOC_SIZED(pointer, oldSize, newSize) ReallocZeroed(pointer, oldSize, newSize)
#define STBI_FREE(pointer) std::free(pointer)
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_MAX_DIMENSIONS 32767
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#define STB_IMAGE_RESIZE_STATIC
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image_resize.h>

namespace {

struct StbFree {
    void operator()(void* p) const { STBI_FREE(p); }
};
using StbBuffer = std::unique_ptr<stbi_uc, StbFree>;

constexpr int RGBA = 4;

bool StartContext(stbi__context& context, const std::uint8_t* data, std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) {
        return false;
    }
    stbi__start_mem(&context, data, static_cast<int>(size));
    return true;
}

// One still picture through the format's own loader, 16-bit samples taken as v >> 8.
StbBuffer LoadStill(PictureFormat format, stbi__context& context, int& width, int& height) {
    int components = 0;
    stbi__result_info info{};
    info.bits_per_channel = 8;
    void* pixels = nullptr;
    switch (format) {
    case PictureFormat::Png:
        pixels = stbi__png_load(&context, &width, &height, &components, RGBA, &info);
        break;
    case PictureFormat::Jpeg:
        pixels = stbi__jpeg_load(&context, &width, &height, &components, RGBA, &info);
        break;
    case PictureFormat::Bitmap:
        pixels = stbi__bmp_load(&context, &width, &height, &components, RGBA, &info);
        break;
    case PictureFormat::Tga:
        pixels = stbi__tga_load(&context, &width, &height, &components, RGBA, &info);
        break;
    default:
        return nullptr;
    }
    if (pixels != nullptr && info.bits_per_channel == 16) {
        pixels = stbi__convert_16_to_8(static_cast<stbi__uint16*>(pixels), width, height, RGBA);
    }
    return StbBuffer(static_cast<stbi_uc*>(pixels));
}

// The GIF's frames one by one. stb keeps the frame before the previous one for the
// "restore to previous" disposal; that copy is held here.
bool DecodeGif(stbi__context& context, const RgbaFrameSink& sink) {
    auto state = std::make_unique<stbi__gif>();
    std::memset(state.get(), 0, sizeof(stbi__gif));
    struct StateBuffers {
        stbi__gif* gif;
        ~StateBuffers() {
            STBI_FREE(gif->out);
            STBI_FREE(gif->history);
            STBI_FREE(gif->background);
        }
    } buffers{state.get()};

    std::unique_ptr<stbi_uc[]> previous;
    std::unique_ptr<stbi_uc[]> twoBack;
    std::size_t frameBytes = 0;
    int components = 0;
    for (int frame = 0;; ++frame) {
        stbi_uc* pixels =
            stbi__gif_load_next(&context, state.get(), &components, RGBA, twoBack.get());
        if (pixels == reinterpret_cast<stbi_uc*>(&context)) {
            return frame > 0; // the end of the stream
        }
        if (pixels == nullptr) {
            return false;
        }
        if (frame == 0) {
            frameBytes =
                static_cast<std::size_t>(state->w) * static_cast<std::size_t>(state->h) * RGBA;
        }
        if (!sink(pixels, state->w, state->h, state->delay)) {
            return true;
        }
        // stb's two-back frame: the one shown before the frame just decoded.
        if (frame > 0) {
            if (twoBack == nullptr) {
                twoBack.reset(new (std::nothrow) stbi_uc[frameBytes]);
                if (twoBack == nullptr) {
                    return false;
                }
            }
            std::memcpy(twoBack.get(), previous.get(), frameBytes);
        } else {
            previous.reset(new (std::nothrow) stbi_uc[frameBytes]);
            if (previous == nullptr) {
                return false;
            }
        }
        std::memcpy(previous.get(), pixels, frameBytes);
    }
}

// Debian's stb_image 2.27 builds a Huffman table from a DHT segment without checking
// that its 16 code counts add up to at most 256 symbols, and then writes past the table.
// Such a file is corrupt; it is refused here before stb sees it. The walk passes from
// marker to marker, over segment lengths and over entropy-coded data (where FF 00 and
// the restart markers FF D0 to FF D7 belong to the data).
bool JpegHuffmanTablesFit(const std::uint8_t* data, std::size_t size) {
    std::size_t at = 2; // behind SOI
    while (at + 1 < size) {
        if (data[at] != 0xFF) {
            ++at; // entropy-coded data
            continue;
        }
        const std::uint8_t marker = data[at + 1];
        if (marker == 0xFF || marker == 0x00 || (marker >= 0xD0 && marker <= 0xD7) ||
            marker == 0x01) {
            at += marker == 0xFF ? 1 : 2;
            continue;
        }
        if (marker == 0xD9 || at + 3 >= size) {
            return true;
        }
        const std::size_t length = static_cast<std::size_t>(data[at + 2] << 8 | data[at + 3]);
        if (marker == 0xC4) {
            // Tables follow one another while stb's count of the segment's bytes stays
            // above 0, past the segment's end if the counts say so; stb then reads on
            // from where the last table ended.
            std::int64_t left = static_cast<std::int64_t>(length) - 2;
            std::size_t table = at + 4;
            while (left > 0) {
                std::size_t symbols = 0;
                for (std::size_t i = 1; i <= 16; ++i) {
                    symbols += table + i < size ? data[table + i] : 0;
                }
                if (symbols > 256) {
                    return false;
                }
                left -= static_cast<std::int64_t>(17 + symbols);
                table += 17 + symbols;
            }
            at = table;
            continue;
        }
        at += 2 + length;
    }
    return true;
}

// stb_image 2.27 copies an empty IDAT chunk that comes before any data into its not yet
// allocated buffer (a copy of 0 bytes to a null pointer, which C leaves undefined), and it
// grows its buffer to a chunk's stated length before it reads the chunk. Empty IDAT chunks
// carry nothing, so they are left out of what stb sees; a chunk longer than the rest of the
// file cannot be read, and the file is refused (nothing when so).
std::vector<std::uint8_t> WithoutEmptyPngData(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> kept(data, data + std::min<std::size_t>(size, 8));
    std::size_t at = 8;
    while (at + 12 <= size) {
        const std::size_t length = static_cast<std::size_t>(data[at]) << 24 |
                                   static_cast<std::size_t>(data[at + 1]) << 16 |
                                   static_cast<std::size_t>(data[at + 2]) << 8 | data[at + 3];
        if (length > size - at - 12) {
            return {}; // cut inside this chunk
        }
        const bool emptyData = length == 0 && std::memcmp(data + at + 4, "IDAT", 4) == 0;
        if (!emptyData) {
            kept.insert(kept.end(), data + at, data + at + 12 + length);
        }
        at += 12 + length;
    }
    if (at < size) {
        kept.insert(kept.end(), data + at, data + size);
    }
    return kept;
}

} // namespace

std::optional<PictureSize> StbPictureSize(PictureFormat format, const std::uint8_t* data,
                                          std::size_t size) {
    stbi__context context;
    if (!StartContext(context, data, size) ||
        (format == PictureFormat::Jpeg && !JpegHuffmanTablesFit(data, size))) {
        return std::nullopt;
    }
    PictureSize result;
    int components = 0;
    int ok = 0;
    switch (format) {
    case PictureFormat::Png:
        ok = stbi__png_info(&context, &result.width, &result.height, &components);
        break;
    case PictureFormat::Gif:
        ok = stbi__gif_info(&context, &result.width, &result.height, &components);
        break;
    case PictureFormat::Jpeg:
        ok = stbi__jpeg_info(&context, &result.width, &result.height, &components);
        break;
    case PictureFormat::Bitmap:
        ok = stbi__bmp_info(&context, &result.width, &result.height, &components);
        break;
    case PictureFormat::Tga:
        ok = stbi__tga_info(&context, &result.width, &result.height, &components);
        break;
    default:
        break;
    }
    if (ok == 0) {
        return std::nullopt;
    }
    return result;
}

bool StbDecode(PictureFormat format, const std::uint8_t* data, std::size_t size,
               const RgbaFrameSink& sink) {
    stbi__context context;
    if (!StartContext(context, data, size)) {
        return false;
    }
    if (format == PictureFormat::Gif) {
        return DecodeGif(context, sink);
    }
    std::vector<std::uint8_t> png;
    if (format == PictureFormat::Png) {
        png = WithoutEmptyPngData(data, size);
        if (png.empty()) {
            return false;
        }
        stbi__start_mem(&context, png.data(), static_cast<int>(png.size()));
    }
    if (format == PictureFormat::Jpeg && !JpegHuffmanTablesFit(data, size)) {
        return false;
    }
    int width = 0;
    int height = 0;
    const StbBuffer pixels = LoadStill(format, context, width, height);
    if (pixels == nullptr) {
        return false;
    }
    sink(pixels.get(), width, height, -1);
    return true;
}

bool StbResize(const std::uint8_t* in, int width, int height, std::uint8_t* out, int outWidth,
               int outHeight, int channels) {
    return stbir_resize_uint8_srgb(in, width, height, 0, out, outWidth, outHeight, 0, channels,
                                   STBIR_ALPHA_CHANNEL_NONE, 0) != 0;
}
