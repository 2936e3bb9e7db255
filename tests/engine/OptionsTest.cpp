// Searches with options against a plain reading of their rules
// (OptionsReading.h): the text gathered from a whole file or its first 2,001
// bytes, and the folding of case, width and kana. Random texts in every
// encoding, with words that may stand across the borders of the blocks the
// engine reads, must give the hits and the marked context that the reading
// gives.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include <sorahiki/testhooks.h>

#include "search/readahead/ReadRoom.h"
#include "search/text/QuickLook.h"
#include "tests/engine/OptionsReading.h"
#include "tests/support/DataFolder.h"

using namespace testing_support;

namespace options_reading {

bool Holds(const std::u32string& text, const std::u32string& word, const SearchOptions& o) {
    const std::u32string folded = Folded(word, o);
    return !folded.empty() && Folded(text, o).find(folded) != std::u32string::npos;
}

// Forms of a few sounds and letters; the last ones never stand in a word.
const char32_t* const kPieces[] = {U"カ", U"ガ", U"か", U"が", U"ｶ",  U"ｶﾞ",   U"ハ", U"パ", U"ば",
                                   U"ﾊ",  U"ﾊﾟ", U"ﾊﾞ", U"ヴ", U"ｳﾞ", U"う",   U"ｰ",  U"ﾞ",  U"ｯ",
                                   U"っ", U"A",  U"a",  U"Ａ", U"ａ", U"b",    U"Ｂ", U"1",  U"１",
                                   U"漢", U"ー", U"、", U" ",  U"\n", U"\r\n", U"\r"};
constexpr int kWordPieces = 28;
constexpr int kPieceCount = sizeof kPieces / sizeof kPieces[0];

// Kanji that fill the first blocks to a random length, then pieces; now and
// then a NUL or 0x1A that ends the text.
std::u32string RandomText(std::mt19937& rng) {
    std::u32string text = U"題名\n";
    text.append(std::uniform_int_distribution<size_t>(0, 4500)(rng), U'漢');
    std::uniform_int_distribution<int> piece(0, kPieceCount - 1), rare(0, 3000);
    for (int i = 0; i < 700; ++i) {
        const int r = rare(rng);
        if (r == 0) text += U'\0';
        if (r == 1) text += U'\x1A';
        text += kPieces[piece(rng)];
    }
    return text;
}

std::u32string RandomWord(std::mt19937& rng) {
    std::uniform_int_distribution<int> piece(0, kWordPieces - 1), count(1, 3);
    std::u32string word;
    for (int n = count(rng); n > 0; --n) word += kPieces[piece(rng)];
    return word;
}

// The first run of marked bytes of a row's context, as Unicode.
std::u32string FirstMarkedRun(const ResultItem& item) {
    std::string run;
    const std::string context = item.szContext;
    size_t at = 0;
    while (at < context.size() && item.contextMarks[at] == 0) ++at;
    while (at < context.size() && item.contextMarks[at] != 0) run += context[at++];
    std::string utf8;
    Cp932ToUtf8(run, utf8);
    return Utf32(utf8);
}

// Each option set searches `text` written in every encoding for `fixed`
// words and random queries of one or two words.
void ExpectEveryOptionAgrees(const std::u32string& text, std::mt19937& rng,
                             const std::vector<std::u32string>& fixed) {
    const std::string utf8 = Utf8(text);
    DataFolder folder;
    folder.Write("DATA/sjis.txt", Cp932(utf8));
    folder.Write("DATA/utf8.txt", utf8);
    folder.Write("DATA/utf16le.txt", Utf16(utf8, false));
    folder.Write("DATA/utf16be.txt", Utf16(utf8, true));
    auto engine = NewEngine();
    for (int bits = 0; bits < 16; ++bits) {
        const SearchOptions o = OptionsOf(bits);
        const std::u32string searched = Gathered(text, o.bWholeFile);
        for (size_t query = 0; query < fixed.size() + 4; ++query) {
            const bool twoWords = query >= fixed.size() && query % 2 == 1;
            const std::u32string first = query < fixed.size() ? fixed[query] : RandomWord(rng);
            const std::u32string second = twoWords ? RandomWord(rng) : U"";
            const bool found =
                Holds(searched, first, o) && (!twoWords || Holds(searched, second, o));
            SCOPED_TRACE("options " + std::to_string(bits) + ", query " + Utf8(first) + " " +
                         Utf8(second));
            engine->m_options = o;
            const std::string words = Cp932(Utf8(twoWords ? first + U" " + second : first));
            engine->m_sub_Search(words.c_str());
            ASSERT_EQ(engine->m_nHits, found ? 4 : 0);
            // The context shows the first word's first match, marked.
            for (int row = 0; row < engine->m_nHits && !twoWords; ++row) {
                const std::u32string marked = Folded(FirstMarkedRun(engine->m_items[row]), o);
                EXPECT_EQ(marked.substr(0, Folded(first, o).size()), Folded(first, o))
                    << engine->m_items[row].szPath;
            }
        }
    }
}

TEST(Options, EveryOptionAgreesWithItsReadingInEveryEncoding) {
    std::mt19937 rng(34);
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ExpectEveryOptionAgrees(RandomText(rng), rng, {});
    }
}

// A letter whose voiced mark is the first byte of the next block the engine
// reads: the 2,002nd byte of the text, and 4,096 bytes further on.
TEST(Options, MarkAcrossTheBorderOfABlock) {
    std::mt19937 rng(35);
    for (size_t border : {2001u, 2001u + 4096u}) {
        SCOPED_TRACE("border " + std::to_string(border));
        std::u32string text = U"題名\n" + std::u32string((border - 5) / 2, U'漢') + U"ｶﾞｲ";
        for (int i = 0; i < 100; ++i) text += kPieces[rng() % kPieceCount];
        ExpectEveryOptionAgrees(text, rng, {U"ガ", U"カ", U"ｶﾞｲ", U"漢ｶ"});
    }
}

// A word whose characters stand across a border of the parts in which a
// whole file is looked at before it is gathered (the first block, then
// parts that overlap by a few bytes), side by side or with a line end
// between, and a word that ends the file: the look must see it in every
// file, with the wide vectors and with the narrow ones.
TEST(Options, WordAcrossThePartsOfAWholeFile) {
    DataFolder folder;
    int files = 0;
    // The word's first byte at `at` in code page 932, UTF-8 and UTF-16
    // (its heads take 5, 7 and 8 bytes before the x's), `after` x's after it.
    auto write = [&](size_t at, const char32_t* word, size_t after) {
        auto text = [&](size_t xs) {
            return U"題名\n" + std::u32string(xs, U'x') + word + std::u32string(after, U'x');
        };
        folder.Write("DATA/" + std::to_string(files++) + ".txt", Cp932(Utf8(text(at - 5))));
        folder.Write("DATA/" + std::to_string(files++) + ".txt", Utf8(text(at - 7)));
        if (at % 2 == 0)
            folder.Write("DATA/" + std::to_string(files++) + ".txt",
                         Utf16(Utf8(text((at - 8) / 2)), false));
    };
    const size_t first = CTextDecoder::kBlockBytes;
    for (size_t part : {first, first + CReadRoom::kPartBytes - sjis::QuickLook::kPartOverlap}) {
        for (size_t at = part - 4; at <= part + 1; ++at) {
            for (const char32_t* word : {U"楕円", U"楕\n円"}) {
                for (size_t after : {50u, 0u}) write(at, word, after);
            }
        }
    }
    for (bool narrow : {false, true}) {
        testhooks::NarrowVectorsOnly(narrow);
        auto engine = NewEngine();
        engine->m_options.bWholeFile = true;
        engine->m_sub_Search(Cp932(Utf8(U"楕円")).c_str());
        EXPECT_EQ(engine->m_nHits, files) << narrow;
    }
    testhooks::NarrowVectorsOnly(false);
}

}  // namespace options_reading
