// What each tone option takes, in words for a message that refuses a value: the words of
// an option with a fixed set ("none, floyd-steinberg, atkinson, bayer4 or bayer8") or the
// range of a number, so that a user who typed a wrong value sees the right ones.
#pragma once

#include <string>

// The values of a key of TONE_KEYS (tone_settings.h) as ApplyToneSetting takes them from a
// user (no empty value); empty for any other key.
std::string ToneValueHint(const std::string& key);
