// PictureFormat: which reader takes a source picture. A file's first bytes decide where
// they carry a known signature; otherwise its name does, as it always has.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum class PictureFormat {
    Bitmap, // "BM": the project's bitmap reader (1 to 32 bits)
    Pnm,    // "P1" to "P6": the project's PBM/PGM/PPM reader
    Png,
    Gif,
    Jpeg,
    Tga, // no signature: chosen by the name ".tga" only
};

// The bytes that SignatureFormat needs at most.
inline constexpr std::size_t SIGNATURE_BYTES = 8;

// The format that the file's first count bytes announce, or false when they carry
// no known signature: "BM"; "P1" to "P6"; PNG's eight bytes; "GIF87a"/"GIF89a";
// JPEG's FF D8 FF.
bool SignatureFormat(const std::uint8_t* head, std::size_t count, PictureFormat& format);

// The choice by name for a file without a known signature: the reader of its kind of
// file where that kind is chosen by name (".bmp", ".dib", ".tga", the PBM/PGM/PPM names;
// any case), every other name to the PBM/PGM/PPM reader.
PictureFormat NameFormat(const std::string& path);

// True for the names of PBM, PGM and PPM files: ".pbm", ".pgm", ".ppm" or ".pnm" (any
// case), as picture_file_kinds.h lists them.
bool HasPnmName(const std::string& path);

// The choice for a file: its signature when it has a known one, else its name.
PictureFormat ChoosePictureFormat(const std::string& path, const std::uint8_t* head,
                                  std::size_t count);
