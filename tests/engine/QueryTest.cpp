// How a query is split into words, through m_sub_Search.
#include <gtest/gtest.h>

#include "tests/support/DataFolder.h"

using namespace testing_support;
using Strings = std::vector<std::string>;

namespace {

struct QueryCase {
    const char* name;
    std::string query;
    Strings words;
};

// Cases are shown by name in the test output.
void PrintTo(const QueryCase& c, std::ostream* out) {
    *out << c.name;
}

class QueryWords : public testing::TestWithParam<QueryCase> {};

TEST_P(QueryWords, ParsesTheWords) {
    DataFolder folder;
    auto engine = NewEngine();
    EXPECT_TRUE(engine->m_sub_Search(GetParam().query.c_str()));
    EXPECT_EQ(Words(*engine), GetParam().words);
}

const QueryCase kQueryCases[] = {
    {"TwoBlanksBetween", "ab  cd", {"ab", "cd"}},
    {"BlanksAround", "  ab  ", {"ab"}},
    {"FullWidthBlank",
     "ab\x81\x40"
     "cd",
     {"ab", "cd"}},
    {"IdeographicComma", "料理、rice", {"料理", "rice"}},
    {"TwentyFiveLetters", "ABCDEFGHIJKLMNOPQRSTUVWXY", {"ABCDEFGHIJKLMNOPQRST", "VWXY"}},
    {"ElevenWords", "a b c d e f g h i j k", {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}},
    // Whole characters: the one that would not fit ends the word and is dropped.
    {"ElevenKanaCharacters", "あいうえおかきくけこさ", {"あいうえおかきくけこ"}},
    {"TwelveKanaCharacters", "あいうえおかきくけこさし", {"あいうえおかきくけこ", "し"}},
    {"KanaAfterNineteenLetters", "ABCDEFGHIJKLMNOPQRSあい", {"ABCDEFGHIJKLMNOPQRS", "い"}},
    // 0x81 as the second byte of a character is part of it, no separator.
    {"SecondByte0x81",
     "\x82\x81"
     "b",
     {"\x82\x81"
      "b"}},
    {"LongVowelMarkSeparates", "メール", {"メ", "ル"}},
    // A lead byte before a byte that cannot follow it is dropped alone.
    {"LeadByteBeforeBlankDropped", "\x83\x20x", {"x"}},
    {"LeadByteBeforeDigitDropped",
     "ab\x83"
     "1",
     {"ab1"}},
    {"LineFeedEndsTheQuery", "ab\ncd", {"ab"}},
    {"CarriageReturnIsText", "a\rb", {"a\rb"}},
    {"OnlyBlanks", "   \x81\x40 ", {}},
    {"LoneLeadByte", "\x83", {}},
    {"LeadByteAtTheEnd", "ab \x83", {"ab"}},
};

INSTANTIATE_TEST_SUITE_P(Query, QueryWords, testing::ValuesIn(kQueryCases),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST(Query, QueryWithoutWordFindsNothingWhateverTheSlotsHold) {
    DataFolder folder;
    folder.Write("DATA/a.txt", "abc");
    auto engine = NewEngine();
    engine->m_sub_Search("abc");
    ASSERT_EQ(engine->m_nHits, 1);
    engine->m_sub_Search("\x83");
    EXPECT_EQ(engine->m_nWords, 0);
    EXPECT_EQ(engine->m_nHits, 0);
    EXPECT_EQ(engine->m_bNoHit, 1);
}

TEST(Query, EachSearchUsesOnlyItsOwnWords) {
    DataFolder folder;
    folder.Write("DATA/a.txt", "abc");
    folder.Write("DATA/b.txt", "abc def");
    auto engine = NewEngine();
    engine->m_sub_Search("abc def xyz");
    EXPECT_EQ(engine->m_nHits, 0);
    engine->m_sub_Search("abc");
    EXPECT_EQ(HitPaths(*engine), (Strings{"DATA/a.txt", "DATA/b.txt"}));
}

TEST(Query, LastByteReadIsKeptSignExtended) {
    DataFolder folder;
    auto engine = NewEngine();
    engine->m_sub_Search("ab");
    EXPECT_EQ(engine->m_nChar, 0);
    engine->m_sub_Search("ab\ncd");
    EXPECT_EQ(engine->m_nChar, '\n');
}

}  // namespace
