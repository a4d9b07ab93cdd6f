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
            ReportMessage(sink, "ERROR: palette file '%s', line %d: line too long\n", path.c_str(),
                          number);
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
            ReportMessage(sink, "ERROR: palette file '%s', line %d: '%.*s' is not a colour (%s)\n",
                          path.c_str(), number,
                          static_cast<int>(std::min<std::size_t>(line.size(), 40)), line.data(),
                          gimp ? "R G B" : "#RRGGBB");
            return std::nullopt;
        }
        if (colours.size() == MAX_PALETTE_COLOURS) {
            ReportMessage(sink, "ERROR: palette file '%s' has more than %d colours\n", path.c_str(),
                          static_cast<int>(MAX_PALETTE_COLOURS));
            return std::nullopt;
        }
        // Measured colours come for every line or for none.
        if (!colours.empty() && shown.has_value() != (shows.size() == colours.size())) {
            ReportMessage(sink,
                          "ERROR: palette file '%s', line %d: a measured colour (second "
                          "column) is given for %s\n",
                          path.c_str(), number,
                          shown ? "this colour but not for those before it"
                                : "the colours before it but not for this one");
            return std::nullopt;
        }
        colours.push_back(*colour);
        if (shown) {
            shows.push_back(*shown);
        }
    }
    if (colours.empty()) {
        ReportMessage(sink, "ERROR: palette file '%s' holds no colour\n", path.c_str());
        return std::nullopt;
    }
    return PanelPalette{colours, shows};
}

} // namespace

std::optional<PanelPalette> ReadPanelPaletteFile(const std::string& path, const MessageSink& sink) {
    std::vector<std::uint8_t> bytes;
    if (const Outcome read = ReadWholeFile(path, bytes); !read.Ok()) {
        ReportMessage(sink, "ERROR: cannot open palette file '%s'\n%s", path.c_str(),
                      ReasonLine(read.reason).c_str());
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
            ReportMessage(sink, "ERROR: the palette has more than %d colours\n",
                          static_cast<int>(MAX_PALETTE_COLOURS));
            return std::nullopt;
        }
        return PanelPalette{*list, {}};
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(text, error)) {
        ReportMessage(sink,
                      "ERROR: palette '%s' is neither a built-in palette (%s), a list of "
                      "#RRGGBB colours nor a palette file\n",
                      text.c_str(), BuiltInPaletteNames().c_str());
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
