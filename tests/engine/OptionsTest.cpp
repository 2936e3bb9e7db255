// Searches with options against a plain reading of their rules, written here
// over Unicode characters: the text gathered from a whole file or its first
// 2,001 bytes, and the folding of case, width and kana. Random texts in every
// encoding, with words that may stand across the borders of the blocks the
// engine reads, must give the hits and the marked context that the reading
// gives.
#include <gtest/gtest.h>

#include <utf8.h>

#include <iterator>
#include <map>
#include <random>
#include <vector>

#include "tests/engine/text/EncodedFiles.h"
#include "tests/support/DataFolder.h"

using namespace testing_support;
using encoded_files::Cp932;
using encoded_files::Utf16;

// Named, since the tests are built as one unit.
namespace options_reading {

std::string Utf8(const std::u32string& text) {
    std::string out;
    utf8::utf32to8(text.begin(), text.end(), std::back_inserter(out));
    return out;
}

std::u32string Utf32(const std::string& utf8Text) {
    std::u32string out;
    utf8::utf8to32(utf8Text.begin(), utf8Text.end(), std::back_inserter(out));
    return out;
}

// The bytes of a character in code page 932.
size_t Cp932Size(char32_t c) {
    static std::map<char32_t, std::string> forms;
    auto [at, added] = forms.try_emplace(c);
    if (added) at->second = Cp932(Utf8(std::u32string(1, c)));
    return at->second.size();
}

// A separator: its code page 932 form begins with 0x81, and no text keeps it.
bool IsSeparator(char32_t c) {
    static std::map<char32_t, bool> separators;
    auto [at, added] = separators.try_emplace(c);
    if (added) at->second = static_cast<unsigned char>(Cp932(Utf8({c}))[0]) == 0x81;
    return at->second;
}

// The searched text of a file that holds `text`: a NUL or 0x1A ends it, a CR
// before a LF, blanks, line feeds and separators are dropped; without
// `whole`, only the characters that fit in 2,001 bytes count.
std::u32string Gathered(const std::u32string& text, bool whole) {
    std::u32string out;
    size_t bytes = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c == 0 || c == 0x1A) break;
        if (c == U' ' || c == U'\n' ||
            (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') || IsSeparator(c)) {
            continue;
        }
        if (!whole && bytes + Cp932Size(c) > 2001) break;
        bytes += Cp932Size(c);
        out += c;
    }
    return out;
}

// U+FF61 to U+FF9F in full width.
const std::u32string kHalfWidth =
    U"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
    U"ハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
const std::u32string kTakeVoiced = U"カキクケコサシスセソタチツテトハヒフヘホ";
const std::u32string kTakeSemiVoiced = U"ハヒフヘホ";

// Width, then kana, then case; what folds to a separator is dropped.
std::u32string Folded(const std::u32string& text, const SearchOptions& o) {
    std::u32string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        const char32_t next = i + 1 < text.size() ? text[i + 1] : 0;
        if (o.bFoldWidth && c >= 0xFF01 && c <= 0xFF5E) {
            c -= 0xFEE0;
        } else if (o.bFoldWidth && c >= 0xFF61 && c <= 0xFF9F) {
            c = kHalfWidth[c - 0xFF61];
            if (next == 0xFF9E && c == U'ウ') {
                c = U'ヴ', ++i;
            } else if (next == 0xFF9E && kTakeVoiced.find(c) != std::u32string::npos) {
                c += 1, ++i;
            } else if (next == 0xFF9F && kTakeSemiVoiced.find(c) != std::u32string::npos) {
                c += 2, ++i;
            }
        }
        if (o.bFoldKana && c >= 0x3041 && c <= 0x3093) c += 0x60;
        if (o.bFoldCase && ((c >= U'A' && c <= U'Z') || (c >= 0xFF21 && c <= 0xFF3A))) c += 0x20;
        if (!IsSeparator(c)) out += c;
    }
    return out;
}

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

SearchOptions OptionsOf(int bits) {
    SearchOptions o;
    o.bWholeFile = (bits & 1) != 0;
    o.bFoldCase = (bits & 2) != 0;
    o.bFoldWidth = (bits & 4) != 0;
    o.bFoldKana = (bits & 8) != 0;
    return o;
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

}  // namespace options_reading
