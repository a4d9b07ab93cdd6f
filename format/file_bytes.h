// ReadWholeFile: a file's every byte in memory. It is the one way the engine reads a
// file that it parses (profiles, palettes, pictures): every parser works on bytes, the
// same in the programs and on the web page, where files arrive as bytes.
#pragma once

#include "outcome.h"

#include <cstdint>
#include <string>
#include <vector>

// Reads the file to its end, whatever length it announced when opened; `bytes` holds the
// file after Done, and is left empty otherwise. Fails with IsFolder (some systems open a
// folder as if it were an empty file), CannotOpenForReading (missing, unreadable, or a read
// failed; with the system's reason), FileTooLarge (more bytes than a vector holds) or
// OutOfMemory.
Outcome ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes);
