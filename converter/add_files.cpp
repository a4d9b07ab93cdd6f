// The file selection. A selected path that does not fit the platform's 260-byte path buffer
// is not added; a message names it, and the other files are still added.
#include "add_files.h"

#include "blocking_calls.h"
#include "file_dialog.h"
#include "file_list.h"
#include "message_box_sink.h"
#include "path_limit.h"
#include "picture_file_kinds.h"
#include "resource.h"
#include "selected_files.h"
#include "settings.h"

#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>

namespace {

void ReportPathTooLong(HWND dialog, const std::string& path) {
    const std::string text = "The path of this file is too long, so it was not added:\n" + path;
    PlatformCalls.MessageBoxA(dialog, text.c_str(), CONVERTER_CAPTION, MB_OK | MB_ICONEXCLAMATION);
}

// The folder of the selection's first path, without a trailing separator.
void RememberFolder(const std::string& path) {
    const std::size_t separator = path.rfind('\\');
    if (separator != std::string::npos) {
        WriteSettingText("directory", path.substr(0, separator).c_str());
    }
}

// A kind's patterns joined by `separator`: "*.jpg;*.jpeg;*.jpe".
std::string Patterns(const PictureFileKind& kind, const char* separator) {
    std::string patterns;
    for (std::string_view extension : kind.extensions) {
        if (!extension.empty()) {
            patterns +=
                (patterns.empty() ? "" : separator) + std::string("*") + std::string(extension);
        }
    }
    return patterns;
}

} // namespace

std::string PictureFilters() {
    std::string filters = "Pictures";
    filters += '\0' + PictureExtensionList("*", ";") + '\0';
    for (const PictureFileKind& kind : PICTURE_FILE_KINDS) {
        filters += std::string(kind.label) + " (" + Patterns(kind, ", ") + ")" + '\0' +
                   Patterns(kind, ";") + '\0';
    }
    filters += "All files (*.*)";
    filters += '\0' + std::string("*.*") + '\0';
    return filters;
}

void AddSelectedFiles(HWND dialog) {
    std::unique_ptr<char[]> selection(new (std::nothrow) char[SELECTION_BUFFER_SIZE]);
    if (!selection) {
        PlatformCalls.MessageBoxA(dialog, SELECTION_MEMORY_TEXT, nullptr, MB_OK);
        return;
    }
    selection[0] = '\0';

    char folder[SETTING_TEXT_SIZE] = "";
    ReadSettingText("directory", "", folder);

    const std::string filters = PictureFilters();
    OPENFILENAMEA dialogData = FileDialogData(dialog, filters.c_str(), selection.get(),
                                              static_cast<DWORD>(SELECTION_BUFFER_SIZE));
    dialogData.lpstrInitialDir = folder;
    dialogData.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST;
    if (!PlatformCalls.GetOpenFileNameA(&dialogData)) {
        return;
    }
    // The walk stops at the buffer's end even if the dialog left it without terminator.
    selection[SELECTION_BUFFER_SIZE - 1] = '\0';

    std::vector<std::string> paths;
    for (int index = 0;; ++index) {
        std::optional<std::string> path =
            GetSelectedFile(selection.get(), SELECTION_BUFFER_SIZE, index);
        if (!path) {
            break;
        }
        paths.push_back(std::move(*path));
    }
    AddPictureFiles(dialog, paths);
}

void AddPictureFiles(HWND dialog, const std::vector<std::string>& paths) {
    HWND fileList = GetDlgItem(dialog, IDC_FILE_LIST);
    for (std::size_t index = 0; index < paths.size(); ++index) {
        const std::string& path = paths[index];
        if (path.size() > MAX_PATH_CHARS) {
            ReportPathTooLong(dialog, path);
            continue;
        }
        AddFileEntry(fileList, path);
        if (index == 0) {
            RememberFolder(path);
        }
    }
}
