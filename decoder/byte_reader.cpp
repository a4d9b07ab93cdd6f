// ByteReader: block-buffered reading and seeking on a raw file.
#include "byte_reader.h"

#include <cstring>
#include <limits>

namespace {

bool SeekFile(std::FILE* file, std::uint64_t offset) {
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        return false;
    }
#ifdef _WIN32
    return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
        return false;
    }
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

} // namespace

// The file has no buffer of the C library's own: this class buffers, so each refill is
// one system call straight into the block.
bool ByteReader::Open(const std::string& path) {
    file_.reset(std::fopen(path.c_str(), "rb"));
    if (file_) {
        std::setvbuf(file_.get(), nullptr, _IONBF, 0);
    }
    if (!buffer_) {
        buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(BLOCK_SIZE);
    }
    bufferStart_ = 0;
    next_ = 0;
    filled_ = 0;
    return file_ != nullptr;
}

bool ByteReader::Refill() {
    if (!file_) {
        return false;
    }
    bufferStart_ += filled_;
    next_ = 0;
    filled_ = std::fread(buffer_.get(), 1, BLOCK_SIZE, file_.get());
    return filled_ > 0;
}

std::size_t ByteReader::Read(std::uint8_t* target, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        if (next_ == filled_ && !Refill()) {
            break;
        }
        std::size_t piece = filled_ - next_;
        if (piece > count - done) {
            piece = count - done;
        }
        std::memcpy(target + done, buffer_.get() + next_, piece);
        next_ += piece;
        done += piece;
    }
    return done;
}

bool ByteReader::SeekTo(std::uint64_t offset) {
    if (!file_) {
        return false;
    }
    if (offset >= bufferStart_ && offset <= bufferStart_ + filled_) {
        next_ = static_cast<std::size_t>(offset - bufferStart_);
        return true;
    }
    if (!SeekFile(file_.get(), offset)) {
        return false;
    }
    bufferStart_ = offset;
    next_ = 0;
    filled_ = 0;
    return true;
}
