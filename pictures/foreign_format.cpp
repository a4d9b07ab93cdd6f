// Signatures of formats that ztr does not read. Only the first bytes are looked at, and
// only after the reader that the file's signature or name chose has refused it, so a weak
// signature (an icon's four bytes) never keeps a readable picture from being read.
#include "foreign_format.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

using Bytes = std::span<const std::uint8_t>;

bool StartsWith(Bytes bytes, std::string_view signature, std::size_t at = 0) {
    return bytes.size() >= at + signature.size() &&
           std::memcmp(bytes.data() + at, signature.data(), signature.size()) == 0;
}

// How far into a text file an SVG's root element is looked for.
constexpr std::size_t SVG_SEARCH_BYTES = 4096;

bool IsSvg(Bytes bytes) {
    std::string_view text(reinterpret_cast<const char*>(bytes.data()),
                          std::min(bytes.size(), SVG_SEARCH_BYTES));
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3); // UTF-8 byte order mark
    }
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos || text[start] != '<') {
        return false;
    }
    return text.find("<svg") != std::string_view::npos;
}

// ISO media files (HEIF, AVIF, MP4, QuickTime) by the brands of their first box.
std::optional<std::string> IsoMedia(Bytes bytes) {
    if (!StartsWith(bytes, "ftyp", 4) || bytes.size() < 12) {
        return std::nullopt;
    }
    const std::string_view major(reinterpret_cast<const char*>(bytes.data()) + 8, 4);
    const std::size_t boxEnd = std::min<std::size_t>(
        bytes.size(), std::size_t{bytes[0]} << 24 | std::size_t{bytes[1]} << 16 |
                          std::size_t{bytes[2]} << 8 | bytes[3]);
    const std::string_view box(reinterpret_cast<const char*>(bytes.data()), boxEnd);
    if (major == "avif" || major == "avis" ||
        (box.size() > 16 && box.substr(16).find("avif") != std::string_view::npos)) {
        return "an AVIF picture";
    }
    for (const std::string_view heif :
         {"heic", "heix", "hevc", "hevx", "heim", "heis", "hevm", "hevs", "mif1", "msf1"}) {
        if (major == heif) {
            return "a HEIF picture";
        }
    }
    if (major == "crx ") {
        return "a Canon raw photo (CR3)";
    }
    return "an MP4 or QuickTime video";
}

struct Signature {
    std::string_view bytes;
    std::size_t at;
    const char* what;
};

// Signatures that say it all by themselves.
constexpr Signature SIGNATURES[] = {
    {std::string_view("II*\0", 4), 0, "a TIFF picture"},
    {std::string_view("MM\0*", 4), 0, "a TIFF picture"},
    {std::string_view("II+\0", 4), 0, "a BigTIFF picture"},
    {std::string_view("MM\0+", 4), 0, "a BigTIFF picture"},
    {"8BPS", 0, "a Photoshop picture (PSD)"},
    {"gimp xcf", 0, "a GIMP picture (XCF)"},
    {"%PDF-", 0, "a PDF document"},
    {"%!PS", 0, "a PostScript document"},
    {"\xC5\xD0\xD3\xC6", 0, "an EPS document"},
    {std::string_view("\0\0\0\x0CjP  \r\n\x87\n", 12), 0, "a JPEG 2000 picture"},
    {"\xFF\x4F\xFF\x51", 0, "a JPEG 2000 picture"},
    {std::string_view("\0\0\0\x0CJXL \r\n\x87\n", 12), 0, "a JPEG XL picture"},
    {"\xFF\x0A", 0, "a JPEG XL picture"},
    {"qoif", 0, "a QOI picture"},
    {"\x76\x2F\x31\x01", 0, "an OpenEXR picture"},
    {"DDS ", 0, "a DirectDraw Surface picture (DDS)"},
    {"#?RADIANCE", 0, "a Radiance HDR picture"},
    {"#?RGBE", 0, "a Radiance HDR picture"},
    {"P7\n", 0, "a PAM picture"},
    {"PF\n", 0, "a PFM picture"},
    {"Pf\n", 0, "a PFM picture"},
    {"PK\x03\x04", 0, "a ZIP archive"},
    {"\x1F\x8B", 0, "a gzip archive"},
};

// What ztr writes: records whose headers carry 0x02 0xA2 in bytes 4 and 5.
constexpr const char* ZENTRA_FILE = "a Zentra file";

// Icons and cursors: a reserved 0, the type (1 icon, 2 cursor), at least one entry, and
// the first entry's reserved byte 0.
std::optional<std::string> IconOrCursor(Bytes bytes) {
    if (bytes.size() < 22 || bytes[0] != 0 || bytes[1] != 0 || bytes[3] != 0 ||
        (bytes[2] != 1 && bytes[2] != 2) || (bytes[4] == 0 && bytes[5] == 0) || bytes[9] != 0) {
        return std::nullopt;
    }
    return bytes[2] == 1 ? "a Windows icon (ICO)" : "a Windows cursor (CUR)";
}

// PCX: its mark, a known version, run-length coding and a known number of bits a pixel.
bool IsPcx(Bytes bytes) {
    return bytes.size() >= 128 && bytes[0] == 0x0A &&
           (bytes[1] == 0 || (bytes[1] >= 2 && bytes[1] <= 5)) && bytes[2] == 1 &&
           (bytes[3] == 1 || bytes[3] == 2 || bytes[3] == 4 || bytes[3] == 8);
}

} // namespace

std::optional<std::string> ForeignFormat(std::span<const std::uint8_t> bytes) {
    if (StartsWith(bytes, "RIFF") && StartsWith(bytes, "WEBP", 8)) {
        return "a WebP picture";
    }
    if (StartsWith(bytes, "\x02\xA2", 4)) {
        return ZENTRA_FILE;
    }
    for (const Signature& signature : SIGNATURES) {
        if (StartsWith(bytes, signature.bytes, signature.at)) {
            return signature.what;
        }
    }
    if (std::optional<std::string> media = IsoMedia(bytes)) {
        return media;
    }
    if (std::optional<std::string> icon = IconOrCursor(bytes)) {
        return icon;
    }
    if (IsPcx(bytes)) {
        return "a PCX picture";
    }
    if (IsSvg(bytes)) {
        return "an SVG picture";
    }
    return std::nullopt;
}

Outcome ForeignFormatOutcome(const std::string& name, const std::string& what) {
    return {.code = what == ZENTRA_FILE ? OutcomeCode::ZentraNotPicture : OutcomeCode::ForeignFile,
            .file = name,
            .words = {what, READ_FORMATS}};
}
