// Opening files through "&Open...": the record list's lines, the selection, the prompt for
// damaged files, the failure message and the remembered folder.
#include "window_test_support.h"

#include "viewer_window.h"

#include <commdlg.h>

#include <algorithm>

namespace {

// Three frames of 13 x 9: B changes columns 9-10 of rows 2-3 of A, C changes pixel 3, 7
// of B. Each picture is written as a PGM file into the folder.
std::vector<std::string> WriteAnimation(const ScratchFolder& folder) {
    GreyPicture a = MakeTestPicture(13, 9);
    GreyPicture b = a;
    for (int y = 2; y <= 3; ++y) {
        for (int x = 9; x <= 10; ++x) {
            b.pixels[y * 13 + x] ^= 0x80;
        }
    }
    GreyPicture c = b;
    c.pixels[7 * 13 + 3] ^= 0x80;
    const std::vector<std::string> paths{folder.File("walk.pgm"), folder.File("walk2.pgm"),
                                         folder.File("walk3.pgm")};
    WritePgm(paths[0], a);
    WritePgm(paths[1], b);
    WritePgm(paths[2], c);
    return paths;
}

// Row order at depth 1, banded rows with inverted Y-axis at depth 1, column order at depth 8.
const std::vector<std::uint32_t> THREE_TYPES{TypeCode(0x00, 1), TypeCode(0x12, 1),
                                             TypeCode(0x01, 8)};

const std::vector<std::string> THREE_TYPE_LINES{
    "13 x 9 monochrome, layout 00 [row order]",
    "5 x 2 monochrome, delta frame 120ms [dx=8, dy=2], layout 00 [row order]",
    "8 x 1 monochrome, delta frame 120ms [dx=0, dy=7], layout 00 [row order]",
    "13 x 9 monochrome, layout 12 [banded rows, inverted Y-axis]",
    "2 x 8 monochrome, delta frame 120ms [dx=9, dy=0], layout 12 [banded rows, inverted Y-axis]",
    "1 x 8 monochrome, delta frame 120ms [dx=3, dy=0], layout 12 [banded rows, inverted Y-axis]",
    "13 x 9, colour depth 8 bits, layout 01 [column order]",
    "2 x 2, colour depth 8 bits, delta frame 120ms [dx=9, dy=2], layout 01 [column order]",
    "1 x 1, colour depth 8 bits, delta frame 120ms [dx=3, dy=7], layout 01 [column order]",
};

using ListingTest = ViewerWindowTest;

TEST_F(ListingTest, ListsEveryRecordOfSeveralTypesAndSelectsTheFirst) {
    const std::string file = ConvertPictures(WriteAnimation(data_), THREE_TYPES, 120);
    CreateWindowNow();
    OpenThroughDialog(file);

    EXPECT_EQ(ListLines(), THREE_TYPE_LINES);
    EXPECT_EQ(Selection(), 0);
    EXPECT_EQ(ViewerState.CurrentFileName, file);
    ASSERT_TRUE(ViewerState.displayBitmap.pixels.has_value());
    EXPECT_EQ(ViewerState.displayBitmap.width, 13);
    EXPECT_EQ(ViewerState.displayBitmap.height, 9);
    EXPECT_TRUE(Recorded.boxes.empty());
}

TEST_F(ListingTest, AskTheDialogForZentraImagesInTheRememberedFolder) {
    const std::string file = ConvertPictures(WriteAnimation(data_), {TypeCode(0x00, 1)}, 50);
    CreateWindowNow();
    OpenThroughDialog(file);

    EXPECT_EQ(Recorded.openFileCalls, 1);
    EXPECT_EQ(Recorded.openFileOwner, window_);
    EXPECT_EQ(Recorded.openFileFilter, "Zentra Images|*.ztr|");
    EXPECT_EQ(Recorded.openFileFilterIndex, 1u);
    EXPECT_EQ(Recorded.openFileMaxFile, 260u);
    EXPECT_EQ(Recorded.openFileFlags & OFN_FILEMUSTEXIST, static_cast<DWORD>(OFN_FILEMUSTEXIST));
    EXPECT_TRUE(Recorded.openFileInitialDirectory.empty());
    EXPECT_EQ(ReadSetting("directory"), data_.Path());

    Recorded.openFileAnswer.clear(); // the user cancels the second time
    Command(100);
    EXPECT_EQ(Recorded.openFileCalls, 2);
    EXPECT_EQ(Recorded.openFileInitialDirectory, data_.Path());
    EXPECT_EQ(ListLines().size(), 3u) << "cancelling keeps the list";
    EXPECT_EQ(ViewerState.CurrentFileName, file);
}

TEST_F(ListingTest, DamagedThirdHeaderListsTheTwoRecordsBeforeIt) {
    const std::string file = ConvertPictures(WriteAnimation(data_), THREE_TYPES, 120);
    Bytes bytes = ReadFileBytes(file);
    bytes[RecordOffset(bytes, 2) + 5] = 0xA3; // second signature byte
    WriteFileBytes(file, bytes);
    CreateWindowNow();
    OpenThroughDialog(file);

    EXPECT_EQ(ListLines(),
              std::vector<std::string>(THREE_TYPE_LINES.begin(), THREE_TYPE_LINES.begin() + 2));
    EXPECT_EQ(Selection(), 0);
    EXPECT_TRUE(ViewerState.displayBitmap.pixels.has_value());
    EXPECT_TRUE(Recorded.boxes.empty()) << "a damaged file shows no message";
}

TEST_F(ListingTest, ACutLastRecordIsListed) {
    const std::string file = ConvertPictures(WriteAnimation(data_), THREE_TYPES, 120);
    Bytes bytes = ReadFileBytes(file);
    bytes.pop_back(); // the last byte of the last record's pixel data
    WriteFileBytes(file, bytes);
    CreateWindowNow();
    OpenThroughDialog(file);

    EXPECT_EQ(ListLines(), THREE_TYPE_LINES);
    EXPECT_TRUE(Recorded.boxes.empty());
}

TEST_F(ListingTest, DamagedFirstHeaderListsNothingAndAsksForALayout) {
    const std::string file = ConvertPictures(WriteAnimation(data_), THREE_TYPES, 120);
    Bytes bytes = ReadFileBytes(file);
    bytes[4] = 0x03; // first signature byte
    WriteFileBytes(file, bytes);
    CreateWindowNow();
    OpenThroughDialog(file);

    EXPECT_TRUE(ListLines().empty());
    EXPECT_EQ(Selection(), LB_ERR);
    EXPECT_FALSE(ViewerState.displayBitmap.pixels.has_value());
    EXPECT_TRUE(Recorded.boxes.empty());
    EXPECT_TRUE(ShowsPrompt("Please select a bitmap lay-out from the list"));
}

TEST_F(ListingTest, WithoutAFileAsksForOne) {
    CreateWindowNow();
    const ClientPixels shown = CaptureClient(window_);
    const ClientPixels expected =
        ExpectedPrompt(window_, "Please open a zentra image file", shown.width, shown.height);
    EXPECT_TRUE(SameBelow(shown, expected, 60));
    // The prompt is really there: the expectation differs from a plain background.
    EXPECT_NE(std::count(expected.pixels.begin(), expected.pixels.end(), ButtonFaceColour()),
              static_cast<std::ptrdiff_t>(expected.pixels.size()));
    EXPECT_TRUE(ListLines().empty());
}

TEST_F(ListingTest, FileThatCannotBeOpenedIsReportedAndKeepsThePicture) {
    const std::string file = ConvertPictures(WriteAnimation(data_), THREE_TYPES, 120);
    CreateWindowNow();
    OpenThroughDialog(file);
    const Bytes shownBefore = *ViewerState.displayBitmap.pixels;

    const std::string missing = data_.File("gone.ztr");
    OpenThroughDialog(missing);

    ASSERT_EQ(Recorded.boxes.size(), 1u);
    EXPECT_EQ(Recorded.boxes[0].owner, window_);
    EXPECT_EQ(Recorded.boxes[0].text, "Failed to open file.");
    EXPECT_FALSE(Recorded.boxes[0].captionGiven);
    EXPECT_EQ(Recorded.boxes[0].type, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(ViewerState.CurrentFileName, missing);
    EXPECT_TRUE(ListLines().empty());
    ASSERT_TRUE(ViewerState.displayBitmap.pixels.has_value());
    EXPECT_EQ(*ViewerState.displayBitmap.pixels, shownBefore);
}

TEST_F(ListingTest, PathWithoutBackslashLeavesTheFolderSettingAlone) {
    const std::string file = ConvertPictures(WriteAnimation(data_), {TypeCode(0x00, 1)}, 50);
    PresetSetting("directory", "C:\\earlier");
    char previous[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(data_.Path().c_str()));
    CreateWindowNow();
    OpenThroughDialog("walk.ztr");
    SetCurrentDirectoryA(previous);

    EXPECT_EQ(file, data_.File("walk.ztr"));
    EXPECT_EQ(Recorded.openFileInitialDirectory, "C:\\earlier");
    EXPECT_EQ(ListLines().size(), 3u);
    EXPECT_EQ(ViewerState.CurrentFileName, "walk.ztr");
    EXPECT_EQ(ReadSetting("directory"), "C:\\earlier");
}

} // namespace
