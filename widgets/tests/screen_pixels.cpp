// Reading pixels back through a DIB section, from a window's DC or from the screen.
#include "screen_pixels.h"

#include <fstream>

DibCanvas::DibCanvas(HDC reference, int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    dc_ = CreateCompatibleDC(reference);
    bitmap_ = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(memory);
    previous_ = SelectObject(dc_, bitmap_);
}

DibCanvas::~DibCanvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

ClientPixels DibCanvas::Pixels() const {
    GdiFlush();
    ClientPixels result{width_, height_, {}};
    result.pixels.assign(bits_, bits_ + static_cast<std::size_t>(width_) * height_);
    for (std::uint32_t& pixel : result.pixels) {
        pixel &= 0xFFFFFF;
    }
    return result;
}

ClientPixels CaptureClient(HWND window) {
    UpdateWindow(window);
    RECT client{};
    GetClientRect(window, &client);
    HDC windowDc = GetDC(window);
    ClientPixels result;
    {
        DibCanvas canvas(windowDc, client.right, client.bottom);
        BitBlt(canvas.Dc(), 0, 0, client.right, client.bottom, windowDc, 0, 0, SRCCOPY);
        result = canvas.Pixels();
    }
    ReleaseDC(window, windowDc);
    return result;
}

ClientPixels CaptureScreen(HWND window, bool wholeWindow) {
    RECT area{};
    if (wholeWindow) {
        GetWindowRect(window, &area);
    } else {
        GetClientRect(window, &area);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    }
    HDC screen = GetDC(nullptr);
    ClientPixels result;
    {
        DibCanvas canvas(screen, area.right - area.left, area.bottom - area.top);
        BitBlt(canvas.Dc(), 0, 0, area.right - area.left, area.bottom - area.top, screen, area.left,
               area.top, SRCCOPY);
        result = canvas.Pixels();
    }
    ReleaseDC(nullptr, screen);
    return result;
}

void SavePpm(const ClientPixels& shot, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << shot.width << " " << shot.height << "\n255\n";
    for (const std::uint32_t pixel : shot.pixels) {
        const char rgb[3] = {static_cast<char>(pixel >> 16), static_cast<char>(pixel >> 8),
                             static_cast<char>(pixel)};
        out.write(rgb, 3);
    }
}
