// The scratch files, recorders, pixel capture and window fixture of the viewer tests.
#include "window_test_support.h"

#include "bitmap_rgb.h"
#include "convert_images.h"
#include "init_viewer.h"
#include "little_endian.h"
#include "program_values.h"
#include "report_message.h"
#include "run_length_buffer.h"
#include "viewer_window.h"
#include "zentra_format.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

GreyPicture MakeTestPicture(int width, int height) {
    GreyPicture picture{width, height, Bytes(static_cast<std::size_t>(width) * height)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int value = (x * 23 + y * y * 11 + (x > 2 * y ? 100 : 0) + x * y * 5) % 256;
            picture.pixels[static_cast<std::size_t>(y) * width + x] =
                static_cast<std::uint8_t>(value);
        }
    }
    return picture;
}

void WritePgm(const std::string& path, const GreyPicture& picture) {
    std::ofstream out(path, std::ios::binary);
    out << "P5\n" << picture.width << " " << picture.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(picture.pixels.data()),
              static_cast<std::streamsize>(picture.pixels.size()));
}

namespace {

void RecordEngineMessage(void* messages, const char* text) {
    *static_cast<std::string*>(messages) += text;
}

} // namespace

std::string ConvertPictures(const std::vector<std::string>& pgmPaths,
                            const std::vector<std::uint32_t>& typeCodes, int delay,
                            CodingChoice coding) {
    std::string EngineMessages;
    ConversionContext context{MessageSink{RecordEngineMessage, &EngineMessages}};
    context.coding = coding;
    const Outcome result = WritePicturesAsFrames(pgmPaths, typeCodes, delay, context);
    EXPECT_EQ(result, Outcome{}) << EngineMessages;
    EXPECT_EQ(EngineMessages, "");
    return OutputPathFor(pgmPaths.front());
}

Bytes ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::size_t RecordOffset(const Bytes& file, int index) {
    std::size_t offset = 0;
    for (int i = 0; i < index; ++i) {
        if (offset + 4 > file.size()) {
            ADD_FAILURE() << "the file has no record " << index;
            return file.size();
        }
        offset += GetU32LE(file.data() + offset);
    }
    return offset;
}

Bytes RecordBytes(std::uint8_t layout, std::uint8_t depth, std::uint16_t width,
                  std::uint16_t height, const Bytes& unpacked) {
    RunLengthBuffer coded;
    BeginPixelData(coded);
    for (const std::uint8_t b : unpacked) {
        PutPixelByte(coded, b);
    }
    RecordHeader header;
    header.recordLength = static_cast<std::uint32_t>(RECORD_HEADER_SIZE + coded.Length());
    header.layout = layout;
    header.depth = depth;
    header.width = width;
    header.height = height;
    const auto head = EncodeRecordHeader(header);
    Bytes record(head.begin(), head.end());
    record.insert(record.end(), coded.Data(), coded.Data() + coded.Length());
    EndPixelData(coded, nullptr);
    return record;
}

::testing::AssertionResult ShowsColourPicture(const ClientPixels& pixels, int left, int top,
                                              int zoom, bool invert, bool rgb565) {
    const int steps[3] = {rgb565 ? 8 : 1, rgb565 ? 4 : 1, rgb565 ? 8 : 1}; // red, green, blue
    for (int y = 0; y < 2 * zoom; ++y) {
        for (int x = 0; x < 3 * zoom; ++x) {
            std::uint32_t expected = COLOUR_PICTURE[(y / zoom) * 3 + x / zoom];
            if (invert) {
                expected = ~expected & 0xFFFFFF;
            }
            const std::uint32_t actual = pixels.At(left + x, top + y);
            for (int channel = 0; channel < 3; ++channel) {
                const int shift = 16 - 8 * channel;
                const int a = static_cast<int>((actual >> shift) & 0xFF);
                const int e = static_cast<int>((expected >> shift) & 0xFF);
                if (std::abs(a - e) >= steps[channel]) {
                    return ::testing::AssertionFailure()
                           << "pixel " << x << ", " << y << " is " << std::hex << actual
                           << ", expected " << expected;
                }
            }
        }
    }
    return ::testing::AssertionSuccess();
}

RecordedCalls Recorded;

namespace {

BOOL WINAPI RecordOpenFile(LPOPENFILENAMEA dialog) {
    ++Recorded.openFileCalls;
    Recorded.openFileOwner = dialog->hwndOwner;
    Recorded.openFileFilter.clear();
    if (dialog->lpstrFilter != nullptr) {
        const char* part = dialog->lpstrFilter;
        while (*part != '\0') {
            Recorded.openFileFilter += part;
            Recorded.openFileFilter += '|';
            part += std::strlen(part) + 1;
        }
    }
    Recorded.openFileInitialDirectoryGiven = dialog->lpstrInitialDir != nullptr;
    Recorded.openFileInitialDirectory =
        dialog->lpstrInitialDir != nullptr ? dialog->lpstrInitialDir : "";
    Recorded.openFileFlags = dialog->Flags;
    Recorded.openFileFilterIndex = dialog->nFilterIndex;
    Recorded.openFileMaxFile = dialog->nMaxFile;
    if (Recorded.openFileAnswer.empty() || dialog->lpstrFile == nullptr ||
        Recorded.openFileAnswer.size() >= dialog->nMaxFile) {
        return FALSE;
    }
    std::memcpy(dialog->lpstrFile, Recorded.openFileAnswer.c_str(),
                Recorded.openFileAnswer.size() + 1);
    return TRUE;
}

int WINAPI RecordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    Recorded.boxes.push_back({owner, text != nullptr ? text : "", caption != nullptr, type});
    return IDOK;
}

HINSTANCE WINAPI RecordShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                    LPCSTR directory, INT show) {
    Recorded.shells.push_back({owner, verb != nullptr ? verb : "(none)",
                               file != nullptr ? file : "", parameters != nullptr,
                               directory != nullptr, show});
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
}

std::uint32_t FromColorRef(COLORREF colour) {
    return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
}

} // namespace

RecordingCalls::RecordingCalls() {
    Recorded = RecordedCalls{};
    PlatformCalls.GetOpenFileNameA = RecordOpenFile;
    PlatformCalls.MessageBoxA = RecordMessageBox;
    PlatformCalls.ShellExecuteA = RecordShellExecute;
}

RecordingCalls::~RecordingCalls() {
    PlatformCalls = RealBlockingCalls();
}

std::uint32_t ButtonFaceColour() {
    return FromColorRef(GetSysColor(COLOR_BTNFACE));
}

ClientPixels ExpectedPicture(const DisplayBitmap& bitmap, int zoom, bool invert, int width,
                             int height) {
    ClientPixels expected{
        width, height,
        std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, ButtonFaceColour())};
    if (!bitmap.pixels) {
        ADD_FAILURE() << "no decoded bitmap to expect";
        return expected;
    }
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(bitmap.width) * 3);
    for (int row = 0; row < bitmap.height; ++row) {
        BitmapRowToRgb(bitmap, row, rgb.data());
        for (int column = 0; column < bitmap.width; ++column) {
            std::uint32_t colour = (static_cast<std::uint32_t>(rgb[column * 3]) << 16) |
                                   (static_cast<std::uint32_t>(rgb[column * 3 + 1]) << 8) |
                                   rgb[column * 3 + 2];
            if (invert) {
                colour = ~colour & 0xFFFFFF;
            }
            for (int dy = 0; dy < zoom; ++dy) {
                for (int dx = 0; dx < zoom; ++dx) {
                    const int x = 8 + column * zoom + dx;
                    const int y = 66 + row * zoom + dy;
                    if (x < width && y < height) {
                        expected.pixels[static_cast<std::size_t>(y) * width + x] = colour;
                    }
                }
            }
        }
    }
    return expected;
}

ClientPixels ExpectedPrompt(HWND window, const char* text, int width, int height) {
    HDC windowDc = GetDC(window);
    ClientPixels result;
    {
        DibCanvas canvas(windowDc, width, height);
        HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
        const RECT all{0, 0, width, height};
        FillRect(canvas.Dc(), &all, face);
        DeleteObject(face);
        SelectObject(canvas.Dc(), GetCurrentObject(windowDc, OBJ_FONT));
        SetBkMode(canvas.Dc(), TRANSPARENT);
        TextOutA(canvas.Dc(), 8, 66, text, static_cast<int>(std::strlen(text)));
        result = canvas.Pixels();
    }
    ReleaseDC(window, windowDc);
    return result;
}

::testing::AssertionResult SameBelow(const ClientPixels& actual, const ClientPixels& expected,
                                     int firstRow) {
    if (actual.width != expected.width || actual.height != expected.height) {
        return ::testing::AssertionFailure()
               << "size " << actual.width << " x " << actual.height << ", expected "
               << expected.width << " x " << expected.height;
    }
    for (int y = firstRow; y < actual.height; ++y) {
        for (int x = 0; x < actual.width; ++x) {
            if (actual.At(x, y) != expected.At(x, y)) {
                return ::testing::AssertionFailure()
                       << "pixel " << x << ", " << y << " is " << std::hex << actual.At(x, y)
                       << ", expected " << expected.At(x, y);
            }
        }
    }
    return ::testing::AssertionSuccess();
}

void ViewerWindowTest::SetUp() {
    ViewerInstance = GetModuleHandleA(nullptr);
    SetModulePaths((programFolder_.Path() + "\\zenview.exe").c_str());
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExA(ViewerInstance, VIEWER_CLASS_NAME, &existing)) {
        ASSERT_TRUE(RegisterViewerClass(ViewerInstance));
    }
}

void ViewerWindowTest::TearDown() {
    if (window_ != nullptr && IsWindow(window_)) {
        DestroyWindowNow();
    }
}

void ViewerWindowTest::PresetSetting(const char* key, const char* value) {
    ASSERT_TRUE(WritePrivateProfileStringA("Viewer", key, value, SettingsFilePath));
}

HWND ViewerWindowTest::CreateWindowNow() {
    window_ = CreateViewerWindow(ViewerInstance);
    EXPECT_NE(window_, nullptr);
    // A known place fully on the screen, so that nothing of the client area is clipped.
    SetWindowPos(window_, HWND_TOP, 40, 30, 0, 0, SWP_NOSIZE);
    return window_;
}

void ViewerWindowTest::DestroyWindowNow() {
    DestroyWindow(window_);
    MSG message{};
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    window_ = nullptr;
}

void ViewerWindowTest::OpenThroughDialog(const std::string& path) {
    Recorded.openFileAnswer = path;
    Command(100);
}

void ViewerWindowTest::Command(WORD id) {
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void ViewerWindowTest::SelectLine(int line) {
    HWND list = GetDlgItem(window_, 200);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(200, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

std::vector<std::string> ViewerWindowTest::ListLines() const {
    HWND list = GetDlgItem(window_, 200);
    std::vector<std::string> lines;
    const auto count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::string line(static_cast<std::size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)), '\0');
        std::vector<char> buffer(line.size() + 1);
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer.data()));
        lines.emplace_back(buffer.data());
    }
    return lines;
}

int ViewerWindowTest::Selection() const {
    return static_cast<int>(SendMessageA(GetDlgItem(window_, 200), LB_GETCURSEL, 0, 0));
}

std::string ViewerWindowTest::ReadSetting(const char* key) const {
    char value[260] = "";
    GetPrivateProfileStringA("Viewer", key, "(absent)", value, sizeof value, SettingsFilePath);
    return value;
}

::testing::AssertionResult ViewerWindowTest::ShowsPrompt(const char* text) const {
    const ClientPixels shown = CaptureClient(window_);
    return SameBelow(shown, ExpectedPrompt(window_, text, shown.width, shown.height), 60);
}
