// The buffered byte source of the source image readers and the profile loader.
// Offsets are 64-bit on every platform, so that a seek computed from a bitmap header
// can never wrap.
#include "input_file.h"

#include <algorithm>

namespace {

// Reads at least this long bypass the buffer once it is empty.
constexpr std::size_t DIRECT_READ_BYTES = 4096;
// What the first fill of the buffer reads.
constexpr std::size_t FIRST_FILL_BYTES = 4096;

int SeekTo(std::FILE* file, std::uint64_t offset) {
#ifdef _WIN32
    return _fseeki64(file, static_cast<long long>(offset), SEEK_SET);
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET);
#endif
}

std::uint64_t FileLength(std::FILE* file) {
#ifdef _WIN32
    if (_fseeki64(file, 0, SEEK_END) != 0) {
        return 0;
    }
    const long long length = _ftelli64(file);
#else
    if (fseeko(file, 0, SEEK_END) != 0) {
        return 0;
    }
    const off_t length = ftello(file);
#endif
    SeekTo(file, 0);
    return length > 0 ? static_cast<std::uint64_t>(length) : 0;
}

} // namespace

// The file is read without a buffer of the C library's own: this class buffers, so
// every read is one system call into a buffer that is used, and finding the length
// reads nothing.
bool InputFile::Open(const std::string& path) {
    file_.reset(std::fopen(path.c_str(), "rb"));
    if (!file_) {
        return false;
    }
    std::setvbuf(file_.get(), nullptr, _IONBF, 0);
    size_ = FileLength(file_.get());
    if (!buffer_) {
        // Left uninitialised; spelled out for standard libraries without
        // make_unique_for_overwrite (emscripten's).
        buffer_ = std::unique_ptr<std::uint8_t[]>(new std::uint8_t[BUFFER_BYTES]);
    }
    next_ = 0;
    end_ = 0;
    bufferStart_ = 0;
    return true;
}

bool InputFile::Refill() {
    if (!file_) {
        return false;
    }
    bufferStart_ += end_;
    next_ = 0;
    // The first fill only needs to hold a header: the pixel data behind it are then read
    // straight into their block rather than copied out of the buffer.
    const std::size_t wanted = bufferStart_ == 0 ? FIRST_FILL_BYTES : BUFFER_BYTES;
    end_ = std::fread(buffer_.get(), 1, wanted, file_.get());
    return end_ > 0;
}

bool InputFile::SeekFile(std::uint64_t offset) {
    next_ = 0;
    end_ = 0;
    if (offset > size_) {
        offset = size_;
    }
    bufferStart_ = offset;
    return SeekTo(file_.get(), offset) == 0;
}

std::size_t InputFile::Read(std::uint8_t* target, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        if (next_ == end_) {
            if (file_ && count - done >= DIRECT_READ_BYTES) {
                // Straight into target: the buffer is empty, so the file position is
                // the position of the next byte.
                bufferStart_ += end_;
                next_ = 0;
                end_ = 0;
                const std::size_t got = std::fread(target + done, 1, count - done, file_.get());
                bufferStart_ += got;
                done += got;
                break;
            }
            if (!Refill()) {
                break;
            }
        }
        const std::size_t piece = std::min(count - done, end_ - next_);
        std::copy_n(buffer_.get() + next_, piece, target + done);
        next_ += piece;
        done += piece;
    }
    return done;
}

void InputFile::Skip(std::uint64_t count) {
    const std::uint64_t buffered = end_ - next_;
    if (count <= buffered) {
        next_ += static_cast<std::size_t>(count);
        return;
    }
    const std::uint64_t position = Position();
    Seek(count > size_ - std::min(position, size_) ? size_ : position + count);
}

void InputFile::Seek(std::uint64_t offset) {
    if (!file_) {
        return;
    }
    if (offset >= bufferStart_ && offset <= bufferStart_ + end_) {
        next_ = static_cast<std::size_t>(offset - bufferStart_);
        return;
    }
    SeekFile(offset);
}

bool InputFile::ReadLinePiece(std::string& piece, std::size_t maxChars) {
    std::size_t taken = 0;
    while (taken < maxChars) {
        const int c = GetByte();
        if (c < 0) {
            break;
        }
        piece.push_back(static_cast<char>(c));
        ++taken;
        if (c == '\n') {
            break;
        }
    }
    return taken > 0;
}
