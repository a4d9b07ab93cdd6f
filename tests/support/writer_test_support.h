// Shared helpers of the writer's tests: a scratch folder, whole-file reading and
// writing, a recording message sink and a reference run-length decoder.
#pragma once

#include "message_recorder.h"
#include "scratch_name.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

namespace writer_test {

using Bytes = std::vector<std::uint8_t>;

// A fresh, empty folder under the system's temporary folder, removed with its contents
// (also after a test took away its write permission).
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& name) {
        path_ = std::filesystem::temp_directory_path() / ScratchName("zentra_writer_" + name);
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

    // The names of the folder's entries, sorted.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    std::filesystem::path path_;
};

inline Bytes ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline void WriteWholeFile(const std::string& path, const std::string& text) {
    WriteWholeFile(path, Bytes(text.begin(), text.end()));
}

using ::MessageRecorder;

// A run-length coder allocator that gives out blocks up to a size and fails above it.
template <std::size_t Limit> std::uint8_t* AllocateUpTo(std::size_t bytes) {
    return bytes <= Limit ? new (std::nothrow) std::uint8_t[bytes] : nullptr;
}

// The readers' rule: a byte equal to the previous literal is a repeat followed by a
// count of further copies; the byte after a count is always a literal.
inline Bytes DecodeRunLength(const Bytes& coded) {
    Bytes out;
    bool havePrevious = true;
    std::uint8_t previous = 0;
    for (std::size_t i = 0; i < coded.size(); ++i) {
        const std::uint8_t b = coded[i];
        out.push_back(b);
        if (havePrevious && b == previous && i + 1 < coded.size()) {
            out.insert(out.end(), coded[++i], b);
            havePrevious = false;
        } else {
            previous = b;
            havePrevious = true;
        }
    }
    return out;
}

} // namespace writer_test
