// SameFile and SamePathText: one file under several names, and names that only look alike.
#include "same_file.h"

#include "writer_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using writer_test::ScratchFolder;

namespace {

TEST(SameFileTest, OneFileUnderAnyNameAndNoOtherFile) {
    ScratchFolder folder("same_file");
    const std::filesystem::path root = folder.Path();
    std::filesystem::create_directories(root / "sub");
    std::ofstream(root / "a.ztr") << "a";
    std::ofstream(root / "b.ztr") << "b";
    std::filesystem::create_hard_link(root / "a.ztr", root / "hard.ztr");
    const auto at = [&root](const char* name) { return (root / name).string(); };
    const struct {
        std::string first;
        std::string second;
        bool same;
        bool sameText;
    } cases[] = {
        {at("a.ztr"), at("a.ztr"), true, true},
        {at("a.ztr"), at("sub/../a.ztr"), true, true},
        {at("a.ztr"), at("./a.ztr"), true, true},
        {at("a.ztr"), at("hard.ztr"), true, false},        // a second name of one file
        {at("a.ztr"), at("b.ztr"), false, false},          // two files
        {at("a.ztr"), at("sub/a.ztr"), false, false},      // one exists, one does not
        {at("new.ztr"), at("sub/../new.ztr"), true, true}, // neither exists yet
        {at("new.ztr"), at("sub/new.ztr"), false, false},
        {at("new.ztr"), at("new.zt"), false, false},
        {at("gone/new.ztr"), at("gone/../gone/new.ztr"), true, true}, // nor its folder
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first + " | " + c.second);
        EXPECT_EQ(SameFile(c.first, c.second), c.same);
        EXPECT_EQ(SameFile(c.second, c.first), c.same);
        EXPECT_EQ(SamePathText(c.first, c.second), c.sameText);
    }
}

#ifndef _WIN32
// A folder reached through a link holds the same entries, existing or to be written.
TEST(SameFileTest, AFolderUnderTwoNames) {
    ScratchFolder folder("same_file_link");
    const std::filesystem::path root = folder.Path();
    std::filesystem::create_directory_symlink(".", root / "link");
    std::ofstream(root / "a.ztr") << "a";
    EXPECT_TRUE(SameFile((root / "a.ztr").string(), (root / "link/a.ztr").string()));
    EXPECT_TRUE(SameFile((root / "new.ztr").string(), (root / "link/new.ztr").string()));
    EXPECT_FALSE(SamePathText((root / "new.ztr").string(), (root / "link/new.ztr").string()));
}
#endif

} // namespace
