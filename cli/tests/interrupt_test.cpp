// ztr interrupted while it writes: SIGINT, SIGTERM or SIGHUP sent once the temporary file
// exists ends it by that signal, with the temporary file removed and an existing output
// as it was.
#include "ztr_runner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

TEST(ZtrInterrupt, RemovesTheTemporaryFileAndEndsByTheSignal) {
    ScratchDirectory dir("interrupt");
    WriteWholeFile(dir / "big.pgm", NoisyPgm(1999, 1501, 17));
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        WriteWholeFile(dir / "big.ztr", "old");
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (chdir(dir.path().c_str()) == 0 && freopen("/dev/null", "w", stderr)) {
                execl(ZTR_EXECUTABLE, "ztr", "convert", "--animation", "--dither",
                      "floyd-steinberg", "--code", "0x10006", "--code", "0x20000", "--code",
                      "0x100004", "big.pgm", "big.pgm", "big.pgm", "big.pgm", "big.pgm",
                      static_cast<char*>(nullptr));
            }
            _exit(127);
        }
        // Sent as soon as the temporary file is there; a ztr that ends first fails below.
        int status = 0;
        bool ended = false;
        while (!fs::exists(dir / "~zt0.tmp") && !ended) {
            ended = waitpid(child, &status, WNOHANG) == child;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_FALSE(ended) << "ztr ended before its temporary file was seen";
        kill(child, signal);
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WIFSIGNALED(status) ? WTERMSIG(status) : 0, signal);
        EXPECT_EQ(FolderEntries(dir.path()), (std::vector<std::string>{"big.pgm", "big.ztr"}));
        EXPECT_EQ(ReadWholeFile(dir / "big.ztr"), "old");
    }
}

} // namespace
