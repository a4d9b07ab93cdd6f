// ReadWholeFile: a file's every byte in memory. It is the one way the engine reads a
// file that it parses (profiles, palettes, pictures): every parser works on bytes, the
// same in the programs and on the web page, where files arrive as bytes.
#pragma once

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

enum class WholeFileResult {
    Read,
    IsFolder,   // some systems open a folder as if it were an empty file
    CannotOpen, // missing, unreadable, or a read failed
    TooLarge,   // more bytes than a vector holds
    OutOfMemory,
};

// Reads the file to its end, whatever length it announced when opened; `bytes` holds the
// file after Read, and is left empty otherwise. `error`, when given, receives the system's
// error behind CannotOpen (none for the other results).
WholeFileResult ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                              std::error_code* error = nullptr);
