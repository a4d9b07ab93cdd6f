// Writing benchmark pictures as source files (PBM, PGM, Windows bitmaps) and a scratch
// folder that is removed with its contents when it goes away.
#pragma once

#include "bench_pictures.h"

#include <filesystem>
#include <string>

enum class SourceKind { PlainPbm, PlainPgm, RawPbm, RawPgm, Bmp1, Bmp4, Bmp8 };

// Writes the picture in the given format: grey levels thresholded at 128 for PBM and
// 1-bit bitmaps, the top four bits for 4-bit bitmaps (with a grey colour table).
void WriteSourceFile(const std::filesystem::path& path, const BenchPicture& picture,
                     SourceKind kind);

// The file name extension that LoadImageFile expects for the kind.
std::string SourceExtension(SourceKind kind);

class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};
