// Comparing paths for identity: the file system's own answer where the files exist,
// the folders' where only they do, the normalised text otherwise.
#include "same_file.h"

#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// The path made absolute (against the working folder) and normalised; the text as given
// when the working folder cannot be read.
fs::path Normalised(const std::string& text) {
    std::error_code error;
    fs::path path = fs::absolute(fs::path(text), error);
    if (error) {
        path = fs::path(text);
    }
    return path.lexically_normal();
}

bool SameName(const fs::path& first, const fs::path& second) {
#ifdef _WIN32
    const std::string a = first.string();
    const std::string b = second.string();
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
#else
    return first == second;
#endif
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error) && !error;
}

} // namespace

bool SamePathText(const std::string& first, const std::string& second) {
    return SameName(Normalised(first), Normalised(second));
}

bool SameFile(const std::string& first, const std::string& second) {
    const fs::path a = Normalised(first);
    const fs::path b = Normalised(second);
    const bool aExists = Exists(a);
    const bool bExists = Exists(b);
    std::error_code error;
    if (aExists && bExists) {
        const bool same = fs::equivalent(a, b, error);
        return same && !error;
    }
    if (aExists != bExists) {
        return false;
    }
    // Neither exists yet: one entry when the names match in one folder.
    if (!SameName(a.filename(), b.filename())) {
        return false;
    }
    const fs::path aFolder = a.parent_path();
    const fs::path bFolder = b.parent_path();
    if (Exists(aFolder) && Exists(bFolder)) {
        const bool same = fs::equivalent(aFolder, bFolder, error);
        return same && !error;
    }
    return SameName(aFolder, bFolder);
}
