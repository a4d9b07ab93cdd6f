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

bool ByteReader::Open(const std::string& path) {
    file_.reset(std::fopen(path.c_str(), "rb"));
    buffer_.assign(BLOCK_SIZE, 0);
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
    filled_ = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
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
        std::memcpy(target + done, buffer_.data() + next_, piece);
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
