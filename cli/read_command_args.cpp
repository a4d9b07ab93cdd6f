// Reading a command's arguments: the loop that export and render share.
#include "read_command_args.h"

#include <algorithm>

namespace {

bool IsOneOf(const std::vector<std::string>& words, const std::string& arg) {
    return std::find(words.begin(), words.end(), arg) != words.end();
}

} // namespace

std::optional<int> ReadCommandArgs(const CommandArgs& args, const CommandWords& words,
                                   std::vector<std::string>& operands) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (IsHelpOption(arg)) {
            PrintHelp();
            return EXIT_DONE;
        }
        if (IsOneOf(words.flags, arg)) {
            words.onFlag(arg);
        } else if (IsOneOf(words.valued, arg)) {
            if (i + 1 == args.size()) {
                return UsageError("option '" + arg + "' needs a value");
            }
            if (const auto status = words.onValue(arg, args[++i])) {
                return status;
            }
        } else if (arg.size() > 1 && arg[0] == '-' && !(words.isOperand && words.isOperand(arg))) {
            return UsageError("unknown option '" + arg + "'");
        } else {
            operands.push_back(arg);
        }
    }
    return std::nullopt;
}
