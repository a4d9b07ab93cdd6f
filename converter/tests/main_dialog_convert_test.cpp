// "&Convert": the order of the checks and their messages, what the writer is handed in each
// mode, the closing message, the refusal of a second command while a conversion runs, and
// the bytes of a real conversion against the ones the command-line tool wrote.
#include "conversion_request.h"
#include "convert_command.h"
#include "file_request.h"
#include "main_dialog_harness.h"
#include "options_settings.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

using namespace std::string_literals;

constexpr const char* PROFILES = "b 0x02 ; 1 B pages\n"
                                 "a 0x11 ; 8 A columns\n";
constexpr const char* FINISHED = "Finished image conversion.";
const std::string NO_FILES = "No source files in the file list.\nPlease add one or more images "
                             "by clicking on the \"Add file\" button.";
const std::string NO_TYPES = "No target types selected.\nPlease add one or \"zentra types\" by "
                             "clicking on the \"Add bitmap/display type\" button.";

// The dialog with the given pictures (names only; the files need not exist for the recorder)
// added in one selection, and the given type items chosen.
class ConvertDialog {
  public:
    ConvertDialog(std::optional<std::string> profiles, std::vector<std::string> names,
                  std::vector<int> typeItems)
        : harness(std::move(profiles), std::nullopt) {
        dialog = harness.Open();
        dir = harness.WindowsFolder();
        if (!names.empty()) {
            std::string selection = dir + '\0';
            for (const std::string& name : names) {
                selection += name + '\0';
            }
            selection += '\0';
            ScriptedOpenFile files(dialog, selection);
            SendCommand(dialog, IDC_ADD_FILE);
        }
        for (int item : typeItems) {
            SendCommand(dialog, item, 0);
        }
    }
    void SetAnimation(bool on, const char* delay) {
        CheckDlgButton(dialog, IDC_ANIMATION, on ? BST_CHECKED : BST_UNCHECKED);
        SetDlgItemTextA(dialog, IDC_DELAY, delay);
    }
    std::string Path(const std::string& name) const { return dir + "\\" + name; }

    MainDialogHarness harness;
    HWND dialog = nullptr;
    std::string dir;
};

std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const RecordedMessageBox& box : BlockingRecorder::MessageBoxes) {
        texts.push_back(box.text);
    }
    return texts;
}

TEST(Convert, ChecksRunInOrderEachWithItsMessage) {
    const struct {
        const char* what;
        std::optional<std::string> profiles;
        std::vector<std::string> names;
        std::vector<int> items;
        std::string message;
    } cases[] = {
        {"nothing at all", PROFILES, {}, {}, NO_FILES},
        {"types but no files", PROFILES, {}, {256}, NO_FILES},
        {"files but no types", PROFILES, {"x.bmp"}, {}, NO_TYPES},
        {"no profile file", std::nullopt, {"x.bmp"}, {256}, NO_TYPES},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ConvertDialog d(c.profiles, c.names, c.items);
        ConversionRecorder writer;
        SendCommand(d.dialog, IDC_CONVERT);
        EXPECT_TRUE(ConversionRecorder::Calls.empty());
        ASSERT_EQ(BlockingRecorder::MessageBoxes.size(), 1u);
        const RecordedMessageBox& box = BlockingRecorder::MessageBoxes[0];
        EXPECT_EQ(box.text, c.message);
        EXPECT_EQ(box.caption, "Zenconv");
        EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
        EXPECT_TRUE(box.hasOwner);
    }
}

// The engine's loop gets the pictures in list order, the mode and the delay; it adds the
// first picture again for an animation and stops per picture at the first failure itself.
TEST(Convert, PassesTheSortedPathsTheModeAndTheDelay) {
    const struct {
        std::vector<std::string> names;
        bool animation;
        const char* delay;
        std::vector<std::string> sorted;
        int passedDelay;
    } cases[] = {
        {{"b.bmp", "a.bmp"}, true, "250", {"a.bmp", "b.bmp"}, 250},
        {{"only.pgm"}, true, "", {"only.pgm"}, 0},
        {{"c.pbm", "a.pgm", "b.bmp"}, true, "65535", {"a.pgm", "b.bmp", "c.pbm"}, 65535},
        // Per picture the delay field is not used, whatever it holds.
        {{"c.pgm", "a.bmp", "b.pbm"}, false, "300", {"a.bmp", "b.pbm", "c.pgm"}, 0},
        {{"c.pgm", "a.bmp"}, false, "70000", {"a.bmp", "c.pgm"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.delay);
        ConvertDialog d(PROFILES, c.names, {256, 257});
        d.SetAnimation(c.animation, c.delay);
        ConversionRecorder writer({{.code = OutcomeCode::NoFrame}}); // not looked at
        SendCommand(d.dialog, IDC_CONVERT);
        ASSERT_EQ(ConversionRecorder::Calls.size(), 1u);
        const RecordedConversion& call = ConversionRecorder::Calls[0];
        std::vector<std::string> expected;
        for (const std::string& name : c.sorted) {
            expected.push_back(d.Path(name));
        }
        EXPECT_EQ(call.paths, expected);
        // Sorted by text: "A columns" before "B pages".
        EXPECT_EQ(call.codes, (std::vector<std::uint32_t>{0x80011, 0x10002}));
        EXPECT_EQ(call.animation, c.animation);
        EXPECT_EQ(call.delay, c.passedDelay);
        EXPECT_EQ(call.boxesBefore, 0u);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{FINISHED});
    }
}

// An animation's delay that does not fit the 16-bit field is refused with a warning owned
// by the dialog, and nothing is converted.
TEST(Convert, AnimationDelayOutsideTheFieldIsRefused) {
    for (const char* delay : {"65536", "70000", "4294967296", "-1", "12a"}) {
        SCOPED_TRACE(delay);
        ConvertDialog d(PROFILES, {"b.bmp", "a.bmp"}, {256});
        d.SetAnimation(true, delay);
        ConversionRecorder writer;
        SendCommand(d.dialog, IDC_CONVERT);
        EXPECT_TRUE(ConversionRecorder::Calls.empty());
        ASSERT_EQ(BlockingRecorder::MessageBoxes.size(), 1u);
        const RecordedMessageBox& box = BlockingRecorder::MessageBoxes[0];
        EXPECT_EQ(box.text, "The delay must be between 0 and 65535 ms.");
        EXPECT_EQ(box.caption, "Zenconv");
        EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_TRUE(box.hasOwner);
    }
}

// Commands delivered while the writer runs (as the engine's own message box would let
// them through) change nothing and start nothing.
HWND RunningDialog = nullptr;
void ClickEverythingDuringTheConversion() {
    SendCommand(RunningDialog, IDC_CONVERT);
    SendCommand(RunningDialog, 256, 0);
    SendCommand(RunningDialog, IDC_ADD_FILE);
    SendCommand(RunningDialog, IDC_ADD_TYPE);
    SendCommand(RunningDialog, IDC_FILE_LIST, LBN_SETFOCUS);
    SendMessageA(GetDlgItem(RunningDialog, IDC_FILE_LIST), LB_SETCURSEL, 0, 0);
    SendMessageA(RunningDialog, 0x590, VK_DELETE, 0);
    SendCommand(RunningDialog, IDCANCEL);
}

TEST(Convert, ASecondCommandWhileConvertingIsRefused) {
    ConvertDialog d(PROFILES, {"b.bmp", "a.bmp"}, {256});
    RunningDialog = d.dialog;
    ScriptedOpenFile files(d.dialog, d.dir + "\0z.bmp\0\0"s);
    ScriptedPopup popup;
    ConversionRecorder writer;
    ConversionRecorder::DuringCall = ClickEverythingDuringTheConversion;
    SendCommand(d.dialog, IDC_CONVERT);

    EXPECT_EQ(ConversionRecorder::Calls.size(), 1u);
    EXPECT_TRUE(ScriptedOpenFile::Calls.empty());
    EXPECT_TRUE(ScriptedPopup::Calls.empty());
    EXPECT_EQ(ListTexts(d.dialog, IDC_FILE_LIST), (std::vector<std::string>{"a.bmp", "b.bmp"}));
    EXPECT_EQ(ListTexts(d.dialog, IDC_TYPE_LIST), std::vector<std::string>{"B pages"});
    EXPECT_TRUE(IsWindowVisible(d.dialog));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{FINISHED});

    // Afterwards the dialog answers again.
    ConversionRecorder::DuringCall = nullptr;
    SendMessageA(d.dialog, 0x590, VK_DELETE, 0);
    EXPECT_EQ(ListTexts(d.dialog, IDC_FILE_LIST), std::vector<std::string>{"b.bmp"});
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The display types of tests/data/expected/make-expected, in its order. Their profile texts
// sort in that same order, so the type list hands them to the writer as ztr did.
constexpr std::uint32_t EXPECTED_CODES[] = {0x10000, 0x10004, 0x10010, 0x10014, 0x10001, 0x10005,
                                            0x10011, 0x10002, 0x10006, 0x10016, 0x10003, 0x10007,
                                            0x1000A, 0x80000, 0x80001, 0x80010, 0x80007};

std::string ExpectedProfiles() {
    std::string profiles;
    for (std::size_t i = 0; i < std::size(EXPECTED_CODES); ++i) {
        char line[64] = "";
        std::snprintf(line, sizeof line, "t%zu 0x%X ; %u Type %02zu\n", i,
                      EXPECTED_CODES[i] & 0xFFFF, EXPECTED_CODES[i] >> 16, i);
        profiles += line;
    }
    return profiles;
}

TEST(ConvertFiles, WritesTheSameBytesAsTheCommandLineTool) {
    const std::filesystem::path data = ZENTRA_TEST_DATA;
    const std::filesystem::path samples = data.parent_path().parent_path() / "data" / "samples";
    const struct {
        const char* expected;
        std::vector<std::pair<std::filesystem::path, std::string>> sources; // file, copied as
        const char* delay;                                                  // null: per picture
        const char* output;
    } cases[] = {
        {"bmp_grey7x5.ztr",
         {{data / "im_grey7x5_bmp3.bmp", "bmp_grey7x5_0.bmp"}},
         nullptr,
         "bmp_grey7x5_0.ztr"},
        {"plain_bits10x3.ztr",
         {{data / "netpbm_bits10x3_plain.pbm", "plain_bits10x3_0.pbm"}},
         nullptr,
         "plain_bits10x3_0.ztr"},
        {"anim.ztr",
         {{samples / "anim_3.pgm", "anim_3.pgm"},
          {samples / "anim_0.pgm", "anim_0.pgm"},
          {samples / "anim_4.pgm", "anim_4.pgm"},
          {samples / "anim_1.pgm", "anim_1.pgm"},
          {samples / "anim_2.pgm", "anim_2.pgm"}},
         "100",
         "anim_0.ztr"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        ConvertDialog d(ExpectedProfiles(), {}, {});
        std::string selection = d.dir + '\0';
        for (const auto& [source, name] : c.sources) {
            std::filesystem::copy_file(source, d.harness.Folder() / name);
            selection += name + '\0';
        }
        selection += '\0';
        {
            ScriptedOpenFile files(d.dialog, selection);
            SendCommand(d.dialog, IDC_ADD_FILE);
        }
        for (int item = 256 + 16; item >= 256; --item) {
            SendCommand(d.dialog, item, 0);
        }
        d.SetAnimation(c.delay != nullptr, c.delay != nullptr ? c.delay : "");
        SendCommand(d.dialog, IDC_CONVERT);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{FINISHED});
        const std::string expected = ReadBytes(data / "expected" / c.expected);
        ASSERT_GT(expected.size(), 12u);
        EXPECT_EQ(ReadBytes(d.harness.Folder() / c.output), expected);
    }
}

TEST(ConvertFiles, PerPictureStopsAtTheFirstPictureTheWriterRefusesAndStillFinishes) {
    const std::filesystem::path data = ZENTRA_TEST_DATA;
    ConvertDialog d(PROFILES, {}, {257});
    std::filesystem::copy_file(data / "netpbm_grey5x3_raw.pgm", d.harness.Folder() / "a.pgm");
    std::ofstream(d.harness.Folder() / "b.pgm", std::ios::binary) << "P5 3 2 255\n";
    std::filesystem::copy_file(data / "netpbm_grey5x3_raw.pgm", d.harness.Folder() / "c.pgm");
    {
        ScriptedOpenFile files(d.dialog, d.dir + "\0c.pgm\0b.pgm\0a.pgm\0\0"s);
        SendCommand(d.dialog, IDC_ADD_FILE);
    }
    SendCommand(d.dialog, IDC_CONVERT);

    // The writer's own message first (no owner, warning icon), then the dialog's; the box
    // shows the engine's line and, on the next, the file and the cause.
    ASSERT_EQ(BlockingRecorder::MessageBoxes.size(), 2u);
    const RecordedMessageBox& failure = BlockingRecorder::MessageBoxes[0];
    EXPECT_FALSE(failure.hasOwner);
    EXPECT_EQ(failure.text, "ERROR: truncated input file (not enough pixel data)\n  in '" +
                                d.Path("b.pgm") +
                                "': 3 x 2 pixels need 6 bytes, the file holds 0\n");
    EXPECT_EQ(failure.type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    const RecordedMessageBox& finished = BlockingRecorder::MessageBoxes[1];
    EXPECT_TRUE(finished.hasOwner);
    EXPECT_EQ(finished.text, FINISHED);
    EXPECT_EQ(finished.type, static_cast<UINT>(MB_OK));
    EXPECT_TRUE(std::filesystem::exists(d.harness.Folder() / "a.ztr"));
    EXPECT_FALSE(std::filesystem::exists(d.harness.Folder() / "b.ztr"));
    EXPECT_FALSE(std::filesystem::exists(d.harness.Folder() / "c.ztr"));
}

// A file that cannot be opened or renamed: the engine's line as it always was, and the
// system's own reason (FormatMessage's text) on the line after it.
TEST(ConvertFiles, FailuresGiveTheSystemsReasonOnTheNextLine) {
    const std::filesystem::path data = ZENTRA_TEST_DATA;
    const auto systemText = [](DWORD error) {
        char* buffer = nullptr;
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, error,
                       0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
        std::string text = buffer != nullptr ? buffer : "";
        LocalFree(buffer);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                                 text.back() == '.')) {
            text.pop_back();
        }
        return text;
    };
    {
        // The picture went away between choosing it and converting.
        ConvertDialog d(PROFILES, {}, {257});
        std::filesystem::copy_file(data / "netpbm_grey5x3_raw.pgm",
                                   d.harness.Folder() / "gone.pgm");
        {
            ScriptedOpenFile files(d.dialog, d.dir + "\0gone.pgm\0\0"s);
            SendCommand(d.dialog, IDC_ADD_FILE);
        }
        std::filesystem::remove(d.harness.Folder() / "gone.pgm");
        SendCommand(d.dialog, IDC_CONVERT);
        const std::string reason = systemText(ERROR_FILE_NOT_FOUND);
        ASSERT_FALSE(reason.empty());
        EXPECT_EQ(BoxTexts(),
                  (std::vector<std::string>{"ERROR: failed to open file '" + d.Path("gone.pgm") +
                                                "' for reading\n  " + reason + "\n",
                                            FINISHED}));
    }
    {
        // The output's name is held by a folder: the finished file cannot take it.
        ConvertDialog d(PROFILES, {}, {257});
        std::filesystem::copy_file(data / "netpbm_grey5x3_raw.pgm", d.harness.Folder() / "a.pgm");
        std::filesystem::create_directory(d.harness.Folder() / "a.ztr");
        {
            ScriptedOpenFile files(d.dialog, d.dir + "\0a.pgm\0\0"s);
            SendCommand(d.dialog, IDC_ADD_FILE);
        }
        SendCommand(d.dialog, IDC_CONVERT);
        const std::vector<std::string> boxes = BoxTexts();
        ASSERT_EQ(boxes.size(), 2u);
        const std::string first = "ERROR: failed to write file '" + d.Path("a.ztr") + "'\n  ";
        const std::string last = " (renaming '" + d.Path("~zt0.tmp") + "' to it)\n";
        EXPECT_EQ(boxes[0].substr(0, first.size()), first) << boxes[0];
        ASSERT_GT(boxes[0].size(), first.size() + last.size()) << boxes[0];
        EXPECT_EQ(boxes[0].substr(boxes[0].size() - last.size()), last) << boxes[0];
        EXPECT_TRUE(std::filesystem::is_directory(d.harness.Folder() / "a.ztr"));
        EXPECT_FALSE(std::filesystem::exists(d.harness.Folder() / "~zt0.tmp"));
    }
}

// The writer's refusals of a run that would destroy a file reach the user in its own box,
// before anything is written: two pictures of one output, a picture named as its output.
TEST(ConvertFiles, RunsThatWouldDestroyAFileAreRefusedInABox) {
    const std::filesystem::path data = ZENTRA_TEST_DATA;
    const struct {
        std::vector<std::pair<std::filesystem::path, std::string>> pictures; // file, copied as
        const char* format; // the message, %1 and %2 the pictures' paths, %3 the output's
        std::vector<std::string> outputs; // the paths of the three, as names in the folder
    } cases[] = {
        {{{data / "netpbm_grey5x3_raw.pgm", "a.pgm"}, {data / "netpbm_bits10x3_raw.pbm", "a.pbm"}},
         "ERROR: the pictures '%1' and '%2' would both be written to '%3'\n",
         {"a.pbm", "a.pgm", "a.ztr"}},
        {{{data / "netpbm_grey5x3_raw.pgm", "b.ztr"}},
         "ERROR: the output '%1' would write over the picture '%2'\n",
         {"b.ztr", "b.ztr", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        ConvertDialog d(PROFILES, {}, {257});
        std::string selection = d.dir + '\0';
        for (const auto& [source, name] : c.pictures) {
            std::filesystem::copy_file(source, d.harness.Folder() / name);
            selection += name + '\0';
        }
        selection += '\0';
        {
            ScriptedOpenFile files(d.dialog, selection);
            SendCommand(d.dialog, IDC_ADD_FILE);
        }
        SendCommand(d.dialog, IDC_CONVERT);
        std::string message = c.format;
        for (std::size_t k = 0; k < c.outputs.size(); ++k) {
            const std::string mark = "%" + std::to_string(k + 1);
            if (const std::size_t at = message.find(mark); at != std::string::npos) {
                message.replace(at, mark.size(), d.Path(c.outputs[k]));
            }
        }
        EXPECT_EQ(BoxTexts(), (std::vector<std::string>{message, FINISHED}));
        for (const auto& [source, name] : c.pictures) {
            EXPECT_EQ(ReadBytes(d.harness.Folder() / name), ReadBytes(source)) << name;
        }
        EXPECT_FALSE(std::filesystem::exists(d.harness.Folder() / "a.ztr"));
    }
}

// The Options dialog's choices (tone and coding) and a GIF's own delays (delay field 0)
// reach the engine: the dialog's file equals the engine's for the same options.
TEST(ConvertFiles, OptionsAndGifDelaysApplyAsInTheEngine) {
    for (const CodingChoice coding : {CodingChoice::RunLength, CodingChoice::Squash}) {
        SCOPED_TRACE(CodingChoiceWord(coding));
        const std::filesystem::path data = ZENTRA_TEST_DATA;
        ConvertDialog d(PROFILES, {}, {256});
        ToneOptions tone;
        tone.dither = Dither::Bayer8;
        tone.invert = true;
        tone.resizeWidth = 16;
        tone.resizeHeight = 10;
        WriteToneOptions(tone);
        WriteCodingChoice(coding);
        std::filesystem::copy_file(data / "im_anim9x7.gif", d.harness.Folder() / "anim.gif");
        {
            ScriptedOpenFile files(d.dialog, d.dir + "\0anim.gif\0\0"s);
            SendCommand(d.dialog, IDC_ADD_FILE);
        }
        d.SetAnimation(true, "0");
        SendCommand(d.dialog, IDC_CONVERT);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{FINISHED});

        const std::filesystem::path reference = d.harness.Folder() / "reference";
        std::filesystem::create_directories(reference);
        std::filesystem::copy_file(data / "im_anim9x7.gif", reference / "anim.gif");
        const std::vector<std::uint32_t> codes = {
            ListData(d.dialog, IDC_TYPE_LIST).empty()
                ? 0u
                : static_cast<std::uint32_t>(ListData(d.dialog, IDC_TYPE_LIST)[0])};
        ConversionRequest request =
            writer_test::FileRequest({(reference / "anim.gif").string()}, codes, true);
        request.tone = tone;
        request.coding = coding;
        ASSERT_EQ(RunConversion(request, {}), Outcome{});
        const std::string expected = ReadBytes(reference / "anim.ztr");
        ASSERT_GT(expected.size(), 12u);
        EXPECT_EQ(ReadBytes(d.harness.Folder() / "anim.ztr"), expected);
    }
}

} // namespace
