// ztr convert: resolves the chosen display types and calls the conversion writer, once
// per picture or once for an animation, as the converter's dialog does.
#include "commands.h"

#include "coding_choice.h"
#include "conversion_request.h"
#include "display_profiles.h"
#include "executable_directory.h"
#include "idle_options.h"
#include "interrupt_cleanup.h"
#include "load_palette.h"
#include "output_clashes.h"
#include "palette_order.h"
#include "parse_integer.h"
#include "profile_lookup.h"
#include "profile_warnings.h"
#include "progress_line.h"
#include "record_palette.h"
#include "tone_settings.h"
#include "tone_value_hints.h"
#include "type_code.h"
#include "type_code_fault.h"

#include <algorithm>
#include <iterator>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>

namespace {

// One --type or --code, in command-line order.
struct TypeChoice {
    bool byName = false;
    std::string name; // the profile's name, or the code as the user wrote it
    std::uint32_t code = 0;
};

struct ConvertOptions {
    std::string profilePath;
    bool animation = false;
    int delay = 0;
    bool delayGiven = false;
    ToneOptions tone;
    CodingChoice coding = CodingChoice::RunLength;
    DenseWindow window = DenseWindow::Bytes512;
    std::vector<TypeChoice> types;
    std::vector<std::string> pictures;
    std::string output;          // -o: the one file written
    std::string outputDirectory; // --output-dir: where the files go
    bool resizePanel = false;    // --resize panel: each type to its profile's size
    std::set<std::string> given; // the options used, for the warnings about idle ones
};

// Parses the arguments; returns an exit status when the command line is wrong.
std::optional<int> ParseOptions(const CommandArgs& args, ConvertOptions& options) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            options.pictures.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (IsHelpOption(arg)) {
            PrintHelp();
            return EXIT_DONE;
        }
        if (arg == "--animation") {
            options.animation = true;
            continue;
        }
        if (arg == "--invert") {
            options.tone.invert = true;
            continue;
        }
        // Tone options: --KEY VALUE with the words of tone_settings.h.
        const std::string key = arg.substr(2);
        const bool toneOption =
            arg.rfind("--", 0) == 0 && key != "invert" &&
            std::find(std::begin(TONE_KEYS), std::end(TONE_KEYS), key) != std::end(TONE_KEYS);
        const bool takesValue = toneOption || arg == "--profiles" || arg == "--delay" ||
                                arg == "--type" || arg == "--code" || arg == "-o" ||
                                arg == "--output" || arg == "--output-dir" || arg == "--coding" ||
                                arg == "--window";
        if (!takesValue) {
            return UsageError("unknown option '" + arg + "'");
        }
        if (i + 1 >= args.size()) {
            return UsageError("option '" + arg + "' needs a value");
        }
        const std::string& value = args[++i];
        options.given.insert(arg);
        if (key == "resize" && value == "panel") {
            options.resizePanel = true;
            options.tone.resizeWidth = 0;
            options.tone.resizeHeight = 0;
        } else if (toneOption) {
            // Mirrors add up: --mirror x --mirror y turns both ways.
            ToneOptions changed = options.tone;
            const bool mirrorX = changed.mirrorX;
            const bool mirrorY = changed.mirrorY;
            const bool emptyRefused = key == "resize" || key == "palette" || key == "colours";
            if (!ApplyToneSetting(key, value, changed) || (emptyRefused && value.empty())) {
                return UsageError("invalid value '" + value + "' for option '" + arg + "' (" +
                                  ToneValueHint(key) + (key == "resize" ? ", or panel" : "") + ")");
            }
            if (key == "mirror") {
                changed.mirrorX = changed.mirrorX || mirrorX;
                changed.mirrorY = changed.mirrorY || mirrorY;
            }
            options.resizePanel = options.resizePanel && key != "resize";
            options.tone = changed;
        } else if (arg == "--coding") {
            const std::optional<CodingChoice> coding = ParseCodingChoice(value);
            if (!coding) {
                return UsageError("invalid value '" + value + "' for option '--coding' (rle, " +
                                  "squash or auto)");
            }
            options.coding = *coding;
        } else if (arg == "--window") {
            if (value != "512" && value != "frame") {
                return UsageError("invalid value '" + value + "' for option '--window' (512 " +
                                  "or frame)");
            }
            options.window = value == "frame" ? DenseWindow::WholeStream : DenseWindow::Bytes512;
        } else if (arg == "--profiles") {
            options.profilePath = value;
        } else if (arg == "-o" || arg == "--output") {
            options.output = value;
        } else if (arg == "--output-dir") {
            options.outputDirectory = value;
        } else if (arg == "--delay") {
            // A delay that does not fit the 16-bit field is refused, not wrapped.
            const auto delay = ParseInteger(value, IntegerStyle::Decimal, 0, MAX_DELAY_MS);
            if (!delay) {
                const bool number =
                    ScanInteger(value, IntegerStyle::Decimal).length == value.size();
                return UsageError(
                    "invalid delay '" + value + "'" +
                    (number ? " (0 to " + std::to_string(MAX_DELAY_MS) + " ms)" : ""));
            }
            options.delay = static_cast<int>(*delay);
            options.delayGiven = true;
        } else if (arg == "--type") {
            options.types.push_back({true, value, 0});
        } else {
            const auto code = ParseInteger(value, IntegerStyle::C, INT32_MIN, UINT32_MAX);
            if (!code) {
                return UsageError("invalid type code '" + value + "'");
            }
            if (const std::string fault = TypeCodeFault(static_cast<std::uint32_t>(*code));
                !fault.empty()) {
                return UsageError("invalid type code '" + value + "': " + fault);
            }
            options.types.push_back({false, value, static_cast<std::uint32_t>(*code)});
        }
    }
    if (options.types.empty()) {
        return UsageError("no display type given (use --type NAME or --code CODE)");
    }
    if (options.pictures.empty()) {
        return UsageError("no picture given");
    }
    if (!options.tone.palette.empty() && options.tone.colours > 0) {
        return UsageError("--palette and --colours exclude each other");
    }
    if (!options.output.empty() && !options.outputDirectory.empty()) {
        return UsageError("-o and --output-dir exclude each other");
    }
    if (!options.output.empty() && !options.animation && options.pictures.size() > 1) {
        return UsageError("-o names one output, but " + std::to_string(options.pictures.size()) +
                          " pictures make one file each (use --output-dir, or --animation)");
    }
    return std::nullopt;
}

// For a profile without a size, the profiles of the same panel that give one (named after
// it, "st7789_240x240" for "st7789", with its lay-out and depth): "; the profiles
// 'A' and 'B' give one", or nothing.
std::string SizedProfilesText(const DisplayProfileList& profiles, const DisplayProfile& unsized) {
    std::vector<std::string> sized;
    for (const DisplayProfile& profile : profiles) {
        if (profile.panelWidth > 0 && profile.name.rfind(unsized.name + "_", 0) == 0 &&
            profile.layout == unsized.layout && profile.depth == unsized.depth) {
            sized.push_back("'" + profile.name + "'");
        }
    }
    std::string text;
    for (std::size_t k = 0; k < sized.size(); ++k) {
        text += (k == 0 ? "; the profiles " : k + 1 == sized.size() ? " and " : ", ") + sized[k];
    }
    return text.empty() ? text : text + " give one";
}

// Turns every choice into a type code, its profile's palette and measured colours (none
// for a --code) and its panel; profile names are looked up in the profile file, the first
// profile of that name counting. With --resize panel every type needs a profile that
// gives its size. A profile whose settings cannot be read fails the conversion; the
// faults of the profiles used are printed, and the others summed up in one line.
std::optional<int> ResolveTypes(const ConvertOptions& options, std::vector<std::uint32_t>& codes,
                                std::vector<Palette>& palettes, std::vector<Palette>& shows,
                                std::vector<TypePanel>& panels) {
    DisplayProfileList profiles;
    std::vector<ProfileLineFault> faults;
    std::set<unsigned> usedLines;
    std::string path;
    bool profilesLoaded = false;
    for (const TypeChoice& choice : options.types) {
        if (!choice.byName) {
            if (options.resizePanel) {
                return UsageError("--resize panel: the type code '" + choice.name +
                                  "' has no panel size (use --type with a profile that gives "
                                  "size=WxH)");
            }
            codes.push_back(choice.code);
            palettes.emplace_back();
            shows.emplace_back();
            panels.emplace_back();
            continue;
        }
        if (!profilesLoaded) {
            path = options.profilePath.empty() ? DefaultProfilePath() : options.profilePath;
            if (const Outcome loaded = LoadDisplayProfiles(path, profiles, faults); !loaded.Ok()) {
                return UsageError(loaded);
            }
            profilesLoaded = true;
        }
        const ProfileLookup lookup = FindProfile(profiles, choice.name);
        const DisplayProfile* found = lookup.found;
        if (found == nullptr) {
            return UsageError(UnknownProfileText(choice.name, lookup.closest));
        }
        if (!found->unusable.empty()) {
            return Failure("profile file '" + path + "', line " + std::to_string(found->line) +
                           ": " + found->unusable);
        }
        usedLines.insert(found->line);
        if (options.resizePanel && (found->panelWidth == 0 || found->panelHeight == 0)) {
            return UsageError("--resize panel: the display type '" + found->name +
                              "' has no panel size (size=WxH in its profile)" +
                              SizedProfilesText(profiles, *found));
        }
        codes.push_back(MakeTypeCode(found->layout, found->depth));
        palettes.push_back(found->palette);
        shows.push_back(found->shows);
        // A profile's background is the panel's default; --background overrides it.
        panels.push_back(
            {found->name, found->panelWidth, found->panelHeight, options.resizePanel,
             options.given.count("--background") != 0 ? std::nullopt : found->background});
    }
    if (profilesLoaded) {
        PrintProfileWarnings(stderr, path, faults, usedLines);
    }
    return std::nullopt;
}

void KeepText(void* context, const char* text) {
    *static_cast<std::string*>(context) += text;
}

// The name under which a type is mentioned in a message: the profile's name or the code,
// as the user wrote them.
std::string TypeName(const TypeChoice& choice) {
    return (choice.byName ? "type '" : "type code '") + choice.name + "'";
}

// Reads the palette of --palette and checks that it, or --colours, fits every type's
// depth, and that it keeps the colours of a type's panel palette at the panel's indices;
// a palette that cannot be read, does not fit or is out of order is a command-line error.
// `measured` tells whether some type's pictures are matched against measured colours.
std::optional<int> CheckPalette(const ConvertOptions& options,
                                const std::vector<std::uint32_t>& codes,
                                const std::vector<Palette>& palettes,
                                const std::vector<Palette>& shows, bool& measured) {
    std::size_t colours = static_cast<std::size_t>(options.tone.colours);
    std::string what = "--colours " + std::to_string(colours) + " asks for ";
    measured = colours == 0 &&
               std::any_of(shows.begin(), shows.end(), [](const Palette& s) { return !s.empty(); });
    if (!options.tone.palette.empty()) {
        std::string text;
        const std::optional<PanelPalette> palette =
            LoadPanelPalette(options.tone.palette, MessageSink{KeepText, &text});
        if (!palette) {
            const std::string prefix = "ERROR: ";
            if (text.rfind(prefix, 0) == 0) {
                text.erase(0, prefix.size());
            }
            while (!text.empty() && text.back() == '\n') {
                text.pop_back();
            }
            return UsageError(text);
        }
        colours = palette->colours.size();
        what = "palette '" + options.tone.palette + "' has ";
        measured = !palette->shows.empty();
        for (std::size_t k = 0; k < codes.size() && k < palettes.size(); ++k) {
            if (const std::optional<std::string> fault =
                    PaletteOrderFault(palette->colours, "palette '" + options.tone.palette + "'",
                                      palettes[k], TypeName(options.types[k]))) {
                return UsageError(*fault);
            }
            measured =
                measured || !BorrowedShows(palette->colours, {palettes[k], shows[k]}).empty();
        }
    }
    for (std::size_t k = 0; k < codes.size() && colours > 0; ++k) {
        const unsigned depth = TypeCodeDepth(codes[k]);
        if (!PaletteFits(colours, depth)) {
            return UsageError(what + TooManyColoursText(colours, depth) + " (" +
                              TypeName(options.types[k]) + ")");
        }
    }
    return std::nullopt;
}

} // namespace

int RunConvert(const CommandArgs& args) {
    ConvertOptions options;
    if (const auto status = ParseOptions(args, options)) {
        return *status;
    }
    std::vector<std::uint32_t> codes;
    std::vector<Palette> palettes;
    std::vector<Palette> shows;
    std::vector<TypePanel> panels;
    if (const auto status = ResolveTypes(options, codes, palettes, shows, panels)) {
        return *status;
    }
    bool measured = false;
    if (const auto status = CheckPalette(options, codes, palettes, shows, measured)) {
        return *status;
    }

    // Engine messages go to standard error, after the progress line is cleared; the line
    // shows on a terminal once the work lasts more than a second. A GIF's frames keep
    // their own delays unless --delay is given.
    ProgressLine line(stderr, StandardErrorIsTerminal(), ProgressLine::Clock::now());
    ConversionEnvironment environment;
    environment.sink = {[](void* progress, const char* text) {
                            static_cast<ProgressLine*>(progress)->Clear();
                            std::fputs(text, stderr);
                        },
                        &line};
    environment.progress = [&line](const ConversionProgress& progress) {
        line.Show(progress, ProgressLine::Clock::now());
        return !Interrupted();
    };
    environment.temporaryFile = InterruptCleanupNotice();
    ConversionRequest request;
    for (const std::string& picture : options.pictures) {
        request.pictures.push_back({picture});
    }
    for (std::size_t k = 0; k < codes.size(); ++k) {
        request.targets.push_back({codes[k], panels[k], palettes[k], shows[k]});
    }
    request.animation = options.animation;
    if (options.delayGiven) {
        request.delay = options.delay;
    }
    request.tone = options.tone;
    request.coding = options.coding;
    request.denseWindow = options.window;
    request.outputPath = options.output;
    request.outputDirectory = options.outputDirectory;
    // Outputs that the command line alone shows to write over a picture, or to be one
    // file, make a wrong command line; the run refuses the others (the same file under
    // other names) itself.
    if (const auto over = FindOutputOverPicture(request, true); over && over->sameText) {
        return UsageError(OutputOverPictureText(*over));
    }
    if (const auto clash = FindOutputClash(request, true); clash && clash->sameText) {
        return UsageError(OutputClashText(*clash));
    }
    const bool anyPalette = !options.tone.palette.empty() || options.tone.colours > 0 ||
                            std::any_of(palettes.begin(), palettes.end(),
                                        [](const Palette& palette) { return !palette.empty(); });
    for (const std::string& idle :
         IdleOptions({options.given, options.tone, options.resizePanel, options.animation, codes,
                      anyPalette, measured, options.coding == CodingChoice::Auto})) {
        std::fprintf(stderr, "WARNING: %s\n", idle.c_str());
    }
    const Outcome result = RunConversion(request, environment);
    line.Clear();
    return result.Ok() ? EXIT_DONE : EXIT_FAILED;
}
