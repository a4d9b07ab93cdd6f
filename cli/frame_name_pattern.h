// FrameNamePattern: the printf-style output name of ztr render's record ranges, such as
// "frame%03d.png", read and checked once and then filled in with each record's index.
#pragma once

#include <optional>
#include <string>

struct FrameNamePattern {
    std::string before; // the text before the conversion, "%%" already made "%"
    std::string after;  // the text after it, likewise
    bool leftAlign = false;
    bool plusSign = false;
    bool spaceSign = false;
    bool zeroPad = false;
    unsigned width = 0;
    char conversion = 'd'; // 'd', 'i' or 'u'
};

// The widest field a pattern may ask for: no file system takes a longer name.
inline constexpr unsigned MAX_FRAME_NAME_WIDTH = 255;

// Reads a pattern holding exactly one %d, %i or %u, with optional flags (- + space 0)
// and width, and any number of "%%". Anything else sets error (what is wrong, without
// the pattern itself) and gives nothing.
std::optional<FrameNamePattern> ParseFrameNamePattern(const std::string& text, std::string& error);

// The name for a record index (not negative), as printf would write it.
std::string FrameName(const FrameNamePattern& pattern, int index);
