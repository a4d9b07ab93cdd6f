// The coding choice's words, both ways.
#include "coding_choice.h"

#include <iterator>

std::optional<CodingChoice> ParseCodingChoice(const std::string& word) {
    for (std::size_t i = 0; i < std::size(CODING_WORDS); ++i) {
        if (word == CODING_WORDS[i]) {
            return static_cast<CodingChoice>(i);
        }
    }
    return std::nullopt;
}

const char* CodingChoiceWord(CodingChoice choice) {
    return CODING_WORDS[static_cast<std::size_t>(choice)];
}
