// Reading and writing tone options as words.
#include "tone_settings.h"

#include <cstdlib>
#include <cstring>

namespace {

// A whole decimal number from low to high, without sign or blanks.
bool ParseNumber(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 5) {
        return false;
    }
    int number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        number = number * 10 + (c - '0');
    }
    if (number < low || number > high) {
        return false;
    }
    value = number;
    return true;
}

bool ParseResize(const std::string& text, ToneOptions& options) {
    if (text.empty()) {
        options.resizeWidth = 0;
        options.resizeHeight = 0;
        return true;
    }
    const std::size_t x = text.find('x');
    int width = 0;
    int height = 0;
    if (x == std::string::npos || !ParseNumber(text.substr(0, x), 1, MAX_PICTURE_SIDE, width) ||
        !ParseNumber(text.substr(x + 1), 1, MAX_PICTURE_SIDE, height)) {
        return false;
    }
    options.resizeWidth = width;
    options.resizeHeight = height;
    return true;
}

bool ParseMirror(const std::string& text, ToneOptions& options) {
    if (text != "x" && text != "y" && text != "xy" && !text.empty()) {
        return false;
    }
    options.mirrorX = text.find('x') != std::string::npos;
    options.mirrorY = text.find('y') != std::string::npos;
    return true;
}

bool ParseChoice(const std::string& text, const char* first, const char* second, bool& isSecond) {
    if (text == first || text == second) {
        isSecond = text == second;
        return true;
    }
    return false;
}

} // namespace

bool ApplyToneSetting(const std::string& key, const std::string& text, ToneOptions& options) {
    bool second = false;
    if (key == "tone") {
        if (!ParseChoice(text, "index", "luminance", second)) {
            return false;
        }
        options.source = second ? ToneSource::Luminance : ToneSource::Index;
    } else if (key == "background") {
        if (!ParseChoice(text, "white", "black", second)) {
            return false;
        }
        options.background = second ? 0 : 255;
    } else if (key == "threshold") {
        if (text == "auto") {
            options.autoThreshold = true;
            return true;
        }
        int threshold = 0;
        if (!ParseNumber(text, 0, 255, threshold)) {
            return false;
        }
        options.autoThreshold = false;
        options.threshold = threshold;
    } else if (key == "dither") {
        return ParseDither(text, options.dither);
    } else if (key == "invert") {
        if (!ParseChoice(text, "0", "1", second)) {
            return false;
        }
        options.invert = second;
    } else if (key == "resize") {
        return ParseResize(text, options);
    } else if (key == "fit") {
        return ParseFit(text, options.fit);
    } else if (key == "rotate") {
        int degrees = 0;
        if (!ParseNumber(text, 0, 270, degrees) || degrees % 90 != 0) {
            return false;
        }
        options.rotate = degrees;
    } else if (key == "mirror") {
        return ParseMirror(text, options);
    } else if (key == "palette") {
        options.palette = text;
    } else if (key == "colours") {
        int colours = 0;
        if (!text.empty() && !ParseNumber(text, 2, MAX_ADAPTIVE_COLOURS, colours)) {
            return false;
        }
        options.colours = colours;
    } else {
        return false;
    }
    return true;
}

std::vector<std::pair<std::string, std::string>> ToneSettings(const ToneOptions& options) {
    std::string mirror = options.mirrorX ? "x" : "";
    if (options.mirrorY) {
        mirror += "y";
    }
    return {
        {"tone", options.source == ToneSource::Luminance ? "luminance" : "index"},
        {"background", options.background == 0 ? "black" : "white"},
        {"threshold", options.autoThreshold ? "auto" : std::to_string(options.threshold)},
        {"dither", DitherName(options.dither)},
        {"invert", options.invert ? "1" : "0"},
        {"resize", options.resizeWidth > 0 ? std::to_string(options.resizeWidth) + "x" +
                                                 std::to_string(options.resizeHeight)
                                           : ""},
        {"fit", FitName(options.fit)},
        {"rotate", std::to_string(options.rotate)},
        {"mirror", mirror},
        {"palette", options.palette},
        {"colours", options.colours > 0 ? std::to_string(options.colours) : ""},
    };
}
