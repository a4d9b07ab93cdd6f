// Tone options as words: the same keys and values serve ztr's command line
// (--KEY VALUE) and the converter's [Options] section (KEY=VALUE), so that both read and
// write them by one rule.
#pragma once

#include "tone.h"

#include <string>
#include <utility>
#include <vector>

// The keys, in the order in which ToneSettings lists them.
inline constexpr const char* TONE_KEYS[] = {"tone",   "background", "threshold", "dither",
                                            "invert", "resize",     "fit",       "rotate",
                                            "mirror", "palette",    "colours",   "saturation"};

// Sets the option that key names from its text. False when the key is none of TONE_KEYS
// or the text is not one of its values:
//   tone        index | luminance
//   background  white | black
//   threshold   0 to 255 | auto
//   dither      a word of DITHER_METHODS (dither_methods.h)
//   invert      1 | 0
//   resize      WxH (each side 1 to MAX_PICTURE_SIDE) | "" (keep the size)
//   fit         contain | cover | stretch
//   rotate      0 | 90 | 180 | 270
//   mirror      x | y | xy | "" (x: left and right swap; y: top and bottom swap)
//   palette     a built-in palette's name, a "#RRGGBB,..." list or a palette file's path
//               (read when converting) | "" (none)
//   colours     2 to 256 (an adaptive palette of at most that many colours) | "" (none)
//   saturation  0 to 1 in steps of 0.001 ("0", "0.5", "1", ".25"): 0 matches a panel
//               palette's nominal colours, 1 the colours the panel shows
bool ApplyToneSetting(const std::string& key, const std::string& text, ToneOptions& options);

// Every option as a key and its text, in the order of TONE_KEYS.
std::vector<std::pair<std::string, std::string>> ToneSettings(const ToneOptions& options);
