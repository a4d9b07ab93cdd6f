// The ztr commands. Each takes the arguments that follow its own name and returns the
// process exit status.
#pragma once

#include "outcome.h"

#include <optional>
#include <string>
#include <vector>

using CommandArgs = std::vector<std::string>;

inline constexpr int EXIT_DONE = 0;   // everything was written or printed
inline constexpr int EXIT_FAILED = 1; // a conversion, a file or a decoding failed
inline constexpr int EXIT_USAGE = 2;  // the command line itself is wrong

int RunConvert(const CommandArgs& args);
int RunProfiles(const CommandArgs& args);
int RunList(const CommandArgs& args);
int RunRender(const CommandArgs& args);
int RunExport(const CommandArgs& args);
int RunProbe(const CommandArgs& args);

// Prints "ztr: MESSAGE" and the hint to --help on standard error; returns EXIT_USAGE.
int UsageError(const std::string& message);

// Prints "ztr: MESSAGE" on standard error; returns EXIT_FAILED.
int Failure(const std::string& message);

// The same for an engine call's outcome, in its text (OutcomeText); and as a usage error.
int Failure(const Outcome& outcome);
int UsageError(const Outcome& outcome);

// Prints "ztr: MESSAGE" and then the reason line (system_reason.h; nothing when empty) on
// standard error; returns EXIT_FAILED.
int Failure(const std::string& message, const std::string& reasonLine);

// Reads the arguments of a command that takes at most one operand and no options into
// operand (left empty when none is given). Returns an exit status when the command ends
// here: help was printed, or the command line is wrong ("more than one WHAT given").
std::optional<int> TakeSingleOperand(const CommandArgs& args, const std::string& what,
                                     std::string& operand);

// True when the text is "-h" or "--help": every command prints the overall help then.
bool IsHelpOption(const std::string& text);
void PrintHelp();
