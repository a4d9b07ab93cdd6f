// Support for the viewer window tests: scratch folders with Zentra files made by the real
// converter engine, the viewer's real window from its real class and resources, recorders
// in place of the calls that would wait for a user, and the window's pixels read back.
#pragma once

#include "blocking_calls.h"
#include "coding_choice.h"
#include "display_bitmap.h"
#include "scratch_folder.h"
#include "screen_pixels.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;

// A grey picture, top row first, one byte per pixel.
struct GreyPicture {
    int width = 0;
    int height = 0;
    Bytes pixels;
};

// An odd-sized picture without symmetry: every pixel differs from its mirror images.
GreyPicture MakeTestPicture(int width, int height);

// Writes the picture as a binary PGM ("P5") file.
void WritePgm(const std::string& path, const GreyPicture& picture);

// Converts the pictures with the real engine into one Zentra file (the first picture's
// name with ".ztr") in the coding; fails the test when the engine reports a failure.
std::string ConvertPictures(const std::vector<std::string>& pgmPaths,
                            const std::vector<std::uint32_t>& typeCodes, int delay,
                            CodingChoice coding = CodingChoice::RunLength);

inline std::uint32_t TypeCode(std::uint8_t layout, std::uint8_t depth) {
    return layout | (static_cast<std::uint32_t>(depth) << 16);
}

Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& bytes);

// Offset of record number index, found through the length fields.
std::size_t RecordOffset(const Bytes& file, int index);

// One full frame: the header, then the unpacked pixel bytes run-length coded.
Bytes RecordBytes(std::uint8_t layout, std::uint8_t depth, std::uint16_t width,
                  std::uint16_t height, const Bytes& unpacked);

// The 3 x 2 picture of the colour tests, top row first, as 0xRRGGBB: red, green, blue /
// white and two mixed colours, in RGB565 F800 07E0 001F / FFFF 1234 A5C3 (1234 widens to
// red 16, green 69, blue 165; A5C3 to 165, 186, 24).
inline constexpr std::uint32_t COLOUR_PICTURE[6] = {0xFF0000, 0x00FF00, 0x0000FF,
                                                    0xFFFFFF, 0x1045A5, 0xA5BA18};
// Its pixels in RGB565, row by row, high byte first.
inline const Bytes COLOUR_PICTURE_RGB565_HIGH_FIRST = {0xF8, 0x00, 0x07, 0xE0, 0x00, 0x1F,
                                                       0xFF, 0xFF, 0x12, 0x34, 0xA5, 0xC3};

// Whether the pixels from left, top on show COLOUR_PICTURE zoom times, inverted when asked:
// exactly, or for RGB565 within one step of each channel (below 8 for red and blue, below 4
// for green), as the platform widens 5 and 6 bits its own way.
::testing::AssertionResult ShowsColourPicture(const ClientPixels& pixels, int left, int top,
                                              int zoom, bool invert, bool rgb565);

// What the recorders saw, and what the file-open dialog answers.
struct RecordedCalls {
    // File-open dialog: the answer (empty: the user cancels) and what was asked.
    std::string openFileAnswer;
    int openFileCalls = 0;
    HWND openFileOwner = nullptr;
    std::string openFileFilter; // the filter with its NULs written as '|'
    std::string openFileInitialDirectory;
    bool openFileInitialDirectoryGiven = false;
    DWORD openFileFlags = 0;
    DWORD openFileFilterIndex = 0;
    DWORD openFileMaxFile = 0;

    struct Box {
        HWND owner;
        std::string text;
        bool captionGiven;
        UINT type;
    };
    std::vector<Box> boxes;

    struct Shell {
        HWND owner;
        std::string verb; // "(none)" for a null verb
        std::string file;
        bool parametersGiven;
        bool directoryGiven;
        INT show;
    };
    std::vector<Shell> shells;
};

extern RecordedCalls Recorded;

// Installs the recorders (and clears Recorded); the destructor restores the real calls.
class RecordingCalls {
  public:
    RecordingCalls();
    ~RecordingCalls();
    RecordingCalls(const RecordingCalls&) = delete;
    RecordingCalls& operator=(const RecordingCalls&) = delete;
};

std::uint32_t ButtonFaceColour();

// The client area as the viewer must paint it below the record list: the button-face
// background with the bitmap zoomed at 8, 66 (inverted when asked).
ClientPixels ExpectedPicture(const DisplayBitmap& bitmap, int zoom, bool invert, int width,
                             int height);

// The background with the text drawn at 8, 66 in the window's own font.
ClientPixels ExpectedPrompt(HWND window, const char* text, int width, int height);

// Compares the rows from firstRow down; reports the first differing pixel.
::testing::AssertionResult SameBelow(const ClientPixels& actual, const ClientPixels& expected,
                                     int firstRow);

// The viewer window for one test: settings file in a scratch "program folder", the class
// registered once per test program, the window created from it, the recorders installed.
class ViewerWindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a key of section "Viewer" before the window is created.
    void PresetSetting(const char* key, const char* value);
    HWND CreateWindowNow();
    // Destroys the window and removes the quit message it posts.
    void DestroyWindowNow();

    // "&Open..." with the dialog answering path.
    void OpenThroughDialog(const std::string& path);
    void Command(WORD id);
    void SelectLine(int line);
    std::vector<std::string> ListLines() const;
    int Selection() const;
    std::string ReadSetting(const char* key) const; // "(absent)" when missing
    // Whether the window shows the prompt below the record list and nothing else there.
    ::testing::AssertionResult ShowsPrompt(const char* text) const;

    ScratchFolder programFolder_;
    ScratchFolder data_;
    RecordingCalls calls_;
    HWND window_ = nullptr;
};
