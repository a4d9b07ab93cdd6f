// ReadFileBytes: a picture file's every byte in memory, for the readers, which all work
// on bytes. The file is read to its end, whatever length it announced when opened.
#include "input_file.h"
#include "picture_readers.h"

#include <filesystem>
#include <new>
#include <system_error>

std::string ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes) {
    // Some systems open a folder as if it were an empty file; it is named as what it is.
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return ReadFailure("ERROR: '%s' is a folder, not a picture file\n", path.c_str()).failure;
    }
    const std::string cannotRead =
        ReadFailure("ERROR: failed to open file '%s' for reading\n", path.c_str()).failure;
    InputFile file;
    if (!file.Open(path)) {
        return cannotRead;
    }
    if (file.Size() > bytes.max_size()) {
        return ReadFailure("ERROR: file '%s' is too large\n", path.c_str()).failure;
    }
    try {
        bytes.resize(static_cast<std::size_t>(file.Size()));
        if (file.Read(bytes.data(), bytes.size()) != bytes.size()) {
            return cannotRead;
        }
        // A file that grew, or whose length could not be found, is read on to its end.
        std::uint8_t piece[4096];
        for (std::size_t got; (got = file.Read(piece, sizeof piece)) > 0;) {
            bytes.insert(bytes.end(), piece, piece + got);
        }
    } catch (const std::bad_alloc&) {
        return "ERROR: insufficient memory\n";
    } catch (const std::length_error&) {
        return ReadFailure("ERROR: file '%s' is too large\n", path.c_str()).failure;
    }
    return {};
}
