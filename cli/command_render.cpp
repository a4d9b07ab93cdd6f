// ztr render: decodes one record as the viewer does (optionally built up into a full
// frame), or a range of records built up one after another as the viewer plays them, and
// writes what the viewer would show as a binary PPM or, for a ".png" name, a PNG; zoomed
// by pixel repetition and optionally inverted.
#include "commands.h"

#include "bitmap_rgb.h"
#include "checked_size.h"
#include "decode_record.h"
#include "executable_directory.h"
#include "frame_name_pattern.h"
#include "frame_player.h"
#include "interrupt_cleanup.h"
#include "output_file.h"
#include "panel_colours.h"
#include "parse_integer.h"
#include "png_writer.h"
#include "read_command_args.h"
#include "read_zentra_file.h"
#include "same_file.h"
#include "system_reason.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

// Pixel repetition beyond this only makes huge files.
constexpr long MAX_ZOOM = 64;

struct RenderOptions {
    std::string file;
    int first = 0; // the record, or the first of a range
    int last = 0;  // the last of a range; first for a single record
    bool range = false;
    bool buildUp = false;
    bool invert = false;
    long zoom = 1;
    std::string output;                      // the output file, or a range's name pattern
    std::optional<FrameNamePattern> pattern; // a range's, read from output
    std::string panelName;                   // --panel: drawn as this type's panel shows it
    std::string profilePath;                 // --profiles
    std::optional<DisplayProfile> panel;     // the profile of --panel, once loaded
};

// Record indexes and zoom factors: decimal numbers by the tools' one integer rule.
std::optional<std::int64_t> ParseDecimal(const std::string& text) {
    return ParseInteger(text, IntegerStyle::Decimal, INT64_MIN, INT64_MAX);
}

bool EndsWithPng(const std::string& path) {
    if (path.size() < 4) {
        return false;
    }
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return tail == ".png";
}

// Parses the arguments; returns a usage error's exit status when they are wrong.
std::optional<int> ParseRenderArgs(const CommandArgs& args, RenderOptions& options) {
    CommandWords words;
    words.flags = {"--buildup", "--invert"};
    words.valued = {"--zoom", "-o", "--output", "--panel", "--profiles"};
    words.onFlag = [&](const std::string& flag) {
        (flag == "--buildup" ? options.buildUp : options.invert) = true;
    };
    words.onValue = [&](const std::string& option, const std::string& value) -> std::optional<int> {
        if (option == "--zoom") {
            const auto zoom = ParseDecimal(value);
            if (!zoom || *zoom < 1 || *zoom > MAX_ZOOM) {
                return UsageError("invalid zoom '" + value + "' (1 to 64)");
            }
            options.zoom = *zoom;
        } else if (option == "--panel") {
            options.panelName = value;
        } else if (option == "--profiles") {
            options.profilePath = value;
        } else {
            options.output = value;
        }
        return std::nullopt;
    };
    // A negative record index is an operand, refused as an index below.
    words.isOperand = [](const std::string& arg) { return ParseDecimal(arg).has_value(); };
    std::vector<std::string> positional;
    if (const auto status = ReadCommandArgs(args, words, positional)) {
        return status;
    }
    if (positional.empty()) {
        return UsageError("no file given");
    }
    if (positional.size() == 1) {
        return UsageError("no record index given");
    }
    if (positional.size() > 2) {
        return UsageError("too many arguments");
    }
    const std::string& which = positional[1];
    const std::size_t dash = which.find('-', 1);
    if (dash != std::string::npos) {
        // FIRST-LAST: records from 0, the first not after the last.
        const auto first = ParseDecimal(which.substr(0, dash));
        const auto last = ParseDecimal(which.substr(dash + 1));
        if (!first || !last || *first < 0 || *last > 0x7FFFFFFF || *first > *last) {
            return UsageError("invalid record range '" + which +
                              "' (FIRST-LAST, counted from 0, FIRST not above LAST)");
        }
        options.range = true;
        options.buildUp = true;
        options.first = static_cast<int>(*first);
        options.last = static_cast<int>(*last);
    } else {
        const auto index = ParseDecimal(which);
        if (!index || *index < -0x7FFFFFFF - 1 || *index > 0x7FFFFFFF) {
            return UsageError("invalid record index '" + which + "'");
        }
        options.first = static_cast<int>(*index);
        options.last = options.first;
    }
    if (options.output.empty()) {
        return UsageError(options.range ? "no output name pattern given (use -o PATTERN)"
                                        : "no output file given (use -o OUT)");
    }
    if (options.range) {
        std::string error;
        options.pattern = ParseFrameNamePattern(options.output, error);
        if (!options.pattern) {
            return UsageError("invalid output name pattern '" + options.output + "': " + error);
        }
    }
    options.file = positional[0];
    return std::nullopt;
}

// The picture as written: every bitmap pixel repeated zoom x zoom times, top row first,
// optionally with every component complemented.
class ZoomedRows {
  public:
    ZoomedRows(const DisplayBitmap& bitmap, std::uint32_t zoom, bool invert)
        : bitmap_(bitmap), zoom_(zoom), invert_(invert),
          source_(static_cast<std::size_t>(bitmap.width) * 3) {}

    void operator()(std::uint32_t y, std::uint8_t* rgb) {
        const int top = static_cast<int>(y / zoom_);
        if (top != sourceRow_) {
            BitmapRowToRgb(bitmap_, top, source_.data());
            sourceRow_ = top;
        }
        // Stores through rgb may alias any byte, so the loop keeps what it needs in locals.
        const std::uint8_t* source = source_.data();
        const auto width = static_cast<std::size_t>(bitmap_.width);
        const std::uint32_t zoom = zoom_;
        const std::uint8_t flip = invert_ ? 0xFF : 0x00; // 255 - value, or value
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint8_t red = source[3 * x] ^ flip;
            const std::uint8_t green = source[3 * x + 1] ^ flip;
            const std::uint8_t blue = source[3 * x + 2] ^ flip;
            for (std::uint32_t r = 0; r < zoom; ++r) {
                rgb[0] = red;
                rgb[1] = green;
                rgb[2] = blue;
                rgb += 3;
            }
        }
    }

  private:
    const DisplayBitmap& bitmap_;
    std::uint32_t zoom_;
    bool invert_;
    std::vector<std::uint8_t> source_;
    int sourceRow_ = -1;
};

bool WritePpm(std::FILE* file, std::uint32_t width, std::uint32_t height, ZoomedRows& rows) {
    if (std::fprintf(file, "P6\n%u %u\n255\n", static_cast<unsigned>(width),
                     static_cast<unsigned>(height)) < 0) {
        return false;
    }
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
    for (std::uint32_t y = 0; y < height; ++y) {
        rows(y, row.data());
        if (std::fwrite(row.data(), 1, row.size(), file) != row.size()) {
            return false;
        }
    }
    return true;
}

// Writes the bitmap, zoomed and inverted as the options say, to path: a PNG when the
// output name ends in .png, else a PPM. Returns the exit status.
int WritePicture(const DisplayBitmap& decoded, const RenderOptions& options,
                 const std::string& path) {
    std::optional<DisplayBitmap> asPanel;
    if (options.panel) {
        asPanel = decoded;
        if (const std::optional<std::string> note = ShowAsPanel(*asPanel, *options.panel)) {
            std::fprintf(stderr, "WARNING: '%s': %s\n", path.c_str(), note->c_str());
        }
    }
    const DisplayBitmap& bitmap = asPanel ? *asPanel : decoded;
    const auto zoom = static_cast<std::uint32_t>(options.zoom);
    std::size_t width = 0;
    std::size_t height = 0;
    std::size_t rowBytes = 0;
    if (!CheckedMultiply(static_cast<std::size_t>(bitmap.width), zoom, width) ||
        !CheckedMultiply(static_cast<std::size_t>(bitmap.height), zoom, height) ||
        !CheckedMultiply(width, 3, rowBytes) || width > 0x7FFFFFFF || height > 0x7FFFFFFF) {
        return Failure("the zoomed picture is too large");
    }
    OutputFile output(path, InterruptCleanupNotice());
    if (!output.Open()) {
        return Failure("cannot create '" + path + "'", output.FailureReason());
    }
    ZoomedRows rows(bitmap, zoom, options.invert);
    const auto w = static_cast<std::uint32_t>(width);
    const auto h = static_cast<std::uint32_t>(height);
    const bool written = EndsWithPng(options.output) ? WritePng(output.File(), w, h, std::ref(rows))
                                                     : WritePpm(output.File(), w, h, rows);
    if (!written) {
        output.NoteWriteError();
    }
    if (!written || !output.Commit()) {
        output.Discard();
        return Failure("cannot write '" + path + "'", output.FailureReason());
    }
    return EXIT_DONE;
}

std::optional<int> RefuseWritingOverInput(const std::string& path, const RenderOptions& options) {
    if (SameFile(path, options.file)) {
        return Failure("the output '" + path + "' would write over the input '" + options.file +
                       "'");
    }
    return std::nullopt;
}

int RenderOne(const RenderOptions& options) {
    if (const auto refused = RefuseWritingOverInput(options.output, options)) {
        return *refused;
    }
    DisplayBitmap bitmap;
    ResetSystemError();
    const DecodeStatus status = DecodeRecord(options.file, options.first, options.buildUp, bitmap);
    if (Outcome shown = ShownOutcome(status, bitmap, options.file, options.first); !shown.Ok()) {
        if (shown.code == OutcomeCode::CannotOpenFile) {
            shown.reason = LastSystemError();
        }
        return Failure(shown);
    }
    return WritePicture(bitmap, options, options.output);
}

// Every record of the range built up by one player, so that each delta record costs only
// itself. The range and every name are checked before the first file is written; a
// record that cannot be shown ends the run with its message, the files before it written.
int RenderRange(const RenderOptions& options) {
    FramePlayer player;
    ResetSystemError();
    if (!player.Open(FileSource(options.file))) {
        return Failure({.code = OutcomeCode::CannotOpenFile,
                        .file = options.file,
                        .reason = LastSystemError()});
    }
    if (static_cast<std::size_t>(options.last) >= player.Records().size()) {
        return Failure(
            {.code = OutcomeCode::NoRecord, .file = options.file, .numbers = {options.last}});
    }
    for (int index = options.first; index <= options.last; ++index) {
        if (const auto refused =
                RefuseWritingOverInput(FrameName(*options.pattern, index), options)) {
            return *refused;
        }
    }
    for (int index = options.first; index <= options.last && !Interrupted(); ++index) {
        const DecodeStatus status = player.Show(index);
        if (const Outcome shown = ShownOutcome(status, player.Frame(), options.file, index);
            !shown.Ok()) {
            return Failure(shown);
        }
        if (const int written =
                WritePicture(player.Frame(), options, FrameName(*options.pattern, index));
            written != EXIT_DONE) {
            return written;
        }
    }
    return EXIT_DONE;
}

} // namespace

int RunRender(const CommandArgs& args) {
    RenderOptions options;
    if (const auto status = ParseRenderArgs(args, options)) {
        return *status;
    }
    if (EndsWithPng(options.output) && !PngAvailable()) {
        return Failure("PNG output is not available in this build");
    }
    if (!options.panelName.empty()) {
        std::string failure;
        options.panel = LoadPanelProfile(options.profilePath.empty() ? DefaultProfilePath()
                                                                     : options.profilePath,
                                         options.panelName, failure);
        if (!options.panel) {
            return Failure(failure);
        }
    }
    // A record that the end of the file cuts short is drawn with its missing bytes as 0,
    // and gets the warning that list gives.
    if (const auto cut = FindCutRecord(options.file);
        cut && static_cast<std::size_t>(options.first) <= cut->index &&
        cut->index <= static_cast<std::size_t>(options.last)) {
        WarnCutShort(options.file, *cut);
    }
    return options.range ? RenderRange(options) : RenderOne(options);
}
