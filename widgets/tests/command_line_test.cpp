// Splitting command lines as the shell writes them: quoted paths with blanks, several
// arguments, and the backslash rules before quotes.
#include "command_line.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char* line;
    std::vector<std::string> arguments;
};

TEST(CommandLineTest, SplitsAsThePlatformDoes) {
    const SplitCase cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"C:\\pics\\anim.ztr", {"C:\\pics\\anim.ztr"}},
        {"\"C:\\my pics\\a b.ztr\"", {"C:\\my pics\\a b.ztr"}},
        {"  a.bmp \"C:\\x y\\b.pgm\"\tc.pbm ", {"a.bmp", "C:\\x y\\b.pgm", "c.pbm"}},
        {"C:\\my\" \"pics\\a.bmp", {"C:\\my pics\\a.bmp"}},
        {"\"C:\\dir\\\\\" next", {"C:\\dir\\", "next"}},
        {"a\\\\\\\"b c\\\\d", {"a\\\"b", "c\\\\d"}},
        {"\"\" x", {"", "x"}},
        {"\"unclosed quote", {"unclosed quote"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(SplitCommandLine(c.line), c.arguments) << c.line;
    }
    EXPECT_TRUE(SplitCommandLine(nullptr).empty());
}

} // namespace
