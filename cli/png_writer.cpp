// PNG output through libpng, when the build found it. libpng reports errors by a long
// jump back into WritePng, so every object that lives across the jump is plain data
// owned outside the guarded region.
#include "png_writer.h"

#include <vector>

#ifdef ZENTRA_HAVE_PNG

#include <png.h>

namespace {

// Owns the libpng write and info structures.
struct PngWrite {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngWrite() {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        if (png != nullptr) {
            info = png_create_info_struct(png);
        }
    }
    ~PngWrite() { png_destroy_write_struct(&png, info != nullptr ? &info : nullptr); }
    PngWrite(const PngWrite&) = delete;
    PngWrite& operator=(const PngWrite&) = delete;
};

// The libpng calls themselves, kept free of objects with destructors because of the
// long jump.
bool WriteRows(PngWrite& write, std::FILE* file, std::uint32_t width, std::uint32_t height,
               const RgbRowSource& rowSource, std::uint8_t* row) {
    if (setjmp(png_jmpbuf(write.png)) != 0) {
        return false;
    }
    png_init_io(write.png, file);
    png_set_IHDR(write.png, write.info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(write.png, write.info);
    for (std::uint32_t y = 0; y < height; ++y) {
        rowSource(y, row);
        png_write_row(write.png, row);
    }
    png_write_end(write.png, nullptr);
    return true;
}

} // namespace

bool PngAvailable() {
    return true;
}

bool WritePng(std::FILE* file, std::uint32_t width, std::uint32_t height,
              const RgbRowSource& rowSource) {
    PngWrite write;
    if (write.png == nullptr || write.info == nullptr) {
        return false;
    }
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
    return WriteRows(write, file, width, height, rowSource, row.data());
}

#else

bool PngAvailable() {
    return false;
}

bool WritePng(std::FILE*, std::uint32_t, std::uint32_t, const RgbRowSource&) {
    return false;
}

#endif
