// ztr profiles: prints the display profiles of a profile file, one line per entry in
// file order, fields separated by tabs for scripts; or, with --verbose, as a table for
// people.
#include "commands.h"

#include "display_profiles.h"
#include "executable_directory.h"
#include "profile_table.h"
#include "system_reason.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

int RunProfiles(const CommandArgs& args) {
    // --verbose, anywhere, asks for the table for people; the rest is the one operand.
    CommandArgs operands;
    bool verbose = false;
    for (const std::string& arg : args) {
        if (arg == "--verbose") {
            verbose = true;
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
    const MessageSink warnings;
    ResetSystemError();
    if (LoadDisplayProfiles(path, profiles, &warnings) == 0) {
        return Failure("cannot open profile file '" + path + "'", ReasonLine(LastSystemError()));
    }
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
