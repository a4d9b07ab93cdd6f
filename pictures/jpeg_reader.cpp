// ReadJpegPicture: JPEG pictures through libjpeg (libjpeg-turbo), from memory: grey,
// YCbCr or RGB, and CMYK or YCCK (as Adobe writes them, inverted), baseline or progressive.
// libjpeg reports errors through error_exit, which jumps back to the step that called it;
// those steps hold no C++ object across the jump. Warnings about damaged data are dropped
// and the decoder's own repair kept, but a file whose data end early is refused: libjpeg
// would fill the rest of the picture with grey and only warn.
#include "picture_readers.h"
#include "read_failure.h"
#include "rgba_frames.h"

#include <climits>
#include <csetjmp>
#include <cstdio>
#include <new>
#include <vector>

#include <jpeglib.h>
// After jpeglib.h, which it needs: the message codes.
#include <jerror.h>

namespace {

// More scans than any encoder writes: a damaged or hostile progressive file could make the
// decoder pass over its coefficients once for each.
constexpr int MOST_SCANS = 500;

// The most memory the decoder's whole-picture buffers (progressive coefficients) may take.
constexpr long MOST_BUFFER_BYTES = 1L << 30;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    bool ranOut; // the data ended before the end-of-image marker
};

void ErrorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Drops every message, but notes the warning that the data ran out (libjpeg then goes
// on as if the picture ended there).
void NoteMessage(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) {
        reinterpret_cast<ErrorManager*>(info->err)->ranOut = true;
    }
}

void DropOutput(j_common_ptr) {}

void LimitScans(j_common_ptr info) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > MOST_SCANS) {
        info->err->error_exit(info);
    }
}

// The decompressor, destroyed whichever way the reading ends (destroying a zeroed one
// that was never created does nothing).
struct JpegDecoder {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    jpeg_progress_mgr progress{};
    ~JpegDecoder() { jpeg_destroy_decompress(&info); }
};

// Creates the decompressor over the bytes and reads the headers up to the first scan;
// false when libjpeg refuses them.
bool ReadJpegHeader(JpegDecoder* decoder, const std::uint8_t* data, unsigned long size) {
    if (setjmp(decoder->errors.jump)) {
        return false;
    }
    jpeg_create_decompress(&decoder->info);
    decoder->info.mem->max_memory_to_use = MOST_BUFFER_BYTES;
    decoder->progress.progress_monitor = LimitScans;
    decoder->info.progress = &decoder->progress;
    jpeg_mem_src(&decoder->info, data, size);
    return jpeg_read_header(&decoder->info, TRUE) == JPEG_HEADER_OK;
}

// 8-bit c * k / 255, rounded, for inverted CMYK: the red, green or blue of ink c under k.
std::uint8_t InkTimesBlack(std::uint8_t c, std::uint8_t k) {
    const unsigned t = static_cast<unsigned>(c) * k + 128;
    return static_cast<std::uint8_t>((t + (t >> 8)) >> 8);
}

// One decoded row (grey, RGB or CMYK samples) as red, green, blue, alpha.
void RowToRgba(const JSAMPLE* row, int components, std::size_t width, std::uint8_t* rgba) {
    for (std::size_t x = 0; x < width; ++x, rgba += 4) {
        const JSAMPLE* sample = row + x * static_cast<std::size_t>(components);
        if (components == 1) {
            rgba[0] = rgba[1] = rgba[2] = sample[0];
        } else if (components == 3) {
            rgba[0] = sample[0];
            rgba[1] = sample[1];
            rgba[2] = sample[2];
        } else {
            rgba[0] = InkTimesBlack(sample[0], sample[3]);
            rgba[1] = InkTimesBlack(sample[1], sample[3]);
            rgba[2] = InkTimesBlack(sample[2], sample[3]);
        }
        rgba[3] = 255;
    }
}

// Decodes every row into the frame; false when the data are damaged beyond libjpeg's
// repair. `samples` holds one row of output samples, `rgba` one row of colours.
bool ReadJpegRows(JpegDecoder* decoder, JSAMPLE* samples, std::uint8_t* rgba, SourceImage* frame,
                  std::uint8_t background) {
    if (setjmp(decoder->errors.jump)) {
        return false;
    }
    jpeg_decompress_struct& info = decoder->info;
    jpeg_start_decompress(&info);
    if (info.output_width != static_cast<JDIMENSION>(frame->width) ||
        info.output_height != static_cast<JDIMENSION>(frame->height)) {
        return false;
    }
    while (info.output_scanline < info.output_height) {
        const JDIMENSION y = info.output_scanline;
        JSAMPROW rows[1] = {samples};
        if (jpeg_read_scanlines(&info, rows, 1) != 1) {
            return false;
        }
        RowToRgba(samples, info.output_components, info.output_width, rgba);
        PutRgbaRow(*frame, y, rgba, background);
    }
    return true;
}

} // namespace

Readout ReadJpegPicture(PictureBytes bytes, const std::string& name,
                        const SourceReadOptions& options) {
    if (bytes.size() > ULONG_MAX) {
        return NotValidPicture(name, PictureFormat::Jpeg);
    }
    JpegDecoder decoder;
    decoder.info.err = jpeg_std_error(&decoder.errors.base);
    decoder.errors.base.error_exit = ErrorExit;
    decoder.errors.base.emit_message = NoteMessage;
    decoder.errors.base.output_message = DropOutput;
    if (!ReadJpegHeader(&decoder, bytes.data(), static_cast<unsigned long>(bytes.size()))) {
        return NotValidPicture(name, PictureFormat::Jpeg);
    }
    jpeg_decompress_struct& info = decoder.info;
    switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE:
        info.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_YCbCr:
    case JCS_RGB:
        info.out_color_space = JCS_RGB;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        info.out_color_space = JCS_CMYK;
        break;
    default:
        return NotValidPicture(name, PictureFormat::Jpeg);
    }
    AnnouncedSize size;
    if (std::optional<Readout> refused = RefuseAnnouncedSize(
            PictureFormat::Jpeg, name, info.image_width, info.image_height, bytes.size(), size)) {
        return std::move(*refused);
    }
    Readout result;
    std::vector<JSAMPLE> samples;
    std::vector<std::uint8_t> rgba;
    try {
        samples.resize(4 * static_cast<std::size_t>(size.width));
        rgba.resize(4 * static_cast<std::size_t>(size.width));
    } catch (const std::bad_alloc&) {
        return NoMemory();
    }
    if (!AppendEmptyFrame(result, size, -1, options, name)) {
        return result;
    }
    if (!ReadJpegRows(&decoder, samples.data(), rgba.data(), &result.frames.back(),
                      options.background)) {
        return NotValidPicture(name, PictureFormat::Jpeg);
    }
    if (decoder.errors.ranOut) {
        return TruncatedPicture(name, size.width, size.height);
    }
    return result;
}
