// Edit > Copy and File > Save picture as...: the clipboard's DIB and the saved BMP hold
// exactly the pixels the window shows, zoomed and inverted; read back with the platform's
// own readers, not ours.
#include "window_test_support.h"

#include "picture_commands.h"
#include "viewer_window.h"

#include <cstring>
#include <filesystem>

namespace {

struct SaveCall {
    HWND owner;
    std::string proposed;
    std::string filter; // NULs written as '|'
    std::string defaultExtension;
    DWORD flags;
};
std::vector<SaveCall> Saves;
std::string SaveAnswer; // empty: the user cancels

BOOL WINAPI RecordSaveFileName(LPOPENFILENAMEA dialog) {
    SaveCall call{dialog->hwndOwner, dialog->lpstrFile, "",
                  dialog->lpstrDefExt != nullptr ? dialog->lpstrDefExt : "", dialog->Flags};
    for (const char* part = dialog->lpstrFilter; *part != '\0'; part += std::strlen(part) + 1) {
        call.filter += std::string(part) + "|";
    }
    Saves.push_back(call);
    if (SaveAnswer.empty() || SaveAnswer.size() >= dialog->nMaxFile) {
        return FALSE;
    }
    std::memcpy(dialog->lpstrFile, SaveAnswer.c_str(), SaveAnswer.size() + 1);
    return TRUE;
}

// The part of the client area that shows the picture.
ClientPixels ShownArea(HWND window, int width, int height) {
    const ClientPixels client = CaptureClient(window);
    ClientPixels area{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            area.pixels.push_back(client.At(8 + x, 66 + y));
        }
    }
    return area;
}

// Pixels of a bitmap handle, top row first, as 0x00RRGGBB.
ClientPixels BitmapPixels(HBITMAP bitmap) {
    BITMAP described{};
    GetObjectA(bitmap, sizeof described, &described);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = described.bmWidth;
    info.bmiHeader.biHeight = -described.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ClientPixels result{described.bmWidth, described.bmHeight,
                        std::vector<std::uint32_t>(static_cast<std::size_t>(described.bmWidth) *
                                                   described.bmHeight)};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(described.bmHeight), result.pixels.data(), &info,
              DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (std::uint32_t& pixel : result.pixels) {
        pixel &= 0xFFFFFF;
    }
    return result;
}

// A packed DIB (header, no colour table, 24 bits) turned into pixels by the platform.
ClientPixels DibPixels(const void* dib) {
    const auto* info = static_cast<const BITMAPINFO*>(dib);
    const auto* bits = static_cast<const std::uint8_t*>(dib) + info->bmiHeader.biSize;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    ClientPixels pixels = BitmapPixels(bitmap);
    DeleteObject(bitmap);
    return pixels;
}

class PictureExportTest : public ViewerWindowTest {
  protected:
    void SetUp() override {
        ViewerWindowTest::SetUp();
        Saves.clear();
        SaveAnswer.clear();
        PlatformCalls.GetSaveFileNameA = RecordSaveFileName;
    }

    // One 29 x 11 picture for a 1-bit column-order display and an 8-bit row-order one.
    std::string OpenStill() {
        const std::string pgm = data_.File("still.pgm");
        WritePgm(pgm, MakeTestPicture(29, 11));
        const std::string file = ConvertPictures({pgm}, {TypeCode(0x05, 1), TypeCode(0x00, 8)}, 0);
        CreateWindowNow();
        OpenThroughDialog(file);
        return file;
    }

    void Show(int record, WORD zoomCommand, bool invert) {
        SelectLine(record);
        Command(zoomCommand);
        if (ViewerState.invert != invert) {
            Command(107);
        }
    }
};

struct ExportCase {
    int record;
    WORD zoomCommand;
    int zoom;
    bool invert;
};
const ExportCase Cases[] = {
    {0, 104, 1, false},
    {0, 106, 4, true},
    {1, 105, 2, false},
    {1, 104, 1, true},
};

TEST_F(PictureExportTest, CopyPutsTheShownPixelsOnTheClipboardAsADib) {
    OpenStill();
    for (const ExportCase& c : Cases) {
        Show(c.record, c.zoomCommand, c.invert);
        Command(112);
        ASSERT_TRUE(OpenClipboard(window_));
        HANDLE data = GetClipboardData(CF_DIB);
        ASSERT_NE(data, nullptr) << "record " << c.record;
        const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data));
        EXPECT_EQ(header->biWidth, 29 * c.zoom);
        EXPECT_EQ(header->biHeight, 11 * c.zoom) << "positive: rows bottom-up";
        const ClientPixels copied = DibPixels(header);
        GlobalUnlock(data);
        CloseClipboard();
        EXPECT_TRUE(SameBelow(copied, ShownArea(window_, 29 * c.zoom, 11 * c.zoom), 0))
            << "record " << c.record << ", zoom " << c.zoom << ", invert " << c.invert;
    }
}

TEST_F(PictureExportTest, NothingShownLeavesTheClipboardAlone) {
    CreateWindowNow();
    ASSERT_TRUE(OpenClipboard(window_));
    EmptyClipboard();
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 6);
    std::memcpy(GlobalLock(text), "kept!", 6);
    GlobalUnlock(text);
    SetClipboardData(CF_TEXT, text);
    CloseClipboard();
    Command(112);
    Command(111);
    EXPECT_TRUE(Saves.empty());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
}

TEST_F(PictureExportTest, SaveWritesABmpThatReadsBackAsShown) {
    const std::string file = OpenStill();
    for (const ExportCase& c : Cases) {
        Show(c.record, c.zoomCommand, c.invert);
        SaveAnswer =
            data_.File("saved " + std::to_string(c.record) + std::to_string(c.zoom) + ".bmp");
        Saves.clear();
        Command(111);
        ASSERT_EQ(Saves.size(), 1u);
        EXPECT_EQ(Saves[0].owner, window_);
        EXPECT_EQ(Saves[0].proposed, data_.File("still.bmp"));
        EXPECT_EQ(Saves[0].filter, "Windows Bitmap (*.bmp)|*.bmp|");
        EXPECT_EQ(Saves[0].defaultExtension, "bmp");
        EXPECT_NE(Saves[0].flags & OFN_OVERWRITEPROMPT, 0u);
        HANDLE loaded = LoadImageA(nullptr, SaveAnswer.c_str(), IMAGE_BITMAP, 0, 0,
                                   LR_LOADFROMFILE | LR_CREATEDIBSECTION);
        ASSERT_NE(loaded, nullptr) << SaveAnswer;
        const ClientPixels saved = BitmapPixels(static_cast<HBITMAP>(loaded));
        DeleteObject(loaded);
        EXPECT_TRUE(SameBelow(saved, ShownArea(window_, 29 * c.zoom, 11 * c.zoom), 0))
            << "record " << c.record << ", zoom " << c.zoom << ", invert " << c.invert;
        const Bytes bytes = ReadFileBytes(SaveAnswer);
        ASSERT_GE(bytes.size(), 54u);
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        EXPECT_EQ(bytes[2] | bytes[3] << 8 | bytes[4] << 16, static_cast<int>(bytes.size()));
        EXPECT_EQ(bytes[10], 54); // pixels right after the two headers
    }
    EXPECT_TRUE(Recorded.boxes.empty());
}

// COLOUR_PICTURE as a 16-bit record, shown at zoom 2: the clipboard and the saved file
// hold 24-bit pixels (which every reader takes) in the record's colours.
TEST_F(PictureExportTest, ASixteenBitRecordIsCopiedAndSavedInItsColours) {
    const std::string file = data_.File("colour.ztr");
    WriteFileBytes(file, RecordBytes(0x04, 16, 3, 2, COLOUR_PICTURE_RGB565_HIGH_FIRST));
    CreateWindowNow();
    OpenThroughDialog(file);
    Command(105);

    Command(112);
    ASSERT_TRUE(OpenClipboard(window_));
    HANDLE data = GetClipboardData(CF_DIB);
    ASSERT_NE(data, nullptr);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data));
    EXPECT_EQ(header->biBitCount, 24);
    EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RGB));
    const ClientPixels copied = DibPixels(header);
    GlobalUnlock(data);
    CloseClipboard();
    EXPECT_TRUE(ShowsColourPicture(copied, 0, 0, 2, false, true));

    SaveAnswer = data_.File("colour.bmp");
    Command(111);
    HANDLE loaded = LoadImageA(nullptr, SaveAnswer.c_str(), IMAGE_BITMAP, 0, 0,
                               LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    ASSERT_NE(loaded, nullptr) << SaveAnswer;
    const ClientPixels saved = BitmapPixels(static_cast<HBITMAP>(loaded));
    DeleteObject(loaded);
    EXPECT_TRUE(ShowsColourPicture(saved, 0, 0, 2, false, true));
    const Bytes bytes = ReadFileBytes(SaveAnswer);
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes[28], 24); // bits per pixel, uncompressed
    EXPECT_EQ(bytes[30], 0);
}

TEST_F(PictureExportTest, CancelWritesNothingAndAnUnwritablePathIsReported) {
    OpenStill();
    Command(111);
    ASSERT_EQ(Saves.size(), 1u);
    EXPECT_TRUE(Recorded.boxes.empty());
    SaveAnswer = data_.File("no such folder\\picture.bmp");
    Command(111);
    EXPECT_FALSE(std::filesystem::exists(SaveAnswer));
    ASSERT_EQ(Recorded.boxes.size(), 1u);
    EXPECT_EQ(Recorded.boxes[0].owner, window_);
    EXPECT_EQ(Recorded.boxes[0].text, SAVE_FAILED_TEXT);
    EXPECT_EQ(Recorded.boxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
}

} // namespace
