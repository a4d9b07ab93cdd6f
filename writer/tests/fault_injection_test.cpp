// Fault injection on the conversion writer: an output folder that refuses new files, an
// output name taken by a folder, a file size limit that stops the writing midway, a
// run-length coder that runs out of memory, and a source picture that disappears between
// two loads of one conversion. After each, the
// conversion reports one failure, no partial output remains and an existing output file
// keeps its bytes.
#include "convert_images.h"

#include "system_reasons.h"
#include "type_code.h"
#include "writer_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <poll.h>
#include <sys/inotify.h>
#endif

using writer_test::Bytes;

namespace {

// A folder of its own for every test and process, so parallel runs never meet.
using FaultFolder = writer_test::ScratchFolder;

// An odd-sized grey picture whose rows and columns all differ, as a raw PGM.
Bytes GreyPicture(int width, int height, int seed) {
    const std::string header =
        "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    Bytes bytes(header.begin(), header.end());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bytes.push_back(
                static_cast<std::uint8_t>((x * 37 + y * 11 + seed * 59 + x * y) & 0xFF));
        }
    }
    return bytes;
}

const Bytes OldOutput = {0x4F, 0x4C, 0x44, 0x00, 0x02, 0xA2, 0x7E};

#ifndef _WIN32
constexpr int CHILD_SKIPPED = 77;

// Runs body in a forked child and returns its exit status (-1 when it did not exit).
// The child leaves with _exit, so that nothing of the parent's state is torn down twice.
int RunInChild(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        _exit(body());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The conversion in the child must fail with exactly this one message.
int ConvertExpectingFailure(const std::vector<std::string>& pictures,
                            const std::vector<std::uint32_t>& types, const std::string& message) {
    writer_test::MessageRecorder messages;
    const Outcome result =
        WritePicturesAsFrames(pictures, types, 40, ConversionContext{messages.Sink()});
    if (result == Outcome{}) {
        return 2;
    }
    return messages.Messages() == std::vector<std::string>{message} ? 0 : 3;
}

TEST(WriterFaultTest, OutputFolderThatRefusesNewFiles) {
    // The folder is read-only; as root the child gives up its privileges first, since
    // root may write anywhere.
    for (const bool existing : {false, true}) {
        FaultFolder folder("read_only");
        const std::string picture = folder.File("logo.pgm");
        const std::string output = folder.File("logo.ztr");
        writer_test::WriteWholeFile(picture, GreyPicture(13, 7, 1));
        if (existing) {
            writer_test::WriteWholeFile(output, OldOutput);
        }
        ASSERT_EQ(chmod(folder.Path().c_str(), 0555), 0);
        const int status = RunInChild([&] {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
                return CHILD_SKIPPED;
            }
            return ConvertExpectingFailure({picture}, {MakeTypeCode(0x00, 1)},
                                           "ERROR: failed to open file '" + output +
                                               "' for writing\n  Permission denied\n");
        });
        ASSERT_EQ(chmod(folder.Path().c_str(), 0755), 0);
        if (status == CHILD_SKIPPED) {
            GTEST_SKIP() << "cannot give up root privileges, so the folder cannot refuse writes";
        }
        EXPECT_EQ(status, 0) << "existing output: " << existing;
        if (existing) {
            EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"logo.pgm", "logo.ztr"}));
            EXPECT_EQ(writer_test::ReadWholeFile(output), OldOutput);
        } else {
            EXPECT_EQ(folder.Entries(), std::vector<std::string>{"logo.pgm"});
        }
    }
}

TEST(WriterFaultTest, FileSizeLimitStopsTheWritingMidway) {
    // Three frames for three types make a file of a few kilobytes; each limit cuts it at
    // a different place: before the first header, inside a header, inside pixel data,
    // inside a later sequence.
    FaultFolder folder("size_limit");
    const std::string first = folder.File("anim.pgm");
    const std::string second = folder.File("anim_b.pgm");
    const std::string output = folder.File("anim.ztr");
    writer_test::WriteWholeFile(first, GreyPicture(131, 45, 1));
    writer_test::WriteWholeFile(second, GreyPicture(131, 45, 2));
    const std::vector<std::string> pictures = {first, second, first};
    const std::vector<std::uint32_t> types = {MakeTypeCode(0x01, 8), MakeTypeCode(0x06, 1),
                                              MakeTypeCode(0x10, 1)};

    ASSERT_EQ(WritePicturesAsFrames(pictures, types, 40, ConversionContext{}), Outcome{});
    const Bytes whole = writer_test::ReadWholeFile(output);
    ASSERT_GT(whole.size(), 9000u);

    for (const rlim_t limit :
         {rlim_t{0}, rlim_t{7}, rlim_t{12}, rlim_t{300}, rlim_t{4096}, rlim_t{whole.size() - 1}}) {
        writer_test::WriteWholeFile(output, OldOutput);
        const int status = RunInChild([&] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit fileSize{};
            fileSize.rlim_cur = limit;
            fileSize.rlim_max = limit;
            if (setrlimit(RLIMIT_FSIZE, &fileSize) != 0) {
                return 4;
            }
            return ConvertExpectingFailure(pictures, types,
                                           "ERROR: failed to write file '" + output +
                                               "'\n  File too large\n");
        });
        EXPECT_EQ(status, 0) << "limit " << limit;
        EXPECT_EQ(writer_test::ReadWholeFile(output), OldOutput) << "limit " << limit;
        EXPECT_EQ(folder.Entries(),
                  (std::vector<std::string>{"anim.pgm", "anim.ztr", "anim_b.pgm"}))
            << "limit " << limit;
    }

    // At exactly the file's size nothing is cut and the same file is written again.
    const int status = RunInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit fileSize{};
        fileSize.rlim_cur = whole.size();
        fileSize.rlim_max = whole.size();
        return setrlimit(RLIMIT_FSIZE, &fileSize) == 0
                   ? (WritePicturesAsFrames(pictures, types, 40, ConversionContext{}) == Outcome{}
                          ? 0
                          : 1)
                   : 4;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(writer_test::ReadWholeFile(output), whole);
}
#endif

TEST(WriterFaultTest, OutputNameTakenByAFolder) {
    FaultFolder folder("name_taken");
    const std::string picture = folder.File("logo.pgm");
    const std::string output = folder.File("logo.ztr");
    writer_test::WriteWholeFile(picture, GreyPicture(9, 5, 3));
    std::filesystem::create_directories(output);
    writer_test::WriteWholeFile(output + "/keep", OldOutput);

    writer_test::MessageRecorder messages;
    EXPECT_NE(WritePicturesAsFrames({picture}, {MakeTypeCode(0x02, 1), MakeTypeCode(0x00, 8)}, 0,
                                    ConversionContext{messages.Sink()}),
              Outcome{});
    EXPECT_EQ(messages.Messages(),
              std::vector<std::string>{"ERROR: failed to write file '" + output + "'\n" +
                                       RenameOntoFolderReason(folder.File("~zt0.tmp"))});
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"logo.pgm", "logo.ztr"}));
    EXPECT_EQ(writer_test::ReadWholeFile(output + "/keep"), OldOutput);
}

// The coder's buffer cannot grow: at the first block, or only in the second display type
// after the first type's records were written. The conversion reports it once, removes
// its temporary file, keeps the old output, and the next conversion works as usual.
TEST(WriterFaultTest, CoderOutOfMemoryIsReportedAndTheProgramGoesOn) {
    const struct {
        const char* name;
        CoderAllocator allocate;
    } cases[] = {
        {"no first block", writer_test::AllocateUpTo<8>},
        {"second type's growth", writer_test::AllocateUpTo<512>},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FaultFolder folder("memory");
        const std::string picture = folder.File("logo.pgm");
        const std::string output = folder.File("logo.ztr");
        writer_test::WriteWholeFile(picture, GreyPicture(61, 37, 1));
        writer_test::WriteWholeFile(output, OldOutput);
        // 1-bit row order codes into at most 8 x 37 bytes; 8-bit needs 61 x 37.
        const std::vector<std::uint32_t> types = {MakeTypeCode(0x00, 1), MakeTypeCode(0x00, 8)};

        writer_test::MessageRecorder messages;
        EXPECT_NE(WritePicturesAsFrames({picture, picture}, types, 0,
                                        ConversionContext{messages.Sink(), c.allocate}),
                  Outcome{});
        EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Out of memory!\n"});
        EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"logo.pgm", "logo.ztr"}));
        EXPECT_EQ(writer_test::ReadWholeFile(output), OldOutput);

        EXPECT_EQ(
            WritePicturesAsFrames({picture, picture}, types, 0, ConversionContext{messages.Sink()}),
            Outcome{});
        EXPECT_EQ(messages.Messages().size(), 1u);
        EXPECT_NE(writer_test::ReadWholeFile(output), OldOutput);
    }
}

#ifdef __linux__
// Removes a picture as soon as the writer has read it for the first time: the file is
// watched, and the first close after reading ends its life. Whether the writer's next
// load comes after the removal depends on scheduling; the caller sees which happened
// from the conversion's result.
class RemoveAfterFirstRead {
  public:
    explicit RemoveAfterFirstRead(const std::string& path) : path_(path) {
        watcher_ = inotify_init1(IN_NONBLOCK);
        if (watcher_ >= 0 && inotify_add_watch(watcher_, path.c_str(), IN_CLOSE_NOWRITE) >= 0) {
            thread_ = std::thread([this] { Watch(); });
        }
    }
    ~RemoveAfterFirstRead() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        if (watcher_ >= 0) {
            close(watcher_);
        }
    }
    RemoveAfterFirstRead(const RemoveAfterFirstRead&) = delete;
    RemoveAfterFirstRead& operator=(const RemoveAfterFirstRead&) = delete;

    bool Watching() const { return thread_.joinable(); }

  private:
    void Watch() {
        alignas(inotify_event) char events[4096];
        while (!stop_) {
            pollfd ready{watcher_, POLLIN, 0};
            if (poll(&ready, 1, 5) > 0 && read(watcher_, events, sizeof events) > 0) {
                std::filesystem::remove(path_);
                return;
            }
        }
    }

    std::string path_;
    int watcher_ = -1;
    std::thread thread_;
    std::atomic<bool> stop_{false};
};

struct RemovalCase {
    const char* name;
    std::vector<std::string> pictures; // file names in the folder; the first is removed
    std::vector<std::uint32_t> typeCodes;
};

TEST(WriterFaultTest, PictureRemovedAfterItsOneRead) {
    // Each picture is read once for all display types and frames, so that removing it
    // after that read changes nothing: the file is written as without the removal.
    const RemovalCase cases[] = {
        {"between display types", {"logo.pgm"}, {MakeTypeCode(0x01, 8), MakeTypeCode(0x16, 1)}},
        {"between frames of an animation",
         {"logo.pgm", "other.pgm", "logo.pgm"},
         {MakeTypeCode(0x00, 8)}},
    };
    for (const RemovalCase& c : cases) {
        FaultFolder folder("removed");
        const std::string picture = folder.File(c.pictures.front());
        const std::string output = folder.File("logo.ztr");
        std::vector<std::string> paths;
        for (const std::string& name : c.pictures) {
            paths.push_back(folder.File(name));
        }
        writer_test::WriteWholeFile(folder.File("other.pgm"), GreyPicture(1201, 997, 2));
        writer_test::WriteWholeFile(picture, GreyPicture(1201, 997, 1));
        ASSERT_EQ(WritePicturesAsFrames(paths, c.typeCodes, 0, ConversionContext{}), Outcome{})
            << c.name;
        const Bytes expected = writer_test::ReadWholeFile(output);

        writer_test::WriteWholeFile(output, OldOutput);
        writer_test::MessageRecorder messages;
        {
            RemoveAfterFirstRead remover(picture);
            ASSERT_TRUE(remover.Watching()) << c.name;
            EXPECT_EQ(
                WritePicturesAsFrames(paths, c.typeCodes, 0, ConversionContext{messages.Sink()}),
                Outcome{})
                << c.name;
        }
        EXPECT_TRUE(messages.Messages().empty()) << c.name;
        EXPECT_EQ(writer_test::ReadWholeFile(output), expected) << c.name;
    }
}
#endif

} // namespace
