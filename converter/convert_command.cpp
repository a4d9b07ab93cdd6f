// The conversion command. The writer runs synchronously here; the messages are owned by the
// dialog, captioned "Zenconv", with an OK button and no icon.
#include "convert_command.h"

#include "blocking_calls.h"
#include "convert_images.h"
#include "file_list.h"
#include "message_box_sink.h"
#include "resource.h"

#include <new>

ConvertImagesFunction ConvertPictures = ConvertImages;

namespace {

void ShowDialogMessage(HWND dialog, const char* text) {
    PlatformCalls.MessageBoxA(dialog, text, CONVERTER_CAPTION, MB_OK);
}

std::vector<std::uint32_t> TypeCodesOf(HWND typeList) {
    const LRESULT count = SendMessageA(typeList, LB_GETCOUNT, 0, 0);
    std::vector<std::uint32_t> codes;
    codes.reserve(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        codes.push_back(static_cast<std::uint32_t>(
            SendMessageA(typeList, LB_GETITEMDATA, static_cast<WPARAM>(index), 0)));
    }
    return codes;
}

void ConvertEachPicture(const std::vector<std::string>& paths,
                        const std::vector<std::uint32_t>& codes) {
    std::vector<std::string> one(1);
    for (const std::string& path : paths) {
        one[0] = path;
        if (ConvertPictures(one, codes, 0) != 0) {
            return;
        }
    }
}

} // namespace

unsigned int ReadDelayField(HWND dialog) {
    BOOL translated = FALSE;
    const UINT value = GetDlgItemInt(dialog, IDC_DELAY, &translated, FALSE);
    return translated ? value : 0;
}

void ConvertLists(HWND dialog) {
    HWND fileList = GetDlgItem(dialog, IDC_FILE_LIST);
    HWND typeList = GetDlgItem(dialog, IDC_TYPE_LIST);
    if (SendMessageA(fileList, LB_GETCOUNT, 0, 0) <= 0) {
        ShowDialogMessage(dialog, NO_SOURCE_FILES_TEXT);
        return;
    }
    if (SendMessageA(typeList, LB_GETCOUNT, 0, 0) <= 0) {
        ShowDialogMessage(dialog, NO_TARGET_TYPES_TEXT);
        return;
    }
    const bool animation = IsDlgButtonChecked(dialog, IDC_ANIMATION) == BST_CHECKED;
    std::vector<std::uint32_t> codes;
    std::vector<std::string> paths;
    try {
        codes = TypeCodesOf(typeList);
        paths = FileListPaths(fileList);
        if (animation) {
            // The first picture once more after all of them, so that the last delta frame
            // leads back to the first picture.
            paths.reserve(paths.size() + 1);
            paths.push_back(paths.front());
        }
    } catch (const std::bad_alloc&) {
        ShowDialogMessage(dialog, INSUFFICIENT_MEMORY_TEXT);
        return;
    }
    if (animation) {
        // The writer keeps the low 16 bits of the delay.
        ConvertPictures(paths, codes, static_cast<int>(ReadDelayField(dialog)));
    } else {
        ConvertEachPicture(paths, codes);
    }
    ShowDialogMessage(dialog, FINISHED_TEXT);
}
