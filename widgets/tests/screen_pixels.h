// Pixels of a window read back: from its own painting, or from the screen as a user sees
// it; and a drawing surface for making the expected pixels with the same platform calls.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Pixels, top row first, as 0x00RRGGBB.
struct ClientPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// A top-down 32-bit DIB section selected into a memory DC, for drawing and reading back.
class DibCanvas {
  public:
    DibCanvas(HDC reference, int width, int height);
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    HDC Dc() const { return dc_; }
    ClientPixels Pixels() const;

  private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// Paints the window now and reads its client area back.
ClientPixels CaptureClient(HWND window);

// The part of the screen that the window covers (whole: with its frame, or its client area
// only); for windows of another process.
ClientPixels CaptureScreen(HWND window, bool wholeWindow);

// Writes the pixels as a binary PPM ("P6") picture.
void SavePpm(const ClientPixels& shot, const std::string& path);
