// The kinds of picture file the engine reads, as file choosers offer them: a label, the
// reader and the name extensions, in the order the lists show them. The converter's open
// dialog, the page's file input and the choice of a reader by name all read this table.
#pragma once

#include "picture_format.h"

#include <array>
#include <string>
#include <string_view>

struct PictureFileKind {
    const char* label;
    PictureFormat format;
    // Lower case, with the dot; unused places are empty.
    std::array<std::string_view, 3> extensions;
    // Whether a file of this name whose first bytes carry no known signature still goes
    // to this reader (which then names what is wrong with it); other names go to the
    // PBM/PGM/PPM reader, whose formats' signatures are short.
    bool chosenByName;
};

inline constexpr PictureFileKind PICTURE_FILE_KINDS[] = {
    {"Windows Bitmap", PictureFormat::Bitmap, {".bmp", ".dib"}, true},
    {"PNG", PictureFormat::Png, {".png"}, false},
    {"GIF", PictureFormat::Gif, {".gif"}, false},
    {"JPEG", PictureFormat::Jpeg, {".jpg", ".jpeg", ".jpe"}, false},
    {"Targa", PictureFormat::Tga, {".tga"}, true},
    {"Portable Bitmap", PictureFormat::Pnm, {".pbm"}, true},
    {"Portable Gray-Map", PictureFormat::Pnm, {".pgm"}, true},
    {"Portable Pixmap", PictureFormat::Pnm, {".ppm", ".pnm"}, true},
};

// The kind whose extensions include the path's (the text from its last "."; any case),
// or null.
const PictureFileKind* PictureFileKindOf(const std::string& path);

// Every extension of every kind, in order, each as `before` + extension (".bmp") +
// `after`, joined by `separator`: ".bmp,.dib,..." or "*.bmp;*.dib;...".
std::string PictureExtensionList(const char* before, const char* separator);
