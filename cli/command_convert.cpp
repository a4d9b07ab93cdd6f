// ztr convert: resolves the chosen display types and calls the conversion writer, once
// per picture or once for an animation, as the converter's dialog does.
#include "commands.h"

#include "coding_choice.h"
#include "convert_pictures.h"
#include "display_profiles.h"
#include "executable_directory.h"
#include "parse_integer.h"
#include "tone_settings.h"
#include "type_code.h"

#include <algorithm>
#include <iterator>

#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

// One --type or --code, in command-line order.
struct TypeChoice {
    bool byName = false;
    std::string name;
    std::uint32_t code = 0;
};

struct ConvertOptions {
    std::string profilePath;
    bool animation = false;
    int delay = 0;
    bool delayGiven = false;
    ToneOptions tone;
    CodingChoice coding = CodingChoice::RunLength;
    std::vector<TypeChoice> types;
    std::vector<std::string> pictures;
    std::string output;          // -o: the one file written
    std::string outputDirectory; // --output-dir: where the files go
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
                                arg == "--output" || arg == "--output-dir" || arg == "--coding";
        if (!takesValue) {
            return UsageError("unknown option '" + arg + "'");
        }
        if (i + 1 >= args.size()) {
            return UsageError("option '" + arg + "' needs a value");
        }
        const std::string& value = args[++i];
        if (toneOption) {
            // Mirrors add up: --mirror x --mirror y turns both ways.
            ToneOptions changed = options.tone;
            const bool mirrorX = changed.mirrorX;
            const bool mirrorY = changed.mirrorY;
            if (!ApplyToneSetting(key, value, changed) || (key == "resize" && value.empty())) {
                return UsageError("invalid value '" + value + "' for option '" + arg + "'");
            }
            if (key == "mirror") {
                changed.mirrorX = changed.mirrorX || mirrorX;
                changed.mirrorY = changed.mirrorY || mirrorY;
            }
            options.tone = changed;
        } else if (arg == "--coding") {
            const std::optional<CodingChoice> coding = ParseCodingChoice(value);
            if (!coding) {
                return UsageError("invalid value '" + value + "' for option '--coding' (rle, " +
                                  "squash or auto)");
            }
            options.coding = *coding;
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
                return UsageError("invalid delay '" + value + "'" +
                                  (number ? " (0 to 65535 ms)" : ""));
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
            options.types.push_back({false, {}, static_cast<std::uint32_t>(*code)});
        }
    }
    if (options.types.empty()) {
        return UsageError("no display type given (use --type NAME or --code CODE)");
    }
    if (options.pictures.empty()) {
        return UsageError("no picture given");
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

// Turns every choice into a type code; profile names are looked up in the profile file,
// the first profile of that name counting.
std::optional<int> ResolveTypes(const ConvertOptions& options, std::vector<std::uint32_t>& codes) {
    DisplayProfileList profiles;
    bool profilesLoaded = false;
    for (const TypeChoice& choice : options.types) {
        if (!choice.byName) {
            codes.push_back(choice.code);
            continue;
        }
        if (!profilesLoaded) {
            const std::string path =
                options.profilePath.empty() ? DefaultProfilePath() : options.profilePath;
            const MessageSink warnings;
            if (LoadDisplayProfiles(path, profiles, &warnings) == 0) {
                return UsageError("cannot open profile file '" + path + "'");
            }
            profilesLoaded = true;
        }
        const DisplayProfile* found = nullptr;
        for (const DisplayProfile& profile : profiles) {
            if (profile.name == choice.name) {
                found = &profile;
                break;
            }
        }
        if (found == nullptr) {
            return UsageError("unknown profile name '" + choice.name + "'");
        }
        codes.push_back(MakeTypeCode(found->layout, found->depth));
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
    if (const auto status = ResolveTypes(options, codes)) {
        return *status;
    }

    // Engine messages go to standard error. A GIF's frames keep their own delays unless
    // --delay is given.
    ConversionContext context;
    context.tone = options.tone;
    context.coding = options.coding;
    context.sourceDelays = !options.delayGiven;
    context.outputPath = options.output;
    context.outputDirectory = options.outputDirectory;
    const ConvertResult result =
        ConvertPictureList(options.pictures, codes, options.animation, options.delay, context);
    return result == ConvertResult::Written ? EXIT_DONE : EXIT_FAILED;
}
