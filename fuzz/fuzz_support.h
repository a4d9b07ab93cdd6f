// Shared pieces of the fuzz targets: a per-process scratch file that holds the input
// (every reader takes a file name), a silent message sink, and a check that aborts with
// a readable reason so that libFuzzer records the input as a crash.
#pragma once

#include "report_message.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fuzz {

// The folder for scratch files: memory-backed where the system has one.
inline std::filesystem::path ScratchFolder() {
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error)) {
        return "/dev/shm";
    }
    return std::filesystem::temp_directory_path();
}

// A file name unique to this process and purpose, e.g. /dev/shm/zentra_fuzz_123_input.pgm.
inline std::string ScratchPath(const std::string& purpose) {
    return (ScratchFolder() /
            ("zentra_fuzz_" + std::to_string(static_cast<long>(getpid())) + "_" + purpose))
        .string();
}

inline void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) {
        std::fprintf(stderr, "fuzz: cannot write scratch file %s\n", path.c_str());
        std::abort();
    }
}

// A sink that drops every message: readers report each failure, and the fuzzer feeds
// them failures all the time.
inline MessageSink SilentSink() {
    return {[](void*, const char*) {}, nullptr};
}

// Aborts with a reason when an invariant does not hold; libFuzzer keeps the input.
inline void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz: invariant broken: %s\n", what);
        std::abort();
    }
}

// Reads bytes from the front of the fuzzer's input as structure choices; once the
// input is used up every choice is 0.
class InputStream {
  public:
    InputStream(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() { return next_ < size_ ? data_[next_++] : 0; }
    // A value from 0 to limit - 1 (limit at least 1).
    unsigned Below(unsigned limit) { return Byte() % limit; }
    std::size_t Remaining() const { return size_ - next_; }
    const std::uint8_t* Rest() const { return data_ + next_; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t next_ = 0;
};

} // namespace fuzz
