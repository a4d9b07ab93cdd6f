// ByteSource: where the decoder takes a Zentra file's bytes from, a file on disk (the
// viewer's and ztr's way in) or a block of memory that the caller keeps alive (tests,
// fuzz targets, and callers that hold a file already).
#pragma once

#include <cstdint>
#include <span>
#include <string>

struct ByteSource {
    bool inMemory = false;
    std::string path;                    // the file to read, when not in memory
    std::span<const std::uint8_t> bytes; // the bytes to read, when in memory
};

inline ByteSource FileSource(std::string path) {
    return ByteSource{false, std::move(path), {}};
}

inline ByteSource MemorySource(std::span<const std::uint8_t> bytes) {
    return ByteSource{true, {}, bytes};
}
