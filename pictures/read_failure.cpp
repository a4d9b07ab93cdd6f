// The two-line failures of the picture readers: the engine's first line whole, then the
// file and the detail.
#include "read_failure.h"

#include "report_message.h"
#include "zentra_format.h"

#include <cstdarg>
#include <cstdio>

namespace {

std::string FormatDetail(const std::string& line, const std::string& name, const char* detail,
                         va_list args) {
    char text[REPORT_BUFFER_SIZE];
    std::vsnprintf(text, sizeof text, detail, args);
    return line + "\n  in '" + name + "': " + text + "\n";
}

} // namespace

Readout ReadFailure(const char* format, ...) {
    char text[REPORT_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    Readout result;
    result.failure = text;
    return result;
}

std::string DetailedText(const std::string& line, const std::string& name, const char* detail,
                         ...) {
    va_list args;
    va_start(args, detail);
    std::string text = FormatDetail(line, name, detail, args);
    va_end(args);
    return text;
}

Readout DetailedFailure(const std::string& line, const std::string& name, const char* detail, ...) {
    va_list args;
    va_start(args, detail);
    Readout result;
    result.failure = FormatDetail(line, name, detail, args);
    va_end(args);
    return result;
}

Readout UnsupportedBitmap(const std::string& name, const char* detail, ...) {
    va_list args;
    va_start(args, detail);
    Readout result;
    result.failure = FormatDetail("ERROR: file '" + name + "' has an invalid or unsupported format",
                                  name, detail, args);
    va_end(args);
    return result;
}

std::string InvalidSizeText(const std::string& name, std::int64_t width, std::int64_t height) {
    char line[96];
    std::snprintf(line, sizeof line, "ERROR: invalid size (width=%lld, height=%lld)",
                  static_cast<long long>(width), static_cast<long long>(height));
    return DetailedText(line, name, "a picture has 1 to %d pixels a side", MAX_PICTURE_SIDE);
}

Readout NotPnmHeader(const std::string& name) {
    return DetailedFailure(TEXT_INVALID_PNM_IMAGE, name,
                           "its first word is not a format number such as P5");
}

Readout NoPnmHeader(const std::string& name) {
    return DetailedFailure(TEXT_WRONG_IMAGE_TYPE, name, "it holds no PBM/PGM/PPM header");
}

Readout TruncatedPicture(const std::string& name, std::int64_t width, std::int64_t height) {
    return DetailedFailure(TEXT_TRUNCATED, name, "not enough data for %lld x %lld pixels",
                           static_cast<long long>(width), static_cast<long long>(height));
}

Readout TruncatedPicture(const std::string& name, std::int64_t width, std::int64_t height,
                         std::uint64_t needed, std::uint64_t held) {
    return DetailedFailure(
        TEXT_TRUNCATED, name, "%lld x %lld pixels need %llu bytes, the file holds %llu",
        static_cast<long long>(width), static_cast<long long>(height),
        static_cast<unsigned long long>(needed), static_cast<unsigned long long>(held));
}
