// ReadPngPicture: PNG pictures through libpng, from memory. Every colour type and depth
// comes out as red, green, blue, alpha of 8 bits (16-bit samples cut to their high byte,
// palettes and tRNS expanded) and then grey levels and colours. libpng reports errors
// through its longjmp handler; each step that calls into libpng is a function of its own
// that holds no C++ object across that jump.
#include "picture_readers.h"
#include "read_failure.h"
#include "rgba_frames.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

namespace {

struct MemorySource {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at;
    bool ranOut; // a read went past the end of the bytes
};

void ReadFromMemory(png_structp png, png_bytep target, png_size_t count) {
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (source->size - source->at < count) {
        source->ranOut = true;
        png_error(png, "cut");
    }
    std::memcpy(target, source->data + source->at, count);
    source->at += count;
}

// Errors end the decoding at the step's setjmp; warnings are dropped (the engine words
// its own messages, and damaged pictures are common input).
void ErrorExit(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// The read structures, destroyed whichever way the reading ends.
struct PngDecoder {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngDecoder() { png_destroy_read_struct(&png, &info, nullptr); }
};

struct PngHeader {
    png_uint_32 width;
    png_uint_32 height;
};

// Reads the chunks up to the pixel data under the engine's limits; false when libpng
// refuses them.
bool ReadPngHeader(png_structp png, png_infop info, MemorySource* source, PngHeader* header) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_read_fn(png, source, ReadFromMemory);
    // libpng's own side limits (a million pixels) stay: the engine's smaller ones are
    // checked on the header before any row is allocated, with a message that says so.
    png_set_chunk_malloc_max(png, 8u << 20);
    // Checksums are not checked, so a picture with a damaged checksum but whole data reads
    // as it always has; the data themselves are checked at every step.
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#if defined(PNG_SET_OPTION_SUPPORTED) && defined(PNG_IGNORE_ADLER32)
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
#ifdef PNG_HANDLE_AS_UNKNOWN_SUPPORTED
    // Only IHDR, PLTE, tRNS, IDAT and IEND matter to the pixels; every other chunk (colour
    // profiles, compressed text) is passed over unread.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
#endif
    png_read_info(png, info);
    header->width = png_get_image_width(png, info);
    header->height = png_get_image_height(png, info);
    return true;
}

// Decodes the pixels into rows of width x 4 bytes and reads on to the end chunk; false
// when the data are damaged or cut.
bool ReadPngPixels(png_structp png, png_infop info, png_bytepp rows, png_uint_32 width) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4) {
        return false;
    }
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

} // namespace

Readout ReadPngPicture(PictureBytes bytes, const std::string& name,
                       const SourceReadOptions& options) {
    PngDecoder decoder;
    decoder.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorExit, IgnoreWarning);
    if (decoder.png != nullptr) {
        decoder.info = png_create_info_struct(decoder.png);
    }
    if (decoder.info == nullptr) {
        return NoMemory();
    }
    MemorySource source{bytes.data(), bytes.size(), 0, false};
    PngHeader header{};
    if (!ReadPngHeader(decoder.png, decoder.info, &source, &header)) {
        return NotValidPicture(name, PictureFormat::Png);
    }
    AnnouncedSize size;
    if (std::optional<Readout> refused = RefuseAnnouncedSize(PictureFormat::Png, name, header.width,
                                                             header.height, bytes.size(), size)) {
        return std::move(*refused);
    }
    std::vector<std::uint8_t> rgba;
    std::vector<png_bytep> rows;
    try {
        rgba.resize(4 * size.pixels);
        rows.resize(static_cast<std::size_t>(size.height));
    } catch (const std::bad_alloc&) {
        return NoMemory();
    }
    for (std::size_t y = 0; y < rows.size(); ++y) {
        rows[y] = rgba.data() + 4 * static_cast<std::size_t>(size.width) * y;
    }
    if (!ReadPngPixels(decoder.png, decoder.info, rows.data(), header.width)) {
        if (source.ranOut) {
            return TruncatedPicture(name, size.width, size.height);
        }
        return NotValidPicture(name, PictureFormat::Png);
    }
    Readout result;
    AppendRgbaFrame(result, rgba.data(), size, -1, options, name);
    return result;
}
