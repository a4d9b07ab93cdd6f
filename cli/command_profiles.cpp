// ztr profiles: prints the display profiles of a profile file, one line per entry in
// file order, fields separated by tabs.
#include "commands.h"

#include "display_profiles.h"
#include "executable_directory.h"

#include <cstdio>

int RunProfiles(const CommandArgs& args) {
    std::string path;
    if (const auto status = TakeSingleOperand(args, "profile file", path)) {
        return *status;
    }
    if (path.empty()) {
        path = DefaultProfilePath();
    }

    DisplayProfileList profiles;
    if (LoadDisplayProfiles(path, profiles) == 0) {
        return Failure("cannot open profile file '" + path + "'");
    }
    int index = 0;
    for (const DisplayProfile& profile : profiles) {
        std::printf("%d\t%s\t%u\t%u\t%s\n", index++, profile.name.c_str(),
                    static_cast<unsigned>(profile.layout), static_cast<unsigned>(profile.depth),
                    profile.description.c_str());
    }
    return EXIT_DONE;
}
