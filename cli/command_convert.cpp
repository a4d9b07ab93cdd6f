// ztr convert: resolves the chosen display types and calls the conversion writer, once
// per picture or once for an animation, as the converter's dialog does.
#include "commands.h"

#include "convert_images.h"
#include "display_profiles.h"
#include "executable_directory.h"
#include "type_code.h"

#include <cerrno>
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
    std::vector<TypeChoice> types;
    std::vector<std::string> pictures;
};

// A whole argument read like C's %i: optional sign, decimal, 0x hexadecimal or 0 octal.
std::optional<long long> ParseInteger(const std::string& text, int base) {
    if (text.empty() || text[0] == ' ' || text[0] == '\t') {
        return std::nullopt;
    }
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, base);
    if (errno != 0 || end == text.c_str() || *end != '\0') {
        return std::nullopt;
    }
    return value;
}

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
        const bool takesValue =
            arg == "--profiles" || arg == "--delay" || arg == "--type" || arg == "--code";
        if (!takesValue) {
            return UsageError("unknown option '" + arg + "'");
        }
        if (i + 1 >= args.size()) {
            return UsageError("option '" + arg + "' needs a value");
        }
        const std::string& value = args[++i];
        if (arg == "--profiles") {
            options.profilePath = value;
        } else if (arg == "--delay") {
            const auto delay = ParseInteger(value, 10);
            if (!delay || *delay < INT32_MIN || *delay > INT32_MAX) {
                return UsageError("invalid delay '" + value + "'");
            }
            options.delay = static_cast<int>(*delay);
        } else if (arg == "--type") {
            options.types.push_back({true, value, 0});
        } else {
            const auto code = ParseInteger(value, 0);
            if (!code || *code < INT32_MIN || *code > UINT32_MAX) {
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
    return std::nullopt;
}

// Turns every choice into a type code; profile names are looked up in the profile file,
// the first profile of that name counting.
std::optional<int> ResolveTypes(const ConvertOptions& options,
                                std::vector<std::uint32_t>& codes) {
    bool profilesLoaded = false;
    for (const TypeChoice& choice : options.types) {
        if (!choice.byName) {
            codes.push_back(choice.code);
            continue;
        }
        if (!profilesLoaded) {
            const std::string path =
                options.profilePath.empty() ? DefaultProfilePath() : options.profilePath;
            FreeDisplayProfiles();
            if (LoadDisplayProfiles(path) == 0) {
                return UsageError("cannot open profile file '" + path + "'");
            }
            profilesLoaded = true;
        }
        const DisplayProfile* found = nullptr;
        for (const DisplayProfile& profile : DisplayProfiles) {
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
    FreeDisplayProfiles();
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

    if (options.animation) {
        // The last frame leads back to the first picture.
        std::vector<std::string> frames = options.pictures;
        frames.push_back(options.pictures.front());
        return ConvertImages(frames, codes, options.delay) == 0 ? EXIT_DONE : EXIT_FAILED;
    }
    for (const std::string& picture : options.pictures) {
        if (ConvertImages({picture}, codes, 0) != 0) {
            return EXIT_FAILED;
        }
    }
    return EXIT_DONE;
}
