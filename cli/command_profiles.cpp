// ztr profiles: prints the display profiles of a profile file, one line per entry in
// file order, fields separated by tabs for scripts; or, with --verbose, as a table for
// people; with --check, every fault of the file's lines.
#include "commands.h"

#include "display_profiles.h"
#include "executable_directory.h"
#include "profile_check.h"
#include "profile_table.h"
#include "profile_warnings.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

int RunProfiles(const CommandArgs& args) {
    // --verbose, anywhere, asks for the table for people, --check for the faults; the rest
    // is the one operand.
    CommandArgs operands;
    bool verbose = false;
    bool check = false;
    for (const std::string& arg : args) {
        if (arg == "--verbose") {
            verbose = true;
        } else if (arg == "--check") {
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
    if (const Outcome loaded = LoadDisplayProfiles(path, profiles, faults); !loaded.Ok()) {
        return Failure(loaded);
    }
    if (check) {
        return PrintProfileCheck(stdout, path, profiles, faults);
    }
    PrintProfileWarnings(stderr, path, faults, {});
    if (profiles.empty()) {
        return Failure("file '" + path + "' holds no display profiles");
    }
    if (verbose) {
        std::fputs(ProfileTable(profiles).c_str(), stdout);
        return EXIT_DONE;
    }
    // For scripts, as it always was: the lay-out in decimal; the panel's settings are
    // not part of the description (--verbose shows them).
    int index = 0;
    for (const DisplayProfile& profile : profiles) {
        std::printf("%d\t%s\t%u\t%u\t%s\n", index++, profile.name.c_str(),
                    static_cast<unsigned>(profile.layout), static_cast<unsigned>(profile.depth),
                    profile.description.c_str());
    }
    return EXIT_DONE;
}
