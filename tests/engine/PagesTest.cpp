// The page map and the rows of a page: titles and excerpts read from the files.
#include <gtest/gtest.h>

#include "search/text/SjisReader.h"
#include "tests/support/DataFolder.h"

using namespace testing_support;
using namespace std::literals;

namespace {

struct RowCase {
    const char* name;
    std::string content;
    std::string title;
    std::string excerpt;
};

// Cases are shown by name in the test output.
void PrintTo(const RowCase& c, std::ostream* out) {
    *out << c.name;
}

class RowText : public testing::TestWithParam<RowCase> {};

// The first character of the row, as a word to search for.
std::string FirstCharacter(const RowCase& c) {
    const std::string& text = c.title.empty() ? c.excerpt : c.title;
    if (text.empty()) return "";
    return text.substr(0, sjis::IsLeadByte(static_cast<unsigned char>(text[0])) ? 2 : 1);
}

// The row read from the file, and the row that a search cuts from the text
// it gathered.
TEST_P(RowText, TitleAndExcerpt) {
    DataFolder folder;
    folder.Write("DATA/file.txt", GetParam().content);
    auto engine = NewEngine();
    std::snprintf(engine->m_hitPaths[0], CSearchEngin::kPathSlot, "DATA/file.txt");
    engine->m_nHits = 1;
    engine->m_sub_MakePages();
    const ResultItem& row = engine->m_items[0];
    EXPECT_EQ(row.bPresent, 1);
    EXPECT_STREQ(row.szPath, "DATA/file.txt");
    EXPECT_EQ(std::string(row.szTitle), GetParam().title);
    EXPECT_EQ(std::string(row.szContent), GetParam().excerpt);
    std::string word = FirstCharacter(GetParam());
    if (word.empty()) return;
    engine->m_sub_Search(word.c_str());
    ASSERT_EQ(engine->m_nHits, 1) << word;
    EXPECT_EQ(std::string(row.szTitle), GetParam().title);
    EXPECT_EQ(std::string(row.szContent), GetParam().excerpt);
}

const std::string k100a(100, 'a');

const RowCase kRowCases[] = {
    {"BlanksDroppedLinesJoined", "abc def\nghi jkl\nmno", "abcdef", "ghijklmno"},
    {"OneLine", "abc", "abc", ""},
    {"LeadingLineFeed", "\nabc\ndef", "", "abcdef"},
    {"Empty", "", "", ""},
    {"NulEndsTitleExcerptGoesOn", "ab\0cd\nef"s, "ab", "cdef"},
    {"NulEndsExcerpt", "t\nab\0cd"s, "t", "ab"},
    {"CrLfLikeLf", "abc def\r\nghi\r\njkl", "abcdef", "ghijkl"},
    {"LoneCrIsText", "t\r\nab\rcd", "t", "ab\rcd"},
    {"ControlZEndsInput",
     "t\nab\x1A"
     "cd",
     "t", "ab"},
    {"FullWidthBlanksAndPunctuationDropped", "料理\x81\x40メモ\n本文\x81\x42続き", "料理メモ",
     "本文続き"},
    {"SecondByte0x81Kept",
     "\x82\x81"
     "b\n\x82\x81"
     "c",
     "\x82\x81"
     "b",
     "\x82\x81"
     "c"},
    {"LongFirstLine", k100a + "\nzz", std::string(81, 'a'), std::string(19, 'a') + "zz"},
    {"TwoByteCharacterLeftForExcerpt", std::string(80, 'a') + "あいう\nえ", std::string(80, 'a'),
     "あいうえ"},
    {"TwoByteCharacterFitsAtTheEnd", std::string(79, 'a') + "あい", std::string(79, 'a') + "あ",
     "い"},
    {"ExcerptEndsOnWholeCharacter", "t\n" + std::string(84, 'b') + "あ", "t", std::string(84, 'b')},
    {"ExcerptLimit", "t\n" + k100a, "t", std::string(85, 'a')},
    {"LeadByteAtTheEnd", "ab\x83", "ab", ""},
    // A lead byte before a byte that cannot follow it is dropped alone.
    {"LeadByteBeforeLineFeedBlankOrTab",
     "ab\x83\ncd\x83 e\x83\t"
     "f",
     "ab", "cde\tf"},
};

INSTANTIATE_TEST_SUITE_P(Pages, RowText, testing::ValuesIn(kRowCases),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

void WriteNumberedFiles(const DataFolder& folder, int count) {
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "DATA/f%02d.txt", i);
        char content[32];
        std::snprintf(content, sizeof content, "title %02d\nword", i);
        folder.Write(name, content);
    }
}

int PresentRows(const CSearchEngin& engine) {
    int present = 0;
    for (const ResultItem& item : engine.m_items) present += item.bPresent;
    return present;
}

TEST(Pages, PageMapAndRows) {
    struct Case {
        int files;
        int page;
        int presentRows;
    };
    const Case cases[] = {{0, 0, 0},  {10, 0, 10}, {10, 1, 0},  {11, 0, 10}, {11, 1, 1},
                          {25, 2, 5}, {25, 7, 0},  {25, -1, 0}, {25, 500, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.files << " files, page " << c.page);
        DataFolder folder;
        WriteNumberedFiles(folder, c.files);
        auto engine = NewEngine();
        engine->m_sub_Search("word");
        EXPECT_EQ(engine->m_nHits, c.files);
        EXPECT_EQ(engine->m_bNoHit, c.files == 0 ? 1 : 0);
        EXPECT_EQ(engine->m_nPage, 0);
        for (int i = 0; i < CSearchEngin::kMaxHits; ++i) {
            ASSERT_EQ(engine->m_hitFlags[i], i < c.files ? 1 : 0) << i;
        }
        engine->m_nPage = c.page;
        engine->m_sub_LoadPage();
        EXPECT_EQ(PresentRows(*engine), c.presentRows);
        for (int row = 0; row < CSearchEngin::kRowsPerPage; ++row) {
            const ResultItem& item = engine->m_items[row];
            EXPECT_EQ(item.bPresent, row < c.presentRows ? 1 : 0);
            if (row >= c.presentRows) {
                EXPECT_STREQ(item.szTitle, "");
                EXPECT_STREQ(item.szContent, "");
                EXPECT_STREQ(item.szPath, "");
            } else {
                // Which file a row shows depends on the listing order.
                char title[32];
                std::snprintf(title, sizeof title, "title%02d", c.page * 10 + row);
                if (kWindowsBuild) std::snprintf(title, sizeof title, "title%s", item.szTitle + 5);
                EXPECT_STREQ(item.szTitle, title);
                EXPECT_STREQ(item.szContent, "word");
            }
        }
    }
}

TEST(Pages, RowsShowTheFilesAsTheyAreNow) {
    DataFolder folder;
    folder.Write("DATA/a.txt", "first\nword");
    folder.Write("DATA/b.txt", "second\nword");
    auto engine = NewEngine();
    engine->m_sub_Search("word");
    ASSERT_EQ(engine->m_nHits, 2);
    folder.Write("DATA/a.txt", "changed\ntext");
    folder.Remove("DATA/b.txt");
    engine->m_sub_LoadPage();
    // Rows in listing order: a.txt first on Linux.
    const int a = std::string(engine->m_items[0].szPath) == "DATA/a.txt" ? 0 : 1;
    const int b = 1 - a;
    EXPECT_EQ(a, kWindowsBuild ? a : 0);
    EXPECT_STREQ(engine->m_items[a].szTitle, "changed");
    EXPECT_STREQ(engine->m_items[a].szContent, "text");
    // A file that is gone stays a row with its path and empty texts.
    EXPECT_EQ(engine->m_items[b].bPresent, 1);
    EXPECT_STREQ(engine->m_items[b].szPath, "DATA/b.txt");
    EXPECT_STREQ(engine->m_items[b].szTitle, "");
    EXPECT_STREQ(engine->m_items[b].szContent, "");
    EXPECT_EQ(engine->m_items[2].bPresent, 0);
}

}  // namespace
