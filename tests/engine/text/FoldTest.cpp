// The folding of every character it changes, and of each half-width letter
// with either mark, against the plain reading of the rules in OptionsTest,
// under every set of folding options.
#include <gtest/gtest.h>

#include "search/text/TextFold.h"
#include "tests/engine/OptionsReading.h"

namespace options_reading {

TEST(Fold, EveryFoldedCharacterAsItsReadingHasIt) {
    std::vector<std::u32string> texts;
    auto addRange = [&](char32_t first, char32_t last) {
        for (char32_t c = first; c <= last; ++c) texts.push_back(std::u32string(1, c));
    };
    addRange(U'0', U'z');
    addRange(0x3041, 0x3093);  // hiragana
    addRange(0x30A1, 0x30F6);  // katakana
    addRange(0xFF10, 0xFF5A);  // full-width digits and letters
    addRange(0xFF61, 0xFF9F);  // half-width katakana
    for (char32_t c = 0xFF61; c <= 0xFF9F; ++c) {
        texts.push_back({c, 0xFF9E});
        texts.push_back({c, 0xFF9F});
    }
    for (int bits = 0; bits < 16; bits += 2) {
        const SearchOptions o = OptionsOf(bits);
        const text_fold::FoldRules rules{o.bFoldCase, o.bFoldWidth, o.bFoldKana};
        for (const std::u32string& text : texts) {
            const std::string word = Cp932(Utf8(text));
            if (word.empty() || static_cast<unsigned char>(word[0]) == 0x81) continue;
            char folded[8];
            text_fold::FoldWord(word.c_str(), rules, folded);
            EXPECT_EQ(std::string(folded), Cp932(Utf8(Folded(text, o))))
                << "options " << bits << ", " << Utf8(text);
        }
    }
}

}  // namespace options_reading
