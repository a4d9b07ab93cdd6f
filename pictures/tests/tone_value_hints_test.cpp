// The values a refusal lists for a tone option are the values the option takes: every
// listed word is accepted, and every option has its list.
#include "tone_settings.h"
#include "tone_value_hints.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// The words of "a, b or c".
std::vector<std::string> Words(std::string hint) {
    for (const std::string separator : {", ", " or "}) {
        for (std::size_t at = hint.find(separator); at != std::string::npos;
             at = hint.find(separator)) {
            hint.replace(at, separator.size(), " ");
        }
    }
    std::istringstream in(hint);
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

TEST(ToneValueHint, ListsExactlyTheWordsTheOptionTakes) {
    const struct {
        const char* key;
        std::vector<std::string> words;
    } cases[] = {
        {"tone", {"index", "luminance"}},
        {"background", {"white", "black"}},
        {"dither", {"none", "floyd-steinberg", "atkinson", "bayer4", "bayer8"}},
        {"fit", {"contain", "cover", "stretch"}},
        {"rotate", {"90", "180", "270"}},
        {"mirror", {"x", "y"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(Words(ToneValueHint(c.key)), c.words);
        for (const std::string& word : c.words) {
            ToneOptions options;
            EXPECT_TRUE(ApplyToneSetting(c.key, word, options)) << word;
        }
    }
    EXPECT_EQ(ToneValueHint("threshold"), "0 to 255, or auto");
    EXPECT_EQ(ToneValueHint("colours"), "2 to 256");
    EXPECT_EQ(ToneValueHint("resize"), "WxH, each side 1 to 32767");
    EXPECT_EQ(ToneValueHint("coding"), "");
}

TEST(ToneValueHint, EveryToneOptionHasOne) {
    for (const char* key : TONE_KEYS) {
        EXPECT_FALSE(ToneValueHint(key).empty()) << key;
    }
}

} // namespace
