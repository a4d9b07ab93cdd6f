// Splitting a command line into its arguments, as both programs take the paths the shell
// passes them ("Open with", "Send to", file associations quote paths with blanks).
#include "command_line.h"

#include <cstddef>
#include <utility>

std::vector<std::string> SplitCommandLine(const char* commandLine) {
    std::vector<std::string> arguments;
    if (commandLine == nullptr) {
        return arguments;
    }
    const char* p = commandLine;
    for (;;) {
        while (*p == ' ' || *p == '\t') {
            ++p;
        }
        if (*p == '\0') {
            return arguments;
        }
        std::string argument;
        bool quoted = false;
        while (*p != '\0' && (quoted || (*p != ' ' && *p != '\t'))) {
            if (*p == '\\') {
                std::size_t backslashes = 0;
                while (*p == '\\') {
                    ++backslashes;
                    ++p;
                }
                if (*p == '"') {
                    argument.append(backslashes / 2, '\\');
                    if (backslashes % 2 == 1) {
                        argument += '"';
                        ++p;
                    }
                } else {
                    argument.append(backslashes, '\\');
                }
            } else if (*p == '"') {
                quoted = !quoted;
                ++p;
            } else {
                argument += *p++;
            }
        }
        arguments.push_back(std::move(argument));
    }
}
