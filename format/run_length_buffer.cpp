// The run-length coder's buffer: starts at 16 bytes, doubles as the coded data grows,
// and is written and freed once per record. Running out of memory is remembered and
// reported by the caller; the coder itself never ends the program.
#include "run_length_buffer.h"

#include <climits>
#include <cstring>
#include <new>

std::uint8_t* AllocateCoderBytes(std::size_t bytes) {
    return new (std::nothrow) std::uint8_t[bytes];
}

// From here on the record's bytes go nowhere: the spare block takes them, the length
// starts over whenever it fills, and the run restarts so that no count is taken back
// from before the block's start.
void RunLengthBuffer::Discard() {
    owned_.reset();
    outOfMemory_ = true;
    bytes = spare_;
    capacity = static_cast<int>(sizeof spare_);
    length = 0;
    run = 0;
}

void GrowPixelBuffer(RunLengthBuffer& buffer) {
    if (buffer.outOfMemory_ || buffer.capacity > INT_MAX / 2) {
        buffer.Discard();
        return;
    }
    const int capacity = buffer.capacity * 2;
    std::unique_ptr<std::uint8_t[]> data(buffer.allocate_(static_cast<std::size_t>(capacity)));
    if (!data) {
        buffer.Discard();
        return;
    }
    std::memcpy(data.get(), buffer.bytes, static_cast<std::size_t>(buffer.length));
    buffer.owned_ = std::move(data);
    buffer.bytes = buffer.owned_.get();
    buffer.capacity = capacity;
}

void BeginPixelData(RunLengthBuffer& buffer) {
    buffer.outOfMemory_ = false;
    buffer.owned_.reset(buffer.allocate_(16));
    if (!buffer.owned_) {
        buffer.Discard();
    } else {
        buffer.bytes = buffer.owned_.get();
        buffer.capacity = 16;
    }
    buffer.length = 0;
    buffer.previous = 0;
    buffer.run = 0;
}

bool EndPixelData(RunLengthBuffer& buffer, std::FILE* file) {
    bool written = !buffer.outOfMemory_;
    if (written && buffer.bytes != nullptr && file != nullptr && buffer.length > 0) {
        const auto length = static_cast<std::size_t>(buffer.length);
        written = std::fwrite(buffer.bytes, 1, length, file) == length;
    }
    buffer.owned_.reset();
    buffer.bytes = nullptr;
    buffer.capacity = 0;
    buffer.length = 0;
    return written;
}
