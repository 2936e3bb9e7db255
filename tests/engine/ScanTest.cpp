// Which files a search keeps and in which order: the text gathered from each
// file, the match test, the folder walk and the filter passes.
#include <gtest/gtest.h>

#include <sorahiki/testhooks.h>

#include "tests/engine/readahead/ReadAheadSupport.h"
#include "tests/support/DataFolder.h"

using namespace testing_support;
using namespace std::literals;
using Strings = std::vector<std::string>;

namespace {

struct TextCase {
    const char* name;
    std::string content;
    std::string query;
    bool hit;
};

// Cases are shown by name in the test output.
void PrintTo(const TextCase& c, std::ostream* out) {
    *out << c.name;
}

class GatheredText : public testing::TestWithParam<TextCase> {};

TEST_P(GatheredText, DecidesTheHit) {
    DataFolder folder;
    folder.Write("DATA/file.txt", GetParam().content);
    auto engine = NewEngine();
    engine->m_sub_Search(GetParam().query.c_str());
    EXPECT_EQ(engine->m_nHits, GetParam().hit ? 1 : 0);
}

const TextCase kTextCases[] = {
    {"PlainWord", "the rice is ready", "rice", true},
    {"CaseMatters", "abc", "ABC", false},
    {"SplitByBlank", "ri ce", "rice", true},
    {"SplitByLineFeed", "ri\nce", "rice", true},
    {"SplitByCrLf", "ri\r\nce", "rice", true},
    // The CR is the last byte of the first 4 KiB, the LF the first of the next.
    {"SplitByCrLfAcrossTheBuffer", std::string(4093, ' ') + "ri\r\nce", "rice", true},
    {"LoneCrAtTheBufferEnd", std::string(4093, ' ') + "ri\rce", "ri\rce", true},
    {"LoneCarriageReturnIsText", "ri\rce", "rice", false},
    {"FullWidthBlankDropped", "料\x81\x40理", "料理", true},
    {"SecondByteOfCharacterIsNoStart", "\x83\x41", "A", false},
    {"NulFirst", "\0rice"s, "rice", false},
    {"NulEndsTheText", "ab\0rice"s, "rice", false},
    {"ControlZEndsTheText", "ab\x1Arice", "rice", false},
    {"ControlZAfterTheWord",
     "rice\x1A"
     "ab",
     "rice", true},
    {"LeadByteBeforeNulDropped", "ab\x83\0cd"s, "cd", false},
    {"LeadByteBeforeLineFeedDropped", "ab\x83\ncd", "abcd", true},
    // The limit counts stored bytes: 2001, blanks and line ends not counted.
    {"WordEndsAtTheLimit", std::string(1999, 'x') + "ab", "ab", true},
    {"WordBeyondTheLimit", std::string(2000, 'x') + "ab", "ab", false},
    {"BlanksDoNotCount", std::string(3000, ' ') + std::string(1999, 'x') + "ab", "ab", true},
    {"LineEndsDoNotCount", std::string(3000, '\n') + "\r\n" + "ab", "ab", true},
    // A byte 0x81 inside a character does not swallow the byte after it.
    {"SecondByte0x81KeepsNextByte",
     "\x82\x81"
     "b",
     "\x82\x81"
     "b",
     true},
    {"LongVowelWord", "メールを送る", "メール", true},
    {"KatakanaWithSecondByteBackslash", "ソース", "ソ", true},
    {"WordsInAnyOrderAndOverlapping", "abcdef", "def bcd abc", true},
    {"OneWordMissing", "abc", "abc xyz", false},
};

INSTANTIATE_TEST_SUITE_P(Scan, GatheredText, testing::ValuesIn(kTextCases),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST(Scan, WalksDepthFirstInListingOrder) {
    DataFolder folder;
    for (const char* path : {"DATA/c.txt", "DATA/a.txt", "DATA/B/x.txt", "DATA/A.txt",
                             "DATA/B/C/y.txt", "DATA/b.txt", "DATA/料理.txt"}) {
        folder.Write(path, "word");
    }
    auto engine = NewEngine();
    engine->m_sub_Search("word");
    Strings expected{"DATA/A.txt", "DATA/a.txt", "DATA/B/C/y.txt", "DATA/B/x.txt",
                     "DATA/b.txt", "DATA/c.txt", "DATA/料理.txt"};
    // On Windows "A.txt" names the file "a.txt" made before it.
    if (kWindowsBuild) std::erase(expected, "DATA/A.txt");
    EXPECT_EQ(InListingOrder(HitPaths(*engine)), InListingOrder(expected));
}

TEST(Scan, FilterPassKeepsOrderInBothLists) {
    DataFolder folder;
    folder.Write("DATA/A.txt", "one");
    folder.Write("DATA/B.txt", "one two");
    folder.Write("DATA/C.txt", "one");
    folder.Write("DATA/D.txt", "two one");
    auto engine = NewEngine();
    engine->m_sub_Search("one two");
    EXPECT_EQ(InListingOrder(HitPaths(*engine)), (Strings{"DATA/B.txt", "DATA/D.txt"}));
    EXPECT_EQ(engine->m_nCandidates, 2);
    EXPECT_EQ(Strings(engine->m_candPaths, engine->m_candPaths + 2), HitPaths(*engine));
}

TEST(Scan, NothingToFind) {
    struct Case {
        const char* name;
        bool withData;
        std::vector<std::pair<std::string, std::string>> files;
        const char* query;
    };
    const Case cases[] = {
        {"EmptyData", true, {}, "word"},
        {"NoData", false, {}, "word"},
        {"FirstWordNowhere", true, {{"DATA/a.txt", "two"}}, "one two"},
        {"SecondWordNowhere", true, {{"DATA/a.txt", "one"}}, "one two three"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DataFolder folder(c.withData);
        for (const auto& [path, content] : c.files) folder.Write(path, content);
        auto engine = NewEngine();
        EXPECT_TRUE(engine->m_sub_Search(c.query));
        EXPECT_EQ(engine->m_nHits, 0);
        EXPECT_EQ(engine->m_bNoHit, 1);
    }
}

TEST(Scan, MatchWordResults) {
    DataFolder folder;
    auto engine = NewEngine();
    std::snprintf(engine->m_szPath, sizeof engine->m_szPath, "DATA/x.txt");
    EXPECT_EQ(engine->m_sub_MatchWord("abc", ""), -1);
    EXPECT_EQ(engine->m_sub_MatchWord("ab", "abc"), 0);
    EXPECT_EQ(engine->m_sub_MatchWord("\x83\x41", "A"), 0);
    EXPECT_EQ(engine->m_nHits, 0);
    EXPECT_EQ(engine->m_sub_MatchWord("xxabc", "abc"), 1);
    EXPECT_EQ(HitPaths(*engine), (Strings{"DATA/x.txt"}));
    EXPECT_STREQ(engine->m_candPaths[0], "DATA/x.txt");
}

std::vector<std::pair<std::string, DWORD>> g_reportedFailures;

void NoteReportedFailure(const char* pszPath, DWORD dwError) {
    g_reportedFailures.emplace_back(pszPath, dwError);
}

// A read that fails part way (a failing disk) is no end of the file: the
// file is no hit, and it is reported and named rather than judged on its
// first block.
TEST(ScanUnreadable, AReadThatFailsIsReportedNotTakenForTheEnd) {
    DataFolder folder;
    folder.Write("DATA/late.txt", std::string(5000, ' ') + "word");
    auto engine = NewEngine();
    g_reportedFailures.clear();
    engine->m_pfnOnReadFailure = NoteReportedFailure;
    testhooks::FailReads(1, 1);
    engine->m_sub_Search("word");
    testhooks::FailReads(0, 0);
    EXPECT_EQ(engine->m_nHits, 0);
    EXPECT_EQ(g_reportedFailures, (std::vector<std::pair<std::string, DWORD>>{
                                      {"DATA/late.txt", static_cast<DWORD>(ERROR_READ_FAULT)}}));
    ASSERT_EQ(engine->m_leftOut.Count(), 1);
    EXPECT_EQ(engine->m_leftOut.nUnreadable, 1);
    EXPECT_STREQ(engine->m_leftOut.named[0].szPath, "DATA/late.txt");
    EXPECT_EQ(engine->m_leftOut.named[0].bTooLong, 0);
    engine->m_sub_Search("word");
    EXPECT_EQ(engine->m_nHits, 1);
    EXPECT_EQ(engine->m_leftOut.Count(), 0);
}

// Of the files listed with the first one read, one is removed and one
// becomes a folder while that first one is reported.
const char* const kListedTogether[] = {"DATA/a.txt", "DATA/b.txt", "DATA/c.txt"};

void ChangeTheOthers(const char* pszPath, DWORD dwError) {
    NoteReportedFailure(pszPath, dwError);
    bool first = true;
    for (const char* other : kListedTogether) {
        if (std::string(other) == pszPath) continue;
        fs::remove(other);
        if (first) fs::create_directory(other);
        first = false;
    }
}

// A file gone, or a folder, by the time it is read is neither a hit nor a
// fault: the answer is that of the folder as it now stands. The walk reads
// each file itself as it takes it back, so the first read is the first
// file's, and the others are read after its failure is reported.
TEST(ScanUnreadable, FilesGoneSinceTheListingAreNoFault) {
    testing_support::Readers walkAlone(0);
    DataFolder folder;
    for (const char* path : kListedTogether) folder.Write(path, "word");
    auto engine = NewEngine();
    g_reportedFailures.clear();
    engine->m_pfnOnReadFailure = ChangeTheOthers;
    testhooks::FailReads(0, 1);
    engine->m_sub_Search("word");
    testhooks::FailReads(0, 0);
    EXPECT_EQ(engine->m_nHits, 0);
    ASSERT_EQ(g_reportedFailures.size(), 1u);
    EXPECT_EQ(g_reportedFailures[0].second, static_cast<DWORD>(ERROR_READ_FAULT));
    EXPECT_EQ(engine->m_leftOut.Count(), 1);
}

// Paths of 210 bytes or more are left out, files and folders alike, each
// with a warning.
TEST(ScanLimits, LongPathsAreLeftOut) {
    DataFolder folder;
    std::string kept = "DATA/" + std::string(200, 'k') + ".txt";     // 209 bytes
    std::string tooLong = "DATA/" + std::string(201, 'l') + ".txt";  // 210 bytes
    std::string deepFolder = "DATA/" + std::string(200, 'd');        // 205 bytes
    folder.Write(kept, "word");
    folder.Write(tooLong, "word");
    folder.Write(deepFolder + "/abc", "word");   // 209 bytes
    folder.Write(deepFolder + "/abcd", "word");  // 210 bytes
    folder.Write(deepFolder + "/" + std::string(10, 'e') + "/f", "word");
    auto engine = NewEngine();
    g_reportedFailures.clear();
    engine->m_pfnOnReadFailure = NoteReportedFailure;
    engine->m_sub_Search("word");
    EXPECT_EQ(InListingOrder(HitPaths(*engine)),
              InListingOrder(Strings{deepFolder + "/abc", kept}));
    Strings tooLongOnes;
    for (const auto& [path, error] : g_reportedFailures) {
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
        tooLongOnes.push_back(path);
    }
    EXPECT_EQ(InListingOrder(tooLongOnes),
              InListingOrder(
                  Strings{deepFolder + "/abcd", deepFolder + "/" + std::string(10, 'e'), tooLong}));
    // The record names them too, as they were reported, for a window to say.
    ASSERT_EQ(engine->m_leftOut.nTooLong, 3);
    EXPECT_EQ(engine->m_leftOut.nUnreadable, 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(engine->m_leftOut.named[i].szPath, tooLongOnes[i]);
        EXPECT_EQ(engine->m_leftOut.named[i].bTooLong, 1);
    }
}

// A file that holds every word is found even when more than the hit list's
// capacity of files hold the first word before it.
TEST(ScanLimits, ScanKeepsOnlyFilesWithEveryWord) {
    DataFolder folder;
    for (int i = 0; i < CSearchEngin::kMaxHits + 20; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "DATA/a%04d.txt", i);
        folder.Write(name, "common");
    }
    folder.Write("DATA/z1.txt", "common rare");
    folder.Write("DATA/z2.txt", "rare and common");
    auto engine = NewEngine();
    engine->m_sub_Search("common rare");
    EXPECT_EQ(InListingOrder(HitPaths(*engine)), (Strings{"DATA/z1.txt", "DATA/z2.txt"}));
}

TEST(ScanLimits, HitsBeyondCapacityAreNotRecorded) {
    DataFolder folder;
    for (int i = 0; i < CSearchEngin::kMaxHits + 5; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "DATA/a%04d.txt", i);
        folder.Write(name, "word");
    }
    auto engine = NewEngine();
    engine->m_sub_Search("word");
    ASSERT_EQ(engine->m_nHits, CSearchEngin::kMaxHits);
    // Which file comes last depends on the listing order.
    const std::string last =
        kWindowsBuild ? engine->m_hitPaths[CSearchEngin::kMaxHits - 1] : "DATA/a1009.txt";
    EXPECT_EQ(engine->m_hitPaths[CSearchEngin::kMaxHits - 1], last);
    for (int i = 0; i < CSearchEngin::kMaxHits; ++i) ASSERT_EQ(engine->m_hitFlags[i], 1);
    engine->m_nPage = CSearchEngin::kMaxPages - 1;
    engine->m_sub_LoadPage();
    for (const ResultItem& item : engine->m_items) EXPECT_EQ(item.bPresent, 1);
    EXPECT_EQ(engine->m_items[9].szPath, last);
}

}  // namespace
