// The one loop by which the commands with options read their arguments: help, flags,
// options with a value, unknown options and operands, each found the same way and
// refused with the same words.
#pragma once

#include "commands.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct CommandWords {
    std::vector<std::string> flags;  // options that stand alone
    std::vector<std::string> valued; // options that take the next argument as their value
    // Called for a flag, and for a valued option with its value; a status ends the
    // command there (a value that is wrong).
    std::function<void(const std::string& flag)> onFlag;
    std::function<std::optional<int>(const std::string& option, const std::string& value)> onValue;
    // Whether an argument that starts with '-' is an operand after all (a negative
    // number); none: never.
    std::function<bool(const std::string& arg)> isOperand;
};

// Reads the arguments in order into the words' calls and the operands. "-h" or "--help"
// prints the help and ends the command with EXIT_DONE; a valued option at the end is
// "option '...' needs a value"; any other argument longer than "-" that starts with '-'
// is "unknown option '...'". Returns the exit status when the command ends here.
std::optional<int> ReadCommandArgs(const CommandArgs& args, const CommandWords& words,
                                   std::vector<std::string>& operands);
