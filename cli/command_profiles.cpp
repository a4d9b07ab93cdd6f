// ztr profiles: prints the display profiles of a profile file, one line per entry in
// file order, fields separated by tabs; with --check, every fault of the file's lines.
#include "commands.h"

#include "display_profiles.h"
#include "executable_directory.h"
#include "profile_check.h"
#include "profile_warnings.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

int RunProfiles(const CommandArgs& args) {
    CommandArgs operands;
    bool check = false;
    for (const std::string& arg : args) {
        if (arg == "--check") {
            check = true;
        } else {
            operands.push_back(arg);
        }
    }
    std::string path;
    if (const auto status = TakeSingleOperand(operands, "profile file", path)) {
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
    std::vector<ProfileLineFault> faults;
    if (LoadDisplayProfiles(path, profiles, faults) == 0) {
        return Failure("cannot open profile file '" + path + "'");
    }
    if (check) {
        return PrintProfileCheck(stdout, path, profiles, faults);
    }
    PrintProfileWarnings(stderr, path, faults, {});
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
