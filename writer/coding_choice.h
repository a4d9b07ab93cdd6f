// The pixel coding that a conversion writes, and its words: ztr's --coding WORD, the
// converter's [Options] section (coding=WORD) and the web page take the same ones.
#pragma once

#include <optional>
#include <string>

enum class CodingChoice {
    RunLength, // "rle": every record run-length coded, as the tools always wrote
    Squash,    // "squash": every record squash coded
    Auto,      // "auto": each record in whichever coding is smaller, run-length on a tie
};

// The key of the choice in the converter's settings and in the web page's options.
inline constexpr const char* CODING_KEY = "coding";

// The words, in the order of the choices.
inline constexpr const char* CODING_WORDS[] = {"rle", "squash", "auto"};

// The choice a word names; nothing for any other word.
std::optional<CodingChoice> ParseCodingChoice(const std::string& word);

// The word of a choice.
const char* CodingChoiceWord(CodingChoice choice);
