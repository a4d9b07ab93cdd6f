// ztr profiles: prints the display profiles of a profile file, one line per entry in
// file order, fields separated by tabs.
#include "commands.h"

#include "display_profiles.h"
#include "executable_directory.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

int RunProfiles(const CommandArgs& args) {
    std::string path;
    if (const auto status = TakeSingleOperand(args, "profile file", path)) {
        return *status;
    }
    if (path.empty()) {
        path = DefaultProfilePath();
    }

    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        return Failure("'" + path + "' is a folder, not a profile file");
    }
    DisplayProfileList profiles;
    const MessageSink warnings;
    if (LoadDisplayProfiles(path, profiles, &warnings) == 0) {
        return Failure("cannot open profile file '" + path + "'");
    }
    if (profiles.empty()) {
        return Failure("file '" + path + "' holds no display profiles");
    }
    int index = 0;
    for (const DisplayProfile& profile : profiles) {
        // The settings words lead the description, as the file writes them.
        const std::string text = profile.settings.empty() || profile.description.empty()
                                     ? profile.settings + profile.description
                                     : profile.settings + " " + profile.description;
        std::printf("%d\t%s\t%u\t%u\t%s\n", index++, profile.name.c_str(),
                    static_cast<unsigned>(profile.layout), static_cast<unsigned>(profile.depth),
                    text.c_str());
    }
    return EXIT_DONE;
}
