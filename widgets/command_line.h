// The arguments of a program's command line as the platform hands it to WinMain (without the
// program's own name): blanks separate arguments, double quotes group blanks into one.
#pragma once

#include <string>
#include <vector>

// Splits by the platform's rules: blanks and tabs separate arguments outside quotes; a
// double quote starts or ends a quoted part and is dropped; 2n backslashes before a quote
// give n backslashes, 2n + 1 give n and a literal quote; other backslashes stay as they are.
std::vector<std::string> SplitCommandLine(const char* commandLine);
