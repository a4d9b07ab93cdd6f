// The run-length coder of a record's pixel data: one program-wide buffer that starts at
// 16 bytes, doubles as the coded data grows, and is written and freed once per record.
#include "run_length_buffer.h"

#include "report_message.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

RunLengthBuffer PixelBuffer;

namespace {

[[noreturn]] void OutOfMemory() {
    ReportMessage(stderr, "Out of memory!\n");
    std::exit(255);
}

} // namespace

void GrowPixelBuffer() {
    if (PixelBuffer.capacity > INT_MAX / 2) {
        OutOfMemory();
    }
    const int capacity = PixelBuffer.capacity * 2;
    std::unique_ptr<std::uint8_t[]> data(new (std::nothrow) std::uint8_t[capacity]);
    if (!data) {
        OutOfMemory();
    }
    std::memcpy(data.get(), PixelBuffer.data.get(), static_cast<std::size_t>(PixelBuffer.length));
    PixelBuffer.data = std::move(data);
    PixelBuffer.capacity = capacity;
}

void BeginPixelData() {
    if (!PixelBuffer.data) {
        PixelBuffer.data.reset(new (std::nothrow) std::uint8_t[16]);
        if (!PixelBuffer.data) {
            OutOfMemory();
        }
        PixelBuffer.capacity = 16;
    }
    PixelBuffer.length = 0;
    PixelBuffer.previous = 0;
    PixelBuffer.run = 0;
}

bool EndPixelData(std::FILE* file) {
    bool written = true;
    if (PixelBuffer.data) {
        if (file != nullptr && PixelBuffer.length > 0) {
            const auto length = static_cast<std::size_t>(PixelBuffer.length);
            written = std::fwrite(PixelBuffer.data.get(), 1, length, file) == length;
        }
        PixelBuffer.data.reset();
    }
    PixelBuffer.capacity = 0;
    PixelBuffer.length = 0;
    return written;
}
