// The reason line of a failed file operation, in the system's words.
#include "system_reason.h"

#include <cerrno>
#include <cstdlib>

void ResetSystemError() {
    errno = 0;
#ifdef _WIN32
    _doserrno = 0;
#endif
}

std::error_code LastSystemError() {
#ifdef _WIN32
    // The C library maps the system's error to errno and keeps the system's own beside
    // it; the system's message for it is the one Windows users know.
    if (_doserrno != 0) {
        return {static_cast<int>(_doserrno), std::system_category()};
    }
#endif
    if (errno != 0) {
        return {errno, std::generic_category()};
    }
    return {};
}

std::string ReasonText(const std::error_code& error) {
    if (!error) {
        return {};
    }
    std::string text = error.message();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                             text.back() == '.')) {
        text.pop_back();
    }
    if (text.empty()) {
        text = "system error " + std::to_string(error.value());
    }
    return text;
}

std::string ReasonLine(const std::error_code& error, const std::string& doing) {
    if (!error) {
        return {};
    }
    return "  " + ReasonText(error) + (doing.empty() ? "" : " (" + doing + ")") + "\n";
}
