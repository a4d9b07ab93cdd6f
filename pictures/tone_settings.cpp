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

// "0" to "1" with at most three decimals ("0.5", ".25", "1.000"), in thousandths.
bool ParseSaturation(const std::string& text, int& saturation) {
    const std::size_t dot = text.find('.');
    const std::string whole = text.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? "" : text.substr(dot + 1);
    if ((whole.empty() && fraction.empty()) || whole.size() > 1 || fraction.size() > 3 ||
        (dot != std::string::npos && fraction.empty())) {
        return false;
    }
    int value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const char c = i == 0 ? (whole.empty() ? '0' : whole[0])
                              : (i - 1 < fraction.size() ? fraction[i - 1] : '0');
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    if (value > SATURATION_ONE) {
        return false;
    }
    saturation = value;
    return true;
}

std::string SaturationText(int saturation) {
    std::string text = std::to_string(saturation / SATURATION_ONE) + "." +
                       std::to_string(SATURATION_ONE + saturation % SATURATION_ONE).substr(1);
    while (text.back() == '0') {
        text.pop_back();
    }
    if (text.back() == '.') {
        text.pop_back();
    }
    return text;
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
    } else if (key == "saturation") {
        return ParseSaturation(text, options.saturation);
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
        {"saturation", SaturationText(options.saturation)},
    };
}
