// The C header writer's names and parts: the array name a path gives, which names stand
// as C identifiers, and where the split form cuts the bytes (at the AVR array limit, the
// last part holding the rest).
#include "c_header.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

TEST(CHeaderTest, NamesArraysAfterTheFile) {
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"logo.ztr", "logo"},
        {"dir/sub/Splash_2.ztr", "Splash_2"},
        {"C:\\pics\\3d-logo.v2.ztr", "ztr_3d_logo_v2"},
        {"dir.d/plain", "plain"},
        {".hidden", "_hidden"},
        {"", "ztr_"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NameFromPath(c.path), c.name) << c.path;
        EXPECT_TRUE(IsIdentifier(NameFromPath(c.path))) << c.path;
    }
    for (const char* bad : {"", "9lives", "a-b", "a b", "é"}) {
        EXPECT_FALSE(IsIdentifier(bad)) << bad;
    }
}

TEST(CHeaderTest, SplitsAtTheAvrArrayLimit) {
    const struct {
        std::size_t size;
        const char* parts;    // the NAME_PARTS line
        const char* lastPart; // the last part's declarator
    } cases[] = {
        {0, "#define PIC_PARTS 1u", "pic_0[1] ZTR_IN_FLASH"},
        {AVR_ARRAY_LIMIT, "#define PIC_PARTS 1u", "pic_0[32767] ZTR_IN_FLASH"},
        {AVR_ARRAY_LIMIT + 1, "#define PIC_PARTS 2u", "pic_1[1] ZTR_IN_FLASH"},
        {2 * AVR_ARRAY_LIMIT + 5, "#define PIC_PARTS 3u", "pic_2[5] ZTR_IN_FLASH"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        const std::string header =
            SplitDeclarationHeaderText("pic.ztr", "pic", c.size, {"a record"});
        EXPECT_NE(header.find(c.parts), std::string::npos);
        EXPECT_NE(header.find(c.lastPart), std::string::npos);
        const std::string source =
            SplitSourceText("pic.h", "pic", std::vector<std::uint8_t>(c.size, 0xA5));
        EXPECT_NE(source.find(c.lastPart), std::string::npos);
    }
}

} // namespace
