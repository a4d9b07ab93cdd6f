// Looking up the dithering methods' table.
#include "dither_methods.h"

const DitherMethod& DitherMethodOf(Dither dither) {
    for (const DitherMethod& method : DITHER_METHODS) {
        if (method.dither == dither) {
            return method;
        }
    }
    return DITHER_METHODS[0];
}

std::string DitherWords(const char* separator) {
    std::string words;
    for (const DitherMethod& method : DITHER_METHODS) {
        words += (words.empty() ? "" : separator) + std::string(method.word);
    }
    return words;
}
