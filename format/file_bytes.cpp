// Reading a whole file in pieces, so that a file whose length changes, or cannot be found
// beforehand, is read to its true end.
#include "file_bytes.h"

#include "system_reason.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <stdexcept>
#include <system_error>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

Outcome ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    const auto result = [&path](OutcomeCode code) { return Outcome{.code = code, .file = path}; };
    const auto failed = [&path]() {
        return Outcome{
            .code = OutcomeCode::CannotOpenForReading, .file = path, .reason = LastSystemError()};
    };
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return result(OutcomeCode::IsFolder);
    }
    ResetSystemError();
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return failed();
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    try {
        if (!error && size > bytes.max_size()) {
            return result(OutcomeCode::FileTooLarge);
        }
        // The announced size and one byte more, so that the end shows at once; a file that
        // grew is read on into a larger block.
        bytes.resize(error ? std::size_t{64 * 1024} : static_cast<std::size_t>(size) + 1);
        ResetSystemError();
        std::size_t used = 0;
        while (true) {
            if (used == bytes.size()) {
                bytes.resize(bytes.size() + bytes.size() / 2 + 1);
            }
            const std::size_t got =
                std::fread(bytes.data() + used, 1, bytes.size() - used, file.get());
            if (got == 0) {
                break;
            }
            used += got;
        }
        bytes.resize(used);
    } catch (const std::bad_alloc&) {
        bytes.clear();
        return Outcome{OutcomeCode::OutOfMemory};
    } catch (const std::length_error&) {
        bytes.clear();
        return result(OutcomeCode::FileTooLarge);
    }
    if (std::ferror(file.get()) != 0) {
        bytes.clear();
        return failed();
    }
    return {};
}
