// Display profiles: reads "displays.prf" into the caller's list, one entry per
// valid line in file order. A line is "NAME LAYOUT ; DEPTH [SETTINGS] DESCRIPTION" or
// "NAME LAYOUT [SETTINGS] DESCRIPTION"; numbers are written like C integer literals.
#include "display_profiles.h"

#include "file_bytes.h"
#include "parse_integer.h"
#include "zentra_format.h"

#include <cstdint>
#include <functional>
#include <string>

namespace {

// The white space that scanning passes over between items.
bool IsScanSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// A number as the line writes it: what the integer rule read, and the characters up to
// the next blank or ";" (more than the number when something is stuck to it).
struct NumberText {
    ScannedInteger number;
    std::string_view written;
};

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
    // of which the callers keep 16 or 8 bits. `written`, when given, receives the number
    // and the characters stuck to it, for the faults a line may have.
    bool Integer(std::uint32_t& value, NumberText* written = nullptr) {
        SkipSpace();
        const ScannedInteger number = ScanInteger(text.substr(at), IntegerStyle::C);
        if (number.length == 0) {
            return false;
        }
        value = number.Low32();
        if (written != nullptr) {
            std::size_t end = at + number.length;
            while (end < text.size() && !IsScanSpace(text[end]) && text[end] != ';') {
                ++end;
            }
            *written = NumberText{number, text.substr(at, end - at)};
        }
        at += number.length;
        return true;
    }

    // The next word without taking it; empty at the end of the line.
    std::string_view PeekWord() {
        SkipSpace();
        std::size_t end = at;
        while (end < text.size() && !IsScanSpace(text[end])) {
            ++end;
        }
        return text.substr(at, end - at);
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

// A profile file's text in memory, a byte at a time.
class TextInput {
  public:
    explicit TextInput(std::string_view text) : text_(text) {}
    int GetByte() { return next_ < text_.size() ? static_cast<unsigned char>(text_[next_++]) : -1; }
    int PeekByte() const {
        return next_ < text_.size() ? static_cast<unsigned char>(text_[next_]) : -1;
    }

  private:
    std::string_view text_;
    std::size_t next_ = 0;
};

// Reads the next piece of a line: at most PROFILE_LINE_MAX characters, the line feed
// counted among them but not returned. A carriage return before a line feed is dropped,
// so "\r\n" files read alike everywhere. False at the end of the file.
template <typename Input> bool ReadProfilePiece(Input& file, std::string& piece, bool& lineEnded) {
    piece.clear();
    lineEnded = false;
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
            lineEnded = true;
            break;
        }
        piece.push_back(static_cast<char>(c));
    }
    if (any && file.PeekByte() < 0) {
        lineEnded = true; // the file's last line, without a line feed
    }
    return any;
}

using FaultSink = std::function<void(std::string)>;

// A number with characters stuck to it, or one that does not fit its field, is read as
// it always was; the fault says how.
void CheckNumber(const NumberText& text, const char* what, std::uint32_t largest,
                 const FaultSink& fault) {
    const std::string written(text.written);
    if (text.written.size() > text.number.length) {
        fault(std::string(what) + " '" + written + "' is not a number; read as " +
              std::string(text.written.substr(0, text.number.length)));
    } else if (text.number.negative || text.number.overflow || text.number.magnitude > largest) {
        fault(std::string(what) + " " + written + " does not fit in " +
              (largest == 0xFF ? "8" : "16") + " bits");
    }
}

// "WxH" with each side 1 to MAX_PICTURE_SIDE.
bool ParsePanelSize(std::string_view value, DisplayProfile& profile) {
    const std::size_t x = value.find('x');
    if (x == std::string_view::npos) {
        return false;
    }
    const auto width = ParseInteger(value.substr(0, x), IntegerStyle::Decimal, 1, MAX_PICTURE_SIDE);
    const auto height =
        ParseInteger(value.substr(x + 1), IntegerStyle::Decimal, 1, MAX_PICTURE_SIDE);
    if (!width || !height) {
        return false;
    }
    profile.panelWidth = static_cast<std::uint16_t>(*width);
    profile.panelHeight = static_cast<std::uint16_t>(*height);
    return true;
}

// A setting that cannot be read makes the profile unusable: the fault says so, and the
// profile keeps the first such fault as the reason.
void Unusable(DisplayProfile& profile, const std::string& what, const FaultSink& fault) {
    const std::string text = what + "; the profile cannot be used";
    if (profile.unusable.empty()) {
        profile.unusable = text;
    }
    fault(text);
}

void ReadPalette(std::string_view value, DisplayProfile& profile, const FaultSink& fault) {
    std::optional<Palette> palette = BuiltInPalette(value);
    if (!palette) {
        palette = ParseColourList(value);
    }
    if (!palette) {
        Unusable(profile,
                 "palette '" + std::string(value) + "' is neither a built-in palette (" +
                     BuiltInPaletteNames() + ") nor #RRGGBB colours",
                 fault);
        return;
    }
    if (profile.depth > 8) {
        Unusable(profile, "a palette needs a depth of 8 or less", fault);
        return;
    }
    const std::size_t most = std::size_t{1} << profile.depth;
    if (palette->size() > most) {
        Unusable(profile,
                 "palette '" + std::string(value) + "' has " + std::to_string(palette->size()) +
                     " colours, more than depth " + std::to_string(profile.depth) + " holds (" +
                     std::to_string(most) + ")",
                 fault);
        return;
    }
    profile.palette = std::move(*palette);
}

void ReadShows(std::string_view value, DisplayProfile& profile, const FaultSink& fault) {
    std::optional<Palette> shows = ParseColourList(value);
    if (!shows) {
        Unusable(profile, "shows '" + std::string(value) + "' is not #RRGGBB colours", fault);
        return;
    }
    profile.shows = std::move(*shows);
}

// Measured colours belong to the palette's entries, one each.
void CheckShows(DisplayProfile& profile, const FaultSink& fault) {
    if (profile.shows.empty() || profile.shows.size() == profile.palette.size()) {
        return;
    }
    if (profile.unusable.empty()) {
        Unusable(profile,
                 "shows= gives " + std::to_string(profile.shows.size()) +
                     " colours for a palette of " + std::to_string(profile.palette.size()),
                 fault);
    }
    profile.shows.clear();
}

// The settings words after the depth: taken while the next word is "key=value" with a key
// of lower-case letters, digits, "_" and "-"; an unknown key is taken and ignored, so that
// a newer file's settings do not turn into description.
void ReadSettings(LineScanner& scanner, DisplayProfile& profile, const FaultSink& fault) {
    while (true) {
        const std::string_view word = scanner.PeekWord();
        const std::size_t equals = word.find('=');
        if (equals == std::string_view::npos || equals == 0 ||
            word.substr(0, equals).find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_-") !=
                std::string_view::npos) {
            return;
        }
        const std::string_view key = word.substr(0, equals);
        const std::string_view value = word.substr(equals + 1);
        if (key == "size") {
            if (!ParsePanelSize(value, profile)) {
                Unusable(profile,
                         "size '" + std::string(value) +
                             "' is not WIDTHxHEIGHT with sides of 1 to " +
                             std::to_string(MAX_PICTURE_SIDE),
                         fault);
            }
        } else if (key == "palette") {
            ReadPalette(value, profile, fault);
        } else if (key == "shows") {
            ReadShows(value, profile, fault);
        } else if (key == "background" && (value == "white" || value == "black")) {
            profile.background = static_cast<std::uint8_t>(value == "white" ? 255 : 0);
        } else if (key == "background") {
            Unusable(profile, "background '" + std::string(value) + "' is neither white nor black",
                     fault);
        } else {
            fault("unknown setting '" + std::string(word) + "'; ignored");
        }
        if (!profile.settings.empty()) {
            profile.settings += ' ';
        }
        profile.settings += word;
        std::string taken;
        scanner.Word(taken, word.size());
    }
}

} // namespace

std::optional<DisplayProfile> ParseProfileLine(std::string_view line,
                                               std::vector<std::string>* faults) {
    std::size_t start = 0;
    while (start < line.size() && static_cast<unsigned char>(line[start]) >= 1 &&
           static_cast<unsigned char>(line[start]) <= 32) {
        ++start;
    }
    line = line.substr(start);
    if (line.empty() || line[0] == '#') {
        return std::nullopt;
    }
    const auto fault = [faults](std::string text) {
        if (faults != nullptr) {
            faults->push_back(std::move(text));
        }
    };

    DisplayProfile profile;
    std::uint32_t layout = 0;
    std::uint32_t depth = 1;
    NumberText layoutText;
    NumberText depthText;

    // First form: name, lay-out code, ";", depth, settings, description.
    LineScanner first{line};
    LineScanner second{line};
    LineScanner* rest = &first;
    bool semicolon = false;
    if (first.Word(profile.name, PROFILE_NAME_MAX) && first.Integer(layout, &layoutText) &&
        (semicolon = first.Literal(';')) && first.Integer(depth, &depthText)) {
        CheckNumber(depthText, "depth", 0xFF, fault);
        if (!IsWrittenDepth(depth & 0xFFu)) {
            fault("depth " + std::to_string(depth & 0xFFu) +
                  " is not one the tools write (1, 2, 4, 8, 16 or 24)");
        }
    } else {
        // Second form: name, lay-out code, settings, description; the depth is then 1.
        depth = 1;
        profile.name.clear();
        layoutText = {};
        rest = &second;
        if (!second.Word(profile.name, PROFILE_NAME_MAX) || !second.Integer(layout, &layoutText)) {
            fault("not a profile line (NAME LAYOUT [; DEPTH] [DESCRIPTION]); skipped");
            return std::nullopt;
        }
        if (semicolon) {
            fault("no depth after \";\"; read as depth 1 with the rest as description");
        }
    }
    CheckNumber(layoutText, "lay-out code", 0xFFFF, fault);
    profile.layout = static_cast<std::uint16_t>(layout);
    profile.depth = static_cast<std::uint8_t>(depth);
    ReadSettings(*rest, profile, fault);
    CheckShows(profile, fault);
    rest->Rest(profile.description);
    return profile;
}

namespace {

using FaultNote = std::function<void(const ProfileLineFault&)>;

// Every line of a profile file, from `file` (on disk or in memory), each fault handed to
// `note`.
template <typename Input>
void ReadProfiles(Input& file, DisplayProfileList& profiles, const FaultNote& note) {
    std::string piece;
    piece.reserve(PROFILE_LINE_MAX);
    std::vector<std::string> faults;
    unsigned lineNumber = 1;
    bool continued = false; // the piece carries on the line of the piece before
    while (true) {
        bool lineEnded = false;
        if (!ReadProfilePiece(file, piece, lineEnded)) {
            break;
        }
        // Like a C string, a line's text ends at a NUL.
        const std::string_view text = std::string_view(piece).substr(0, piece.find('\0'));
        faults.clear();
        std::optional<DisplayProfile> profile = ParseProfileLine(text, &faults);
        if (profile) {
            profile->line = lineNumber;
            profiles.push_back(std::move(*profile));
        }
        if (!lineEnded && !continued) {
            faults.push_back("longer than " + std::to_string(PROFILE_LINE_MAX) +
                             " characters; the rest of the line is read as a line of its own");
        }
        for (std::string& what : faults) {
            note({lineNumber, std::move(what)});
        }
        continued = !lineEnded;
        if (lineEnded) {
            ++lineNumber;
        }
    }
}

// Reports each fault as a warning about the file named `path`, when there is a sink.
FaultNote WarningNote(const std::string& path, const MessageSink* warnings) {
    return [&path, warnings](const ProfileLineFault& fault) {
        if (warnings != nullptr) {
            ReportMessage(*warnings, "%s", ProfileFaultWarning(path, fault).c_str());
        }
    };
}

Outcome LoadProfileFile(const std::string& path, DisplayProfileList& profiles,
                        const FaultNote& note) {
    std::vector<std::uint8_t> bytes;
    if (const Outcome read = ReadWholeFile(path, bytes); !read.Ok()) {
        return {.code = OutcomeCode::CannotOpenProfiles, .file = path, .reason = read.reason};
    }
    TextInput input(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    ReadProfiles(input, profiles, note);
    return {};
}

} // namespace

Outcome LoadDisplayProfiles(const std::string& path, DisplayProfileList& profiles,
                            const MessageSink* warnings) {
    return LoadProfileFile(path, profiles, WarningNote(path, warnings));
}

Outcome LoadDisplayProfiles(const std::string& path, DisplayProfileList& profiles,
                            std::vector<ProfileLineFault>& faults) {
    return LoadProfileFile(path, profiles,
                           [&faults](const ProfileLineFault& fault) { faults.push_back(fault); });
}

std::string ProfileFaultWarning(const std::string& path, const ProfileLineFault& fault) {
    return "WARNING: profile file '" + path + "', line " + std::to_string(fault.line) + ": " +
           fault.text + "\n";
}

void LoadDisplayProfilesFromText(std::string_view text, const std::string& name,
                                 DisplayProfileList& profiles, const MessageSink* warnings) {
    TextInput input(text);
    ReadProfiles(input, profiles, WarningNote(name, warnings));
}

void FreeDisplayProfiles(DisplayProfileList& profiles) {
    profiles.clear();
}

const std::string& ProfileText(const DisplayProfile& profile) {
    return profile.description.empty() ? profile.name : profile.description;
}
