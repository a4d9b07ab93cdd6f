// The C header that carries a Zentra file into firmware: its bytes as a const uint8_t
// array (in program memory on AVR), its length, and a comment that lists the records.
// Written by ztr export and by the web page's header download; the comment's record lines
// come from the caller, as ztr list words them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// True when the text can stand as a C identifier.
bool IsIdentifier(const std::string& text);

// The array name for a file: its base name without the extension, every other character
// than a letter, digit or underscore made an underscore; "ztr_" in front when it would
// not start as an identifier does.
std::string NameFromPath(const std::string& path);

// For projects that must not define data in headers, a pair: the header declares the
// array (extern, C linkage) with its size macro and the records' comment; the source,
// which includes the header by its base name, defines it.
std::string DeclarationHeaderText(const std::string& fileName, const std::string& name,
                                  std::size_t count, const std::vector<std::string>& recordLines);
std::string SourceText(const std::string& headerPath, const std::string& name,
                       const std::vector<std::uint8_t>& bytes);

// The header text for the file `fileName` holding `bytes`, whose records are listed by
// `recordLines` (one line each), with the array called `name` (a C identifier).
std::string HeaderText(const std::string& fileName, const std::string& name,
                       const std::vector<std::uint8_t>& bytes,
                       const std::vector<std::string>& recordLines);

// avr-gcc refuses arrays of more than 32767 bytes ("size of array is too large"): a file
// larger than that needs the split form on AVR.
inline constexpr std::size_t AVR_ARRAY_LIMIT = 32767;

// The split form of the header and of the pair: the bytes in arrays NAME_0, NAME_1, ...
// of at most AVR_ARRAY_LIMIT bytes each, NAME_PARTS and NAME_PART_SIZE, and NAME_read, a
// read callback over the parts for the device library's callback source
// (ZTR_CALLBACK_SOURCE(NAME_read, 0, NAME_SIZE)), which copies from program memory on AVR.
std::string SplitHeaderText(const std::string& fileName, const std::string& name,
                            const std::vector<std::uint8_t>& bytes,
                            const std::vector<std::string>& recordLines);
std::string SplitDeclarationHeaderText(const std::string& fileName, const std::string& name,
                                       std::size_t count,
                                       const std::vector<std::string>& recordLines);
std::string SplitSourceText(const std::string& headerPath, const std::string& name,
                            const std::vector<std::uint8_t>& bytes);
