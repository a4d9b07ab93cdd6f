// Shell paths are sorted into pictures, folders and missing files before the pictures go
// through the one "Add &file" loop, so that length limits and the remembered folder follow
// the same rules whichever way a picture arrives.
#include "drop_files.h"

#include "add_files.h"
#include "blocking_calls.h"
#include "dropped_files.h"
#include "message_box_sink.h"
#include "path_limit.h"

namespace {

void ReportPaths(HWND dialog, const char* text, const std::vector<std::string>& paths) {
    if (paths.empty()) {
        return;
    }
    std::string message = text;
    for (const std::string& path : paths) {
        message += "\n" + path;
    }
    PlatformCalls.MessageBoxA(dialog, message.c_str(), CONVERTER_CAPTION,
                              MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

void AddShellPictures(HWND dialog, const std::vector<std::string>& paths) {
    std::vector<std::string> pictures;
    std::vector<std::string> folders;
    std::vector<std::string> missing;
    for (const std::string& path : paths) {
        // A path beyond the limit is refused by the "Add file" rules with their own message.
        const DWORD attributes =
            path.size() > MAX_PATH_CHARS ? 0 : GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            missing.push_back(path);
        } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            folders.push_back(path);
        } else {
            pictures.push_back(path);
        }
    }
    AddPictureFiles(dialog, pictures);
    ReportPaths(dialog, FOLDERS_NOT_ADDED_TEXT, folders);
    ReportPaths(dialog, FILES_NOT_FOUND_TEXT, missing);
}

void AcceptShellPictures(HWND dialog, const std::vector<std::string>* startPictures) {
    DragAcceptFiles(dialog, TRUE);
    if (startPictures != nullptr) {
        AddShellPictures(dialog, *startPictures);
    }
}

INT_PTR OnDropFiles(HWND dialog, HDROP drop, bool busy) {
    const std::vector<std::string> paths = TakeDroppedPaths(drop);
    if (!busy) {
        AddShellPictures(dialog, paths);
    }
    return TRUE;
}
