// Finding and opening the usage guide.
#include "usage_guide.h"

#include "blocking_calls.h"

namespace {

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

std::string UsageGuidePath(const char* moduleDirectory) {
    const std::string beside = std::string(moduleDirectory) + "zenview.pdf";
    if (IsFile(beside)) {
        return beside;
    }
    return std::string(moduleDirectory) + "..\\doc\\zenview.pdf";
}

void OpenUsageGuide(HWND owner, const char* moduleDirectory) {
    const std::string path = UsageGuidePath(moduleDirectory);
    PlatformCalls.ShellExecuteA(owner, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
