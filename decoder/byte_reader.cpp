// ByteReader: block-buffered reading and seeking on a raw file, or the same window
// moved over a block of memory.
#include "byte_reader.h"

#include <cstring>
#include <filesystem>
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

void ByteReader::Reset() {
    file_.reset();
    path_.clear();
    memory_ = {};
    inMemory_ = false;
    size_.reset();
    window_ = block_.get();
    windowStart_ = 0;
    next_ = 0;
    filled_ = 0;
}

// The file has no buffer of the C library's own: this class buffers, so each refill is
// one system call straight into the block.
bool ByteReader::Open(const std::string& path) {
    if (!block_) {
        // Left uninitialised; spelled out for standard libraries without
        // make_unique_for_overwrite (emscripten's).
        block_ = std::unique_ptr<std::uint8_t[]>(new std::uint8_t[BLOCK_SIZE]);
    }
    Reset();
    file_.reset(std::fopen(path.c_str(), "rb"));
    if (!file_) {
        return false;
    }
    std::setvbuf(file_.get(), nullptr, _IONBF, 0);
    path_ = path;
    return true;
}

bool ByteReader::OpenMemory(std::span<const std::uint8_t> bytes) {
    Reset();
    inMemory_ = true;
    memory_ = bytes;
    size_ = bytes.size();
    window_ = bytes.data();
    filled_ = bytes.size();
    return true;
}

bool ByteReader::Open(const ByteSource& source) {
    return source.inMemory ? OpenMemory(source.bytes) : Open(source.path);
}

std::optional<std::uint64_t> ByteReader::Size() {
    if (!size_ && file_) {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(path_, error);
        if (!error) {
            size_ = size;
        }
    }
    return size_;
}

// Memory has nothing beyond its one window: the window only moves to the end.
bool ByteReader::Refill() {
    windowStart_ += filled_;
    next_ = 0;
    filled_ = 0;
    if (inMemory_) {
        window_ = memory_.data() + memory_.size();
        return false;
    }
    if (!file_) {
        return false;
    }
    filled_ = std::fread(block_.get(), 1, BLOCK_SIZE, file_.get());
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
        std::memcpy(target + done, window_ + next_, piece);
        next_ += piece;
        done += piece;
    }
    return done;
}

bool ByteReader::SeekOutsideWindow(std::uint64_t offset) {
    if (inMemory_) {
        const bool inside = offset <= memory_.size();
        window_ = memory_.data() + (inside ? 0 : memory_.size());
        windowStart_ = inside ? 0 : offset;
        filled_ = inside ? memory_.size() : 0;
        next_ = inside ? static_cast<std::size_t>(offset) : 0;
        return true;
    }
    if (!file_ || !SeekFile(file_.get(), offset)) {
        return false;
    }
    windowStart_ = offset;
    next_ = 0;
    filled_ = 0;
    return true;
}
