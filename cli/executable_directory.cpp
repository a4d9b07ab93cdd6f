// Finding the program's own directory: GetModuleFileNameA on Windows, /proc/self/exe on
// Linux. This is the only platform-specific code of ztr.
#include "executable_directory.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

std::string ExecutableDirectory() {
#ifdef _WIN32
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    std::string text(path, length);
    const auto slash = text.find_last_of("\\/");
    return slash == std::string::npos ? std::string{} : text.substr(0, slash + 1);
#else
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    return self.parent_path().string() + "/";
#endif
}

std::string DefaultProfilePath() {
    const std::string directory = ExecutableDirectory();
    const std::string beside = directory + "displays.prf";
    std::error_code error;
    if (directory.empty() || std::filesystem::exists(beside, error)) {
        return directory.empty() ? std::string{"displays.prf"} : beside;
    }
    const std::string installed = directory + "../share/zentra/displays.prf";
    if (std::filesystem::exists(installed, error)) {
        return installed;
    }
    return beside;
}
