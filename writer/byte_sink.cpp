// The two byte sinks of the writer: a file through OutputFile's write-then-rename, and a
// growing block of memory.
#include "byte_sink.h"

#include "system_reason.h"

#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

bool FileSink::Write(const std::uint8_t* bytes, std::size_t count) {
    std::FILE* file = output_.File();
    // An empty write (the pixel data of an empty delta record) may come with no block at
    // all, which fwrite must not be handed.
    if (file == nullptr || count == 0) {
        return file != nullptr;
    }
    ResetSystemError();
    if (std::fwrite(bytes, 1, count, file) != count) {
        output_.NoteWriteError();
        return false;
    }
    return true;
}

std::optional<std::uint64_t> FileSink::Size() {
    std::FILE* file = output_.File();
    const long at = file != nullptr ? std::ftell(file) : -1;
    if (at < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(at);
}

bool FileSink::Overwrite(std::uint64_t offset, const std::uint8_t* bytes, std::size_t count) {
    std::FILE* file = output_.File();
    if (file == nullptr || offset > static_cast<std::uint64_t>(std::numeric_limits<long>::max())) {
        return false;
    }
    ResetSystemError();
    if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0 || !Write(bytes, count) ||
        std::fseek(file, 0, SEEK_END) != 0) {
        output_.NoteWriteError();
        return false;
    }
    return true;
}

bool MemorySink::Open() {
    bytes_.clear();
    committed_ = false;
    return true;
}

bool MemorySink::Write(const std::uint8_t* bytes, std::size_t count) {
    try {
        bytes_.insert(bytes_.end(), bytes, bytes + count);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

bool MemorySink::Overwrite(std::uint64_t offset, const std::uint8_t* bytes, std::size_t count) {
    if (offset > bytes_.size() || count > bytes_.size() - offset) {
        return false;
    }
    if (count > 0) {
        std::memcpy(bytes_.data() + offset, bytes, count);
    }
    return true;
}

bool MemorySink::Commit() {
    committed_ = true;
    return true;
}

std::vector<std::uint8_t> MemorySink::Take() {
    if (!committed_) {
        return {};
    }
    committed_ = false;
    return std::move(bytes_);
}

bool WritePixelData(RunLengthBuffer& coded, ByteSink& sink) {
    bool written = !coded.OutOfMemory();
    if (written && coded.Data() != nullptr && coded.Length() > 0) {
        written = sink.Write(coded.Data(), static_cast<std::size_t>(coded.Length()));
    }
    return EndPixelData(coded, nullptr) && written;
}
