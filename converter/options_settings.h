// The converter's tone options and pixel coding: section "Options" of the settings file,
// one key per option with the words that ztr's options take (tone_settings.h,
// coding_choice.h).
#pragma once

#include "coding_choice.h"
#include "tone.h"

inline constexpr const char* OPTIONS_SECTION = "Options";

// The saved options; a missing file, section or key, or a value that is no option word,
// leaves that option at its default (which gives the output of a conversion without
// options).
ToneOptions ReadToneOptions();

// Writes every option's key. Failures are not reported.
void WriteToneOptions(const ToneOptions& options);

// The saved coding (key "coding"); the run-length coding when it is missing or no coding's
// word.
CodingChoice ReadCodingChoice();

// Writes the coding's key. Failures are not reported.
void WriteCodingChoice(CodingChoice choice);
