// The clipboard takes a moveable global block holding the packed DIB; the save dialog goes
// through the seam of blocking calls, and the file is written whole or reported.
#include "picture_commands.h"

#include "blocking_calls.h"
#include "file_dialog.h"
#include "program_values.h"
#include "shown_picture.h"

#include <commdlg.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

// The Zentra file's path with its extension replaced by ".bmp"; empty when it would not fit.
std::string ProposedName(const std::string& zentraFile) {
    std::string name = zentraFile;
    const std::size_t dot = name.rfind('.');
    const std::size_t separator = name.rfind('\\');
    if (dot != std::string::npos && (separator == std::string::npos || dot > separator)) {
        name.resize(dot);
    }
    name += ".bmp";
    return name.size() < PATH_BUFFER_SIZE ? name : std::string();
}

bool WriteWholeFile(const char* path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

} // namespace

void CopyShownPicture(HWND window, const DisplayBitmap& bitmap, int zoom, bool invert) {
    const std::vector<std::uint8_t> dib = ShownPictureDib(bitmap, zoom, invert);
    if (dib.empty() || !OpenClipboard(window)) {
        return;
    }
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, dib.size());
    void* memory = block != nullptr ? GlobalLock(block) : nullptr;
    if (memory != nullptr) {
        std::memcpy(memory, dib.data(), dib.size());
        GlobalUnlock(block);
        // Once the clipboard has taken the block, it owns it.
        if (SetClipboardData(CF_DIB, block) != nullptr) {
            block = nullptr;
        }
    }
    if (block != nullptr) {
        GlobalFree(block);
    }
    CloseClipboard();
}

void SaveShownPicture(HWND window, const DisplayBitmap& bitmap, int zoom, bool invert,
                      const std::string& zentraFile) {
    const std::vector<std::uint8_t> file = BmpFileBytes(ShownPictureDib(bitmap, zoom, invert));
    if (file.empty()) {
        return;
    }
    char fileName[PATH_BUFFER_SIZE] = "";
    const std::string proposed = ProposedName(zentraFile);
    std::memcpy(fileName, proposed.c_str(), proposed.size() + 1);

    OPENFILENAMEA dialog =
        FileDialogData(window, "Windows Bitmap (*.bmp)\0*.bmp\0", fileName, sizeof fileName);
    dialog.lpstrDefExt = "bmp";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!PlatformCalls.GetSaveFileNameA(&dialog)) {
        return;
    }
    if (!WriteWholeFile(fileName, file)) {
        PlatformCalls.MessageBoxA(window, SAVE_FAILED_TEXT, nullptr, MB_ICONEXCLAMATION);
    }
}
