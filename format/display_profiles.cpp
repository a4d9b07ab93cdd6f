// Display profiles: reads "displays.prf" into the caller's list, one entry per
// valid line in file order. A line is "NAME LAYOUT ; DEPTH DESCRIPTION" or
// "NAME LAYOUT DESCRIPTION"; numbers are written like C integer literals.
#include "display_profiles.h"

#include "input_file.h"
#include "parse_integer.h"

#include <cstdint>

namespace {

// The white space that scanning passes over between items.
bool IsScanSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// A cursor over one line with the few scanning steps the two line forms need.
struct LineScanner {
    std::string_view text;
    std::size_t at = 0;

    void SkipSpace() {
        while (at < text.size() && IsScanSpace(text[at])) {
            ++at;
        }
    }

    // A run of non-white characters, cut to maxChars; the cursor passes the whole run.
    bool Word(std::string& word, std::size_t maxChars) {
        SkipSpace();
        const std::size_t start = at;
        while (at < text.size() && !IsScanSpace(text[at])) {
            ++at;
        }
        if (at == start) {
            return false;
        }
        word.assign(text.substr(start, std::min(at - start, maxChars)));
        return true;
    }

    // A number by the tools' one integer rule, in C style; the value wraps modulo 2^32,
    // of which the callers keep 16 or 8 bits.
    bool Integer(std::uint32_t& value) {
        SkipSpace();
        const ScannedInteger number = ScanInteger(text.substr(at), IntegerStyle::C);
        if (number.length == 0) {
            return false;
        }
        value = number.Low32();
        at += number.length;
        return true;
    }

    bool Literal(char c) {
        SkipSpace();
        if (at < text.size() && text[at] == c) {
            ++at;
            return true;
        }
        return false;
    }

    // The rest of the line from its first non-white character; fails when nothing is left.
    bool Rest(std::string& rest) {
        SkipSpace();
        if (at >= text.size()) {
            return false;
        }
        rest.assign(text.substr(at));
        at = text.size();
        return true;
    }
};

// Reads the next piece of a line: at most PROFILE_LINE_MAX characters, the line feed
// counted among them but not returned. A carriage return before a line feed is dropped,
// so "\r\n" files read alike everywhere. False at the end of the file.
bool ReadProfilePiece(InputFile& file, std::string& piece) {
    piece.clear();
    std::size_t taken = 0;
    bool any = false;
    while (taken < PROFILE_LINE_MAX) {
        int c = file.GetByte();
        if (c < 0) {
            break;
        }
        any = true;
        if (c == '\r' && file.PeekByte() == '\n') {
            c = file.GetByte();
        }
        ++taken;
        if (c == '\n') {
            break;
        }
        piece.push_back(static_cast<char>(c));
    }
    return any;
}

} // namespace

std::optional<DisplayProfile> ParseProfileLine(std::string_view line) {
    std::size_t start = 0;
    while (start < line.size() && static_cast<unsigned char>(line[start]) >= 1 &&
           static_cast<unsigned char>(line[start]) <= 32) {
        ++start;
    }
    line = line.substr(start);
    if (line.empty() || line[0] == '#') {
        return std::nullopt;
    }

    DisplayProfile profile;
    std::uint32_t layout = 0;
    std::uint32_t depth = 1;

    // First form: name, lay-out code, ";", depth, description.
    LineScanner first{line};
    if (first.Word(profile.name, PROFILE_NAME_MAX) && first.Integer(layout) && first.Literal(';') &&
        first.Integer(depth)) {
        first.Rest(profile.description);
    } else {
        // Second form: name, lay-out code, description; the depth is then 1.
        depth = 1;
        profile.description.clear();
        LineScanner second{line};
        if (!second.Word(profile.name, PROFILE_NAME_MAX) || !second.Integer(layout)) {
            return std::nullopt;
        }
        second.Rest(profile.description);
    }
    profile.layout = static_cast<std::uint16_t>(layout);
    profile.depth = static_cast<std::uint8_t>(depth);
    return profile;
}

int LoadDisplayProfiles(const std::string& path, DisplayProfileList& profiles) {
    InputFile file;
    if (!file.Open(path)) {
        return 0;
    }
    std::string piece;
    piece.reserve(PROFILE_LINE_MAX);
    while (ReadProfilePiece(file, piece)) {
        // Like a C string, a line's text ends at a NUL.
        const std::string_view text = std::string_view(piece).substr(0, piece.find('\0'));
        std::optional<DisplayProfile> profile = ParseProfileLine(text);
        if (profile) {
            profiles.push_back(std::move(*profile));
        }
    }
    return 1;
}

void FreeDisplayProfiles(DisplayProfileList& profiles) {
    profiles.clear();
}

const std::string& ProfileText(const DisplayProfile& profile) {
    return profile.description.empty() ? profile.name : profile.description;
}
