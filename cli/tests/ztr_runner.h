// Runs the real ztr program in a shell for end-to-end tests and captures its exit
// status, standard output and standard error.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

struct ZtrResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Runs ztr with the arguments in the given directory. Extra shell text (for example a
// ulimit) may be put in front of the command.
inline ZtrResult RunZtr(const std::vector<std::string>& args,
                        const std::filesystem::path& directory, const std::string& prefix = {}) {
    const auto out = directory / ".ztr-stdout";
    const auto err = directory / ".ztr-stderr";
    std::string command =
        "cd " + ShellQuote(directory.string()) + " && " + prefix + " " + ShellQuote(ZTR_EXECUTABLE);
    for (const std::string& arg : args) {
        command += " " + ShellQuote(arg);
    }
    command += " >" + ShellQuote(out.string()) + " 2>" + ShellQuote(err.string());
    const int raw = std::system(("/bin/sh -c " + ShellQuote(command)).c_str());
    ZtrResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadWholeFile(out);
    result.err = ReadWholeFile(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return result;
}

// A fresh, empty directory for one test, removed with its contents at the end.
class ScratchDirectory {
  public:
    explicit ScratchDirectory(const std::string& name)
        : path_(std::filesystem::temp_directory_path() /
                ("ztr-test-" + name + "-" + std::to_string(getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// The names in a folder, sorted: what a run left behind.
inline std::vector<std::string> FolderEntries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

inline void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A binary PGM of noise from a fixed seed, whose 8-bit records do not shrink: a file of
// about width x height bytes that takes a while to convert when large.
inline std::string NoisyPgm(int width, int height, std::uint32_t seed = 5) {
    std::string bytes = "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (long i = 0; i < static_cast<long>(width) * height; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes += static_cast<char>((seed >> 16) & 0xFF);
    }
    return bytes;
}
