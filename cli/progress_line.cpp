// The progress line: "\r" and the text, rewritten in place; blanked with spaces so that it
// works on every console.
#include "progress_line.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

bool StandardErrorIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

ProgressLine::ProgressLine(std::FILE* out, bool terminal, Clock::time_point start,
                           std::chrono::milliseconds delay)
    : out_(out), terminal_(terminal), start_(start), delay_(delay) {}

std::string ProgressLine::Text(const ConversionProgress& progress) {
    std::string text;
    if (progress.pictures > 1) {
        text += "picture " + std::to_string(progress.picturesDone + 1) + " of " +
                std::to_string(progress.pictures) + ", ";
    }
    const std::size_t type =
        progress.typesDone < progress.types ? progress.typesDone + 1 : progress.types;
    text += "display type " + std::to_string(type) + " of " + std::to_string(progress.types);
    if (progress.frames > 1) {
        text += ", frame " + std::to_string(progress.framesDone) + " of " +
                std::to_string(progress.frames);
    }
    return text;
}

void ProgressLine::Show(const ConversionProgress& progress, Clock::time_point now) {
    if (!terminal_ || now - start_ < delay_ ||
        (shown_ != 0 && now - written_ < std::chrono::milliseconds(100))) {
        return;
    }
    const std::string text = "ztr: " + Text(progress);
    // Spaces cover what a longer line before left over.
    const std::size_t pad = shown_ > text.size() ? shown_ - text.size() : 0;
    std::fprintf(out_, "\r%s%*s", text.c_str(), static_cast<int>(pad), "");
    std::fflush(out_);
    shown_ = text.size() + pad;
    written_ = now;
}

void ProgressLine::Clear() {
    if (shown_ == 0) {
        return;
    }
    std::fprintf(out_, "\r%*s\r", static_cast<int>(shown_), "");
    std::fflush(out_);
    shown_ = 0;
}
