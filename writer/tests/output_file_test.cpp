// Tests of OutputFile: the target appears only on Commit, replaces an existing file, is
// never touched by a failed or abandoned write, and temporary names stay short and new.
#include "output_file.h"

#include "writer_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

using writer_test::Bytes;
using writer_test::ScratchFolder;

namespace {

bool WriteAll(std::FILE* file, const Bytes& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

TEST(OutputFileTest, CommitCreatesTheTargetAndLeavesNothingElse) {
    ScratchFolder folder("commit");
    const std::string target = folder.File("picture.ztr");
    OutputFile output(target);
    ASSERT_TRUE(output.Open());
    EXPECT_EQ(std::filesystem::path(output.TemporaryPath()).parent_path(), folder.Path());
    EXPECT_FALSE(std::filesystem::exists(target));
    ASSERT_TRUE(WriteAll(output.File(), {1, 2, 3, 250}));
    EXPECT_TRUE(output.Commit());
    EXPECT_EQ(writer_test::ReadWholeFile(target), (Bytes{1, 2, 3, 250}));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"picture.ztr"});
}

// The notices follow the temporary file's life: a taken name is passed over, the file
// exists from Created to Ending, and a commit ends it as a removal does.
TEST(OutputFileTest, NoticesFollowTheTemporaryFile) {
    ScratchFolder folder("notices");
    writer_test::WriteWholeFile(folder.File("~zt0.tmp"), Bytes{9});
    using Event = TemporaryFileEvent;
    for (const bool commit : {true, false}) {
        SCOPED_TRACE(commit);
        std::filesystem::remove(folder.File("a.ztr"));
        std::vector<std::pair<std::string, Event>> notices;
        std::vector<bool> existed;
        {
            OutputFile output(folder.File("a.ztr"), [&](const std::string& path, Event event) {
                notices.emplace_back(std::filesystem::path(path).filename().string(), event);
                existed.push_back(std::filesystem::exists(path));
            });
            ASSERT_TRUE(output.Open());
            if (commit) {
                ASSERT_TRUE(output.Commit());
            }
        }
        EXPECT_EQ(notices,
                  (std::vector<std::pair<std::string, Event>>{{"~zt0.tmp", Event::Creating},
                                                              {"~zt0.tmp", Event::NotCreated},
                                                              {"~zt1.tmp", Event::Creating},
                                                              {"~zt1.tmp", Event::Created},
                                                              {"~zt1.tmp", Event::Ending},
                                                              {"~zt1.tmp", Event::Gone}}));
        EXPECT_EQ(existed, (std::vector<bool>{true, true, false, true, true, false}));
        EXPECT_EQ(writer_test::ReadWholeFile(folder.File("~zt0.tmp")), Bytes{9});
        EXPECT_EQ(std::filesystem::exists(folder.File("a.ztr")), commit);
    }
}

TEST(OutputFileTest, CommitReplacesAnExistingTarget) {
    ScratchFolder folder("replace");
    const std::string target = folder.File("picture.ztr");
    writer_test::WriteWholeFile(target, Bytes{9, 9, 9, 9, 9, 9});
    {
        OutputFile output(target);
        ASSERT_TRUE(output.Open());
        ASSERT_TRUE(WriteAll(output.File(), {4, 5}));
        EXPECT_TRUE(output.Commit());
    }
    EXPECT_EQ(writer_test::ReadWholeFile(target), (Bytes{4, 5}));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"picture.ztr"});
}

TEST(OutputFileTest, UncommittedWriteLeavesTheTargetAlone) {
    ScratchFolder folder("abandon");
    const std::string target = folder.File("picture.ztr");
    writer_test::WriteWholeFile(target, Bytes{7, 6, 5});
    {
        OutputFile output(target);
        ASSERT_TRUE(output.Open());
        ASSERT_TRUE(WriteAll(output.File(), {1}));
        EXPECT_EQ(folder.Entries().size(), 2u);
    }
    EXPECT_EQ(writer_test::ReadWholeFile(target), (Bytes{7, 6, 5}));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"picture.ztr"});
}

TEST(OutputFileTest, TemporaryNamesNeverReuseExistingFiles) {
    ScratchFolder folder("unique");
    const std::string target = folder.File("picture.ztr");
    std::string probeName;
    {
        OutputFile probe(target);
        ASSERT_TRUE(probe.Open());
        probeName = std::filesystem::path(probe.TemporaryPath()).filename().string();
    }
    // The next few names in the same scheme are taken by unrelated files.
    ASSERT_EQ(probeName.rfind("~zt", 0), 0u);
    const unsigned probeNumber = static_cast<unsigned>(std::stoul(probeName.substr(3)));
    std::vector<std::string> unrelated;
    for (unsigned n = probeNumber + 1; n <= probeNumber + 5; ++n) {
        unrelated.push_back(folder.File("~zt" + std::to_string(n) + ".tmp"));
        writer_test::WriteWholeFile(unrelated.back(), Bytes{static_cast<std::uint8_t>(n)});
    }
    OutputFile first(target);
    OutputFile second(target);
    ASSERT_TRUE(first.Open());
    ASSERT_TRUE(second.Open());
    EXPECT_NE(first.TemporaryPath(), second.TemporaryPath());
    for (const std::string& path : unrelated) {
        EXPECT_NE(first.TemporaryPath(), path);
        EXPECT_NE(second.TemporaryPath(), path);
    }
    ASSERT_TRUE(WriteAll(second.File(), {42}));
    EXPECT_TRUE(second.Commit());
    first.Discard();
    for (unsigned n = 0; n < unrelated.size(); ++n) {
        EXPECT_EQ(writer_test::ReadWholeFile(unrelated[n]),
                  (Bytes{static_cast<std::uint8_t>(probeNumber + 1 + n)}));
    }
    EXPECT_EQ(writer_test::ReadWholeFile(target), (Bytes{42}));
}

// A folder whose path, separator included, is `length` characters long, built from
// components of at most 100 characters.
std::string FolderOfLength(const ScratchFolder& base, std::size_t length) {
    std::string folder = base.Path().string();
    const std::size_t wanted = length - 1;
    while (folder.size() < wanted) {
        const std::size_t remaining = wanted - folder.size();
        std::size_t name = std::min<std::size_t>(100, remaining - 1);
        if (remaining - 1 - name == 1) {
            --name; // leave room for one more "/" and a name of at least one character
        }
        folder += "/" + std::string(name, 'd');
        std::filesystem::create_directories(folder);
    }
    return folder + "/";
}

TEST(OutputFileTest, TemporaryPathFitsWheneverTheTargetFits) {
    ScratchFolder base("long");
    const std::string target = FolderOfLength(base, MAX_PATH_CHARS - 5) + "a.ztr";
    ASSERT_EQ(target.size(), MAX_PATH_CHARS);
    OutputFile output(target);
    ASSERT_TRUE(output.Open());
    EXPECT_LE(output.TemporaryPath().size(), MAX_PATH_CHARS);
    ASSERT_TRUE(WriteAll(output.File(), {3}));
    EXPECT_TRUE(output.Commit());
    EXPECT_EQ(writer_test::ReadWholeFile(target), (Bytes{3}));
}

TEST(OutputFileTest, RefusesTooLongPathsAndMissingFolders) {
    ScratchFolder folder("refuse");
    OutputFile tooLong(folder.File(std::string(MAX_PATH_CHARS, 'x')));
    EXPECT_FALSE(tooLong.Open());
    EXPECT_EQ(tooLong.File(), nullptr);
    OutputFile missing(folder.File("no-such-folder/picture.ztr"));
    EXPECT_FALSE(missing.Open());
    EXPECT_TRUE(folder.Entries().empty());
}

TEST(OutputFileTest, FailedRenameKeepsWhatIsThere) {
    ScratchFolder folder("rename");
    // A non-empty folder of the target's name cannot be replaced by a file.
    const std::string target = folder.File("picture.ztr");
    std::filesystem::create_directories(target);
    writer_test::WriteWholeFile(target + "/inside", Bytes{1});
    OutputFile output(target);
    ASSERT_TRUE(output.Open());
    ASSERT_TRUE(WriteAll(output.File(), {2}));
    EXPECT_FALSE(output.Commit());
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"picture.ztr"});
    EXPECT_EQ(writer_test::ReadWholeFile(target + "/inside"), (Bytes{1}));
}

#ifndef _WIN32
TEST(OutputFileDeathTest, FileSizeLimitFailsTheCommit) {
    ScratchFolder folder("limit");
    const std::string target = folder.File("picture.ztr");
    writer_test::WriteWholeFile(target, Bytes{8, 8});
    EXPECT_EXIT(
        {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            limit.rlim_cur = 100;
            limit.rlim_max = 100;
            setrlimit(RLIMIT_FSIZE, &limit);
            OutputFile output(target);
            const bool opened = output.Open();
            WriteAll(output.File(), Bytes(5000, 1)); // buffered: may fail only on flush
            std::_Exit(opened && !output.Commit() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(writer_test::ReadWholeFile(target), (Bytes{8, 8}));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"picture.ztr"});
}
#endif

} // namespace
