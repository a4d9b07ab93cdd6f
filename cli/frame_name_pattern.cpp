// Frame name patterns: the one integer conversion of printf that names a frame file, read
// by hand so that no text from the command line ever reaches printf as a format.
#include "frame_name_pattern.h"

std::optional<FrameNamePattern> ParseFrameNamePattern(const std::string& text, std::string& error) {
    FrameNamePattern pattern;
    bool found = false;
    std::string literal;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            literal += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '%') {
            literal += '%';
            ++i;
            continue;
        }
        if (found) {
            error = "more than one %d, %i or %u";
            return std::nullopt;
        }
        std::size_t at = i + 1;
        for (; at < text.size(); ++at) {
            const char flag = text[at];
            if (flag == '-') {
                pattern.leftAlign = true;
            } else if (flag == '+') {
                pattern.plusSign = true;
            } else if (flag == ' ') {
                pattern.spaceSign = true;
            } else if (flag == '0') {
                pattern.zeroPad = true;
            } else {
                break;
            }
        }
        unsigned long width = 0;
        for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
            width = width * 10 + static_cast<unsigned long>(text[at] - '0');
            if (width > MAX_FRAME_NAME_WIDTH) {
                error = "a width above " + std::to_string(MAX_FRAME_NAME_WIDTH);
                return std::nullopt;
            }
        }
        if (at == text.size() || (text[at] != 'd' && text[at] != 'i' && text[at] != 'u')) {
            error = "a conversion other than %d, %i or %u (with flags - + space 0 and a width)";
            return std::nullopt;
        }
        pattern.width = static_cast<unsigned>(width);
        pattern.conversion = text[at];
        pattern.before = literal;
        literal.clear();
        found = true;
        i = at;
    }
    if (!found) {
        error = "no %d, %i or %u for the record index";
        return std::nullopt;
    }
    pattern.after = literal;
    return pattern;
}

// printf's rules for a value that is never negative: + or space put a sign before a
// signed conversion (+ wins), - pads on the right, 0 pads with zeros after the sign
// (and is ignored with -), and the width counts the sign.
std::string FrameName(const FrameNamePattern& pattern, int index) {
    std::string sign;
    if (pattern.conversion != 'u') {
        if (pattern.plusSign) {
            sign = "+";
        } else if (pattern.spaceSign) {
            sign = " ";
        }
    }
    const std::string digits = std::to_string(index);
    std::string field = sign + digits;
    if (field.size() < pattern.width) {
        const std::size_t pad = pattern.width - field.size();
        if (pattern.leftAlign) {
            field += std::string(pad, ' ');
        } else if (pattern.zeroPad) {
            field = sign + std::string(pad, '0') + digits;
        } else {
            field = std::string(pad, ' ') + field;
        }
    }
    return pattern.before + field + pattern.after;
}
