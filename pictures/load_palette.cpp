// Reading the palettes that users name: built-in names, colour lists, GIMP palettes and
// files of "#RRGGBB" lines.
#include "load_palette.h"

#include "file_bytes.h"
#include "memory_input.h"
#include "system_reason.h"

#include <filesystem>
#include <string_view>
#include <system_error>

namespace {

// A palette file's lines are short; a longer one is refused rather than read in pieces.
constexpr std::size_t MAX_LINE_CHARS = 1023;

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// The word at the start of text (up to a blank), taken off the text.
std::string_view TakeWord(std::string_view& text) {
    text = Trimmed(text);
    const std::size_t end = std::min(text.find_first_of(" \t"), text.size());
    const std::string_view word = text.substr(0, end);
    text.remove_prefix(end);
    return word;
}

std::optional<std::uint8_t> Channel(std::string_view word) {
    if (word.empty() || word.size() > 3) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : word) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value > 255) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(value);
}

// "R G B [name]" of a GIMP palette.
std::optional<PaletteColour> GimpColour(std::string_view line) {
    const std::optional<std::uint8_t> red = Channel(TakeWord(line));
    const std::optional<std::uint8_t> green = Channel(TakeWord(line));
    const std::optional<std::uint8_t> blue = Channel(TakeWord(line));
    if (!red || !green || !blue) {
        return std::nullopt;
    }
    return PaletteColour{*red, *green, *blue};
}

// "#RRGGBB [#RRGGBB] [name]": the colour and, in the second column, how the panel shows
// it (as measured), or nothing there.
std::optional<PaletteColour> HexLineColour(std::string_view line,
                                           std::optional<PaletteColour>& shows) {
    const std::optional<PaletteColour> colour = ParseHexColour(TakeWord(line));
    shows = ParseHexColour(TakeWord(line));
    return colour;
}

bool IsGimpHeaderLine(std::string_view line) {
    return line.rfind("Name:", 0) == 0 || line.rfind("Columns:", 0) == 0;
}

} // namespace

namespace {

// The colours of a palette file's lines, read a line piece at a time from `file` (on disk
// or in memory); `path` names it in messages.
template <typename Input>
std::optional<PanelPalette> ReadPaletteLines(Input& file, const std::string& path,
                                             const MessageSink& sink) {
    Palette colours;
    Palette shows;
    bool gimp = false;
    std::string piece;
    for (int number = 1;; ++number) {
        piece.clear();
        if (!file.ReadLinePiece(piece, MAX_LINE_CHARS)) {
            break;
        }
        if (piece.size() == MAX_LINE_CHARS && piece.back() != '\n') {
            ReportOutcome(
                sink, {.code = OutcomeCode::PaletteLineTooLong, .file = path, .numbers = {number}});
            return std::nullopt;
        }
        const std::string_view line = Trimmed(piece);
        if (number == 1 && line == "GIMP Palette") {
            gimp = true;
            continue;
        }
        if (line.empty() || (gimp && (line[0] == '#' || IsGimpHeaderLine(line)))) {
            continue;
        }
        std::optional<PaletteColour> shown;
        const std::optional<PaletteColour> colour =
            gimp ? GimpColour(line) : HexLineColour(line, shown);
        if (!colour) {
            // The line as far as 40 characters (and, as text, up to a zero byte).
            const std::string_view visible = line.substr(0, std::min(line.find('\0'), line.size()));
            ReportOutcome(
                sink, {.code = OutcomeCode::PaletteNotColour,
                       .file = path,
                       .numbers = {number},
                       .words = {std::string(visible.substr(0, 40)), gimp ? "R G B" : "#RRGGBB"}});
            return std::nullopt;
        }
        if (colours.size() == MAX_PALETTE_COLOURS) {
            ReportOutcome(sink, {.code = OutcomeCode::PaletteTooLong,
                                 .file = path,
                                 .numbers = {static_cast<std::int64_t>(MAX_PALETTE_COLOURS)}});
            return std::nullopt;
        }
        // Measured colours come for every line or for none.
        if (!colours.empty() && shown.has_value() != (shows.size() == colours.size())) {
            ReportOutcome(sink, {.code = OutcomeCode::PaletteMeasuredApart,
                                 .file = path,
                                 .numbers = {number, shown ? 1 : 0}});
            return std::nullopt;
        }
        colours.push_back(*colour);
        if (shown) {
            shows.push_back(*shown);
        }
    }
    if (colours.empty()) {
        ReportOutcome(sink, {.code = OutcomeCode::PaletteEmpty, .file = path});
        return std::nullopt;
    }
    return PanelPalette{colours, shows};
}

} // namespace

std::optional<PanelPalette> ReadPanelPaletteFile(const std::string& path, const MessageSink& sink) {
    std::vector<std::uint8_t> bytes;
    if (const Outcome read = ReadWholeFile(path, bytes); !read.Ok()) {
        ReportOutcome(
            sink, {.code = OutcomeCode::CannotOpenPalette, .file = path, .reason = read.reason});
        return std::nullopt;
    }
    MemoryInput input(bytes);
    return ReadPaletteLines(input, path, sink);
}

std::optional<PanelPalette> ReadPanelPaletteBytes(std::span<const std::uint8_t> bytes,
                                                  const std::string& name,
                                                  const MessageSink& sink) {
    MemoryInput input(bytes);
    return ReadPaletteLines(input, name, sink);
}

std::optional<PanelPalette> LoadPanelPalette(const std::string& text, const MessageSink& sink) {
    if (std::optional<Palette> builtIn = BuiltInPalette(text)) {
        return PanelPalette{*builtIn, {}};
    }
    if (std::optional<Palette> list = ParseColourList(text)) {
        if (list->size() > MAX_PALETTE_COLOURS) {
            ReportOutcome(sink, {.code = OutcomeCode::ColourListTooLong,
                                 .numbers = {static_cast<std::int64_t>(MAX_PALETTE_COLOURS)}});
            return std::nullopt;
        }
        return PanelPalette{*list, {}};
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(text, error)) {
        ReportOutcome(
            sink,
            {.code = OutcomeCode::UnknownPalette, .file = text, .words = {BuiltInPaletteNames()}});
        return std::nullopt;
    }
    return ReadPanelPaletteFile(text, sink);
}

namespace {

std::optional<Palette> Nominal(std::optional<PanelPalette> palette) {
    if (!palette) {
        return std::nullopt;
    }
    return std::move(palette->colours);
}

} // namespace

std::optional<Palette> ReadPaletteFile(const std::string& path, const MessageSink& sink) {
    return Nominal(ReadPanelPaletteFile(path, sink));
}

std::optional<Palette> ReadPaletteBytes(std::span<const std::uint8_t> bytes,
                                        const std::string& name, const MessageSink& sink) {
    return Nominal(ReadPanelPaletteBytes(bytes, name, sink));
}

std::optional<Palette> LoadPalette(const std::string& text, const MessageSink& sink) {
    return Nominal(LoadPanelPalette(text, sink));
}
