// ReadFileBytes: a picture file's every byte in memory, for the readers, which all work
// on bytes, with the message that names the file when it cannot be read.
#include "file_bytes.h"
#include "picture_readers.h"
#include "system_reason.h"

std::string ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes) {
    std::error_code error;
    switch (ReadWholeFile(path, bytes, &error)) {
    case WholeFileResult::Read:
        return {};
    case WholeFileResult::IsFolder:
        return ReadFailure("ERROR: '%s' is a folder, not a picture file\n", path.c_str()).failure;
    case WholeFileResult::TooLarge:
        return ReadFailure("ERROR: file '%s' is too large\n", path.c_str()).failure;
    case WholeFileResult::OutOfMemory:
        return "ERROR: insufficient memory\n";
    case WholeFileResult::CannotOpen:
        break;
    }
    return ReadFailure("ERROR: failed to open file '%s' for reading\n", path.c_str()).failure +
           ReasonLine(error);
}
