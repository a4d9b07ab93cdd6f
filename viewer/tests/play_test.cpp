// View > Play: the frames of a sequence follow one another on the window's timer, each for its
// record's time, built up and zoomed as shown; every event that should stop playing does.
// The timer is recorded, not run: the test fires it by sending WM_TIMER.
#include "window_test_support.h"

#include "decode_record.h"
#include "little_endian.h"
#include "viewer_window.h"

#include <filesystem>

namespace {

struct TimerCall {
    HWND window;
    UINT_PTR id;
    UINT elapse; // 0 for KillTimer
    bool kill;
};
std::vector<TimerCall> Timers;

UINT_PTR WINAPI RecordSetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure) {
    EXPECT_EQ(procedure, nullptr) << "the frames must arrive as WM_TIMER in the window";
    Timers.push_back({window, id, elapse, false});
    return id;
}

BOOL WINAPI RecordKillTimer(HWND window, UINT_PTR id) {
    Timers.push_back({window, id, 0, true});
    return TRUE;
}

class PlayTest : public ViewerWindowTest {
  protected:
    void SetUp() override {
        ViewerWindowTest::SetUp();
        Timers.clear();
        PlatformCalls.SetTimer = RecordSetTimer;
        PlatformCalls.KillTimer = RecordKillTimer;
    }

    // Three 21 x 9 pictures and the first again, for an 8-bit row-order display and a 1-bit
    // banded-rows display with inverted Y-axis: records 0-3 and 4-7, 3 and 7 flagged last.
    // Delays as stored are 40; record 1 is set to 0, record 2 to 250, record 3 to 70.
    std::string MakeAnimation() {
        GreyPicture a = MakeTestPicture(21, 9);
        GreyPicture b = a;
        GreyPicture c = a;
        for (int x = 3; x < 12; ++x) {
            b.pixels[2 * 21 + x] = static_cast<std::uint8_t>(255 - b.pixels[2 * 21 + x]);
            c.pixels[7 * 21 + x + 6] = static_cast<std::uint8_t>(255 - c.pixels[7 * 21 + x + 6]);
        }
        const std::vector<std::string> pgms{data_.File("a.pgm"), data_.File("b.pgm"),
                                            data_.File("c.pgm"), data_.File("a.pgm")};
        WritePgm(pgms[0], a);
        WritePgm(pgms[1], b);
        WritePgm(pgms[2], c);
        const std::string file = ConvertPictures(pgms, {TypeCode(0x00, 8), TypeCode(0x12, 1)}, 40);
        Bytes bytes = ReadFileBytes(file);
        const std::pair<int, std::uint16_t> delays[] = {{1, 0}, {2, 250}, {3, 70}};
        for (const auto& [record, delay] : delays) {
            PutU16LE(bytes.data() + RecordOffset(bytes, record) + 12, delay);
        }
        WriteFileBytes(file, bytes);
        return file;
    }

    void Tick() { SendMessageA(window_, WM_TIMER, 1, 0); }

    enum class Event { PlayAgain, UserSelects, FileOpened, WindowCloses };
    void Happen(Event event, const std::string& otherFile) {
        switch (event) {
        case Event::PlayAgain:
            Command(109);
            break;
        case Event::UserSelects:
            SelectLine(5);
            break;
        case Event::FileOpened:
            OpenThroughDialog(otherFile);
            break;
        case Event::WindowCloses:
            DestroyWindowNow();
            break;
        }
    }

    bool PlayChecked() {
        HMENU view = GetSubMenu(GetMenu(window_), 2);
        SendMessageA(window_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 2);
        return (GetMenuState(view, 109, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }

    ::testing::AssertionResult ShowsBuiltUp(const std::string& file, int record, int zoom,
                                            bool invert) {
        DisplayBitmap built;
        DecodeRecord(file, record, true, built);
        const ClientPixels shown = CaptureClient(window_);
        return SameBelow(shown, ExpectedPicture(built, zoom, invert, shown.width, shown.height),
                         60);
    }
};

struct Frame {
    int record;  // shown and selected
    UINT elapse; // the timer set for it
};

TEST_F(PlayTest, FramesFollowOnTheTimerWithTheirTimesAndLoopToTheFullFrame) {
    const std::string file = MakeAnimation();
    CreateWindowNow();
    OpenThroughDialog(file);
    const struct {
        int start;
        std::vector<Frame> frames; // the first is shown at once, the others on each tick
    } runs[] = {
        // The full frame stands for the time of the record flagged last; a delay of 0 is 100.
        {0, {{0, 70}, {1, 100}, {2, 250}, {3, 70}, {0, 70}, {1, 100}}},
        {2, {{2, 250}, {3, 70}, {0, 70}}},
        // The second display type's sequence loops by itself.
        {6, {{6, 40}, {7, 40}, {4, 40}, {5, 40}, {6, 40}}},
    };
    for (const auto& run : runs) {
        SelectLine(run.start);
        Timers.clear();
        Command(109);
        for (std::size_t i = 0; i < run.frames.size(); ++i) {
            if (i > 0) {
                Tick();
            }
            const Frame& frame = run.frames[i];
            ASSERT_EQ(Timers.size(), i + 1) << "start " << run.start << ", frame " << i;
            EXPECT_EQ(Timers[i].window, window_);
            EXPECT_EQ(Timers[i].id, 1u);
            EXPECT_FALSE(Timers[i].kill);
            EXPECT_EQ(Timers[i].elapse, frame.elapse) << "start " << run.start << ", frame " << i;
            EXPECT_EQ(Selection(), frame.record) << "start " << run.start << ", frame " << i;
        }
        Command(109);
    }
}

TEST_F(PlayTest, ShownPixelsAreTheBuiltUpFramesZoomedAndInverted) {
    const std::string file = MakeAnimation();
    CreateWindowNow();
    OpenThroughDialog(file);
    Command(105);
    Command(109);
    EXPECT_TRUE(ShowsBuiltUp(file, 0, 2, false));
    Tick();
    EXPECT_TRUE(ShowsBuiltUp(file, 1, 2, false));
    EXPECT_EQ(ViewerState.displayBitmap.width, 21) << "a delta record shows the whole frame";
    Command(107);
    Tick();
    EXPECT_TRUE(ShowsBuiltUp(file, 2, 2, true));
    SelectLine(5);
    Command(104);
    Command(109);
    Tick();
    Tick();
    EXPECT_EQ(Selection(), 7);
    EXPECT_TRUE(ShowsBuiltUp(file, 7, 1, true));
}

// A whole loop and into the next: each frame is drawn over the one before it, and after
// the record flagged last the full frame is decoded again.
TEST_F(PlayTest, EveryFrameOfALoopIsTheBuiltUpFrame) {
    const std::string file = MakeAnimation();
    CreateWindowNow();
    OpenThroughDialog(file);
    SelectLine(4);
    Command(109);
    for (const int record : {4, 5, 6, 7, 4, 5}) {
        ASSERT_EQ(Selection(), record);
        EXPECT_TRUE(ShowsBuiltUp(file, record, 1, false)) << record;
        Tick();
    }
}

// Records written to the file after it was opened are not played: the sequence that the
// list shows cut off loops at its last listed record.
TEST_F(PlayTest, OnlyTheListedRecordsArePlayed) {
    const std::string file = MakeAnimation();
    const Bytes whole = ReadFileBytes(file);
    const std::string shown = data_.File("shown.ztr");
    WriteFileBytes(shown,
                   Bytes(whole.begin(), whole.begin() + static_cast<long>(RecordOffset(whole, 3))));
    CreateWindowNow();
    OpenThroughDialog(shown);
    WriteFileBytes(shown, whole);
    Command(109);
    for (const int record : {0, 1, 2, 0, 1}) {
        EXPECT_EQ(Selection(), record);
        Tick();
    }
    EXPECT_TRUE(ShowsBuiltUp(shown, 2, 1, false));
}

TEST_F(PlayTest, EveryListedEventStopsPlaying) {
    const std::string file = MakeAnimation();
    const std::string other = data_.File("other.ztr");
    std::filesystem::copy_file(file, other);
    const struct {
        const char* event;
        Event happen;
    } events[] = {
        {"View > Play again (Space)", Event::PlayAgain},
        {"a record selected by the user", Event::UserSelects},
        {"a file opened", Event::FileOpened},
        {"the window closed", Event::WindowCloses},
    };
    for (const auto& e : events) {
        CreateWindowNow();
        OpenThroughDialog(file);
        Command(109);
        Tick();
        EXPECT_TRUE(PlayChecked()) << e.event;
        HWND window = window_;
        Timers.clear();
        Happen(e.happen, other);
        ASSERT_FALSE(Timers.empty()) << e.event;
        EXPECT_TRUE(Timers.back().kill) << e.event;
        EXPECT_EQ(Timers.back().window, window) << e.event;
        EXPECT_EQ(Timers.back().id, 1u) << e.event;
        EXPECT_FALSE(ViewerState.playing) << e.event;
        if (window_ != nullptr) {
            // A tick already queued changes nothing.
            const int selection = Selection();
            Tick();
            EXPECT_EQ(Selection(), selection) << e.event;
            EXPECT_FALSE(PlayChecked()) << e.event;
            DestroyWindowNow();
        }
    }
}

TEST_F(PlayTest, SpaceAndCtrlCAreTheAccelerators) {
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), "AppAccel");
    ASSERT_NE(table, nullptr);
    ACCEL entries[8]{};
    const int count = CopyAcceleratorTableA(table, entries, 8);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(entries[0].key, VK_SPACE);
    EXPECT_EQ(entries[0].cmd, 109);
    EXPECT_EQ(entries[0].fVirt & (FVIRTKEY | FCONTROL | FSHIFT | FALT), FVIRTKEY);
    EXPECT_EQ(entries[1].key, 'C');
    EXPECT_EQ(entries[1].cmd, 112);
    EXPECT_EQ(entries[1].fVirt & (FVIRTKEY | FCONTROL | FSHIFT | FALT), FVIRTKEY | FCONTROL);
}

TEST_F(PlayTest, NothingToPlayWithoutRecords) {
    CreateWindowNow();
    Command(109);
    EXPECT_FALSE(ViewerState.playing);
    EXPECT_TRUE(Timers.empty());
}

} // namespace
