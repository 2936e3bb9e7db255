// What a row shows of the words: the marks under them in the title and the
// excerpt, and the text around the first word, as the search cuts them and as
// a later page load reads them again.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/DataFolder.h"

using namespace testing_support;

namespace {

struct MarksCase {
    const char* name;
    std::string content;
    const char* query;
    std::string title;  // marked runs in brackets
    std::string excerpt;
    std::string context;
};

void PrintTo(const MarksCase& c, std::ostream* out) {
    *out << c.name;
}

// The text with each run of marked bytes in brackets.
std::string Bracketed(const char* text, const unsigned char* marks) {
    std::string out;
    bool inside = false;
    for (size_t i = 0; text[i] != '\0'; ++i) {
        if ((marks[i] != 0) != inside) out += inside ? "]" : "[";
        inside = marks[i] != 0;
        out += text[i];
    }
    return inside ? out + "]" : out;
}

class RowMarksTest : public testing::TestWithParam<MarksCase> {};

TEST_P(RowMarksTest, MarksAndContext) {
    DataFolder folder;
    folder.Write("DATA/file.txt", GetParam().content);
    auto engine = NewEngine();
    engine->m_sub_Search(GetParam().query);
    ASSERT_EQ(engine->m_nHits, 1);
    const ResultItem& row = engine->m_items[0];
    for (const char* when : {"cut by the search", "read again by a page load"}) {
        SCOPED_TRACE(when);
        EXPECT_EQ(Bracketed(row.szTitle, row.titleMarks), GetParam().title);
        EXPECT_EQ(Bracketed(row.szContent, row.contentMarks), GetParam().excerpt);
        EXPECT_EQ(Bracketed(row.szContext, row.contextMarks), GetParam().context);
        EXPECT_LE(std::strlen(row.szContext), 85u);
        engine->m_sub_LoadPage();
    }
}

std::string Times(const std::string& text, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += text;
    return out;
}

const MarksCase kMarksCases[] = {
    {"WordAtTheStart", "料理の本\n作り方", "料理", "[料理]の本", "作り方", "…[料理]の本作り方"},
    {"WordOnlyInTheTitle", "料理メモ\n本文だけ", "料理", "[料理]メモ", "本文だけ",
     "…[料理]メモ本文だけ"},
    {"SeveralWordsOverlapping", "abcabc\nxbcx", "abc bc", "[abcabc]", "x[bc]x", "…[abcabc]x[bc]x"},
    // The second byte of ア is 0x41, "A", but no character begins there.
    {"OnlyAtCharacterBoundaries", "アA\nアA", "A", "ア[A]", "ア[A]", "…ア[A]ア[A]"},
    // The text ends 2,001 bytes in, right after the word: the line ends there
    // and reaches back as far as 85 bytes allow.
    {"WordAtTheEndOfTheText", "t\n" + std::string(1996, 'x') + "wordzz", "word", "t",
     std::string(85, 'x'), "…" + std::string(79, 'x') + "[word]"},
    // The excerpt ends inside the word: the row shows where it is instead.
    {"WordAcrossTheExcerptLimit", "t\n" + std::string(83, 'x') + "word" + std::string(100, 'y'),
     "word", "t", std::string(83, 'x') + "wo",
     "…" + std::string(24, 'x') + "[word]" + std::string(55, 'y')},
    // A two-byte character that would reach the 85th byte is left out.
    {"TwoByteCharacterAtTheEnd", "t\nworda" + Times("あ", 60), "word", "t",
     "[word]a" + Times("あ", 40), "…t[word]a" + Times("あ", 38)},
    // The lead-in begins at a character boundary, never inside one.
    {"TwoByteCharacterAtTheStart", "t\n" + Times("あ", 30) + "aword" + std::string(100, 'z'),
     "word", "t", Times("あ", 30) + "a[word]" + std::string(20, 'z'),
     "…" + Times("あ", 11) + "a[word]" + std::string(56, 'z')},
    {"Utf8FileConverted", U8(u8"料理のメモ\n今日は料理"), "今日", "料理のメモ", "[今日]は料理",
     "…料理のメモ[今日]は料理"},
};

INSTANTIATE_TEST_SUITE_P(Rows, RowMarksTest, testing::ValuesIn(kMarksCases),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
