// ztr render: decodes one record as the viewer does (optionally built up into a full
// frame) and writes what the viewer would show as a binary PPM or, for a ".png" name,
// a PNG; zoomed by pixel repetition and optionally inverted.
#include "commands.h"

#include "bitmap_rgb.h"
#include "byte_reader.h"
#include "checked_size.h"
#include "decode_record.h"
#include "output_file.h"
#include "parse_integer.h"
#include "png_writer.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

// Pixel repetition beyond this only makes huge files.
constexpr long MAX_ZOOM = 64;

struct RenderOptions {
    std::string file;
    std::optional<int> index;
    bool buildUp = false;
    bool invert = false;
    long zoom = 1;
    std::string output;
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
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (IsHelpOption(arg)) {
            PrintHelp();
            return EXIT_DONE;
        }
        if (arg == "--buildup") {
            options.buildUp = true;
        } else if (arg == "--invert") {
            options.invert = true;
        } else if (arg == "--zoom" || arg == "-o" || arg == "--output") {
            if (i + 1 == args.size()) {
                return UsageError("option '" + arg + "' needs a value");
            }
            const std::string& value = args[++i];
            if (arg == "--zoom") {
                const auto zoom = ParseDecimal(value);
                if (!zoom || *zoom < 1 || *zoom > MAX_ZOOM) {
                    return UsageError("invalid zoom '" + value + "' (1 to 64)");
                }
                options.zoom = *zoom;
            } else {
                options.output = value;
            }
        } else if (arg.size() > 1 && arg[0] == '-' && !ParseDecimal(arg)) {
            return UsageError("unknown option '" + arg + "'");
        } else {
            positional.push_back(arg);
        }
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
    const auto index = ParseDecimal(positional[1]);
    if (!index || *index < -0x7FFFFFFF - 1 || *index > 0x7FFFFFFF) {
        return UsageError("invalid record index '" + positional[1] + "'");
    }
    if (options.output.empty()) {
        return UsageError("no output file given (use -o OUT)");
    }
    options.file = positional[0];
    options.index = static_cast<int>(*index);
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
        std::size_t out = 0;
        for (std::size_t x = 0; x < static_cast<std::size_t>(bitmap_.width); ++x) {
            for (std::uint32_t r = 0; r < zoom_; ++r) {
                for (int c = 0; c < 3; ++c) {
                    const std::uint8_t value = source_[3 * x + c];
                    rgb[out++] = invert_ ? static_cast<std::uint8_t>(255 - value) : value;
                }
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

} // namespace

int RunRender(const CommandArgs& args) {
    RenderOptions options;
    if (const auto status = ParseRenderArgs(args, options)) {
        return *status;
    }
    const bool png = EndsWithPng(options.output);
    if (png && !PngAvailable()) {
        return Failure("PNG output is not available in this build");
    }
    {
        ByteReader probe;
        if (!probe.Open(options.file)) {
            return Failure("cannot open '" + options.file + "'");
        }
    }
    DisplayBitmap bitmap;
    DecodeRecord(options.file, *options.index, options.buildUp, bitmap);
    if (!bitmap.pixels || bitmap.width <= 0 || bitmap.height <= 0) {
        return Failure("record " + std::to_string(*options.index) + " of '" + options.file +
                       "' has nothing to show");
    }
    const auto zoom = static_cast<std::uint32_t>(options.zoom);
    std::size_t width = 0;
    std::size_t height = 0;
    std::size_t rowBytes = 0;
    if (!CheckedMultiply(static_cast<std::size_t>(bitmap.width), zoom, width) ||
        !CheckedMultiply(static_cast<std::size_t>(bitmap.height), zoom, height) ||
        !CheckedMultiply(width, 3, rowBytes) || width > 0x7FFFFFFF || height > 0x7FFFFFFF) {
        return Failure("the zoomed picture is too large");
    }
    OutputFile output(options.output);
    if (!output.Open()) {
        return Failure("cannot create '" + options.output + "'");
    }
    ZoomedRows rows(bitmap, zoom, options.invert);
    const auto w = static_cast<std::uint32_t>(width);
    const auto h = static_cast<std::uint32_t>(height);
    const bool written =
        png ? WritePng(output.File(), w, h, std::ref(rows)) : WritePpm(output.File(), w, h, rows);
    if (!written || !output.Commit()) {
        output.Discard();
        return Failure("cannot write '" + options.output + "'");
    }
    return EXIT_DONE;
}
