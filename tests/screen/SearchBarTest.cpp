// The search bar's request, the blank test and the query history, through
// the bars' buttons and the frame loop.
#include "tests/screen/ScreenFixture.h"

namespace screentest {
namespace {

// Fills the history through the frame step itself, as a press of "検索"
// would, without the turns of the frame loop; the step then follows the
// search until it has ended.
void SubmitDirectly(CSearchEdit& screen, const std::string& text) {
    std::snprintf(g_szSearchText, sizeof g_szSearchText, "%s", text.c_str());
    g_bSearchRequested = 1;
    screen.m_sub_CheckSearchRequest();
    while (screen.m_run.Running()) screen.m_sub_CheckSearchRequest();
}

std::string Numbered(const char* prefix, int i) {
    std::string text = prefix;
    return text += std::to_string(i);
}

TEST_F(SearchScreenTest, OnlyATextWithANonBlankByteIsSearchedAndKept) {
    struct Case {
        const char* what;
        std::string text;
        bool searched;
    };
    const Case cases[] = {
        {"empty", "", false},
        {"half-width blanks", "   ", false},
        {"full-width blanks", "　　　", false},
        {"ideographic comma and full stop", "、。", false},
        {"every kind of blank", " 　、 。", false},
        {"a letter after a blank", " a", true},
        {"a word after full-width blanks", "　　料理", true},
        {"blanks around a word", "、料理 ", true},
    };
    int nEntries = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        headless::ClearLogs();
        Submit(c.text);
        if (c.searched) ++nEntries;
        ASSERT_EQ(Screen().m_nHistory, nEntries);
        // The count box shows the search under way, then its result; the
        // band is emptied, then shows the rows as they come.
        EXPECT_EQ(BandInvalidations() > 0, c.searched);
        EXPECT_EQ(CountInvalidations(), c.searched ? 2 : 0);
        EXPECT_EQ(g_bSearchRequested, 0);
        // The entry holds the whole text, its blanks included.
        if (c.searched) {
            EXPECT_EQ(Screen().m_history[nEntries - 1], c.text);
        }
    }
}

TEST_F(SearchScreenTest, ALongTextIsKeptAndSearchedAsItsFirst299Bytes) {
    std::string kanji, blanks;
    for (int i = 0; i < 150; ++i) {
        kanji += "料";
        blanks += "　";
    }
    const struct {
        const char* what;
        std::string text;
        bool searched;
    } cases[] = {
        {"single-byte text", std::string(300, 'x'), true},
        // The cut leaves a lone lead byte at the end.
        {"double-byte text", kanji, true},
        {"full-width blanks ending in a lone 0x81", blanks, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const int nBefore = Screen().m_nHistory;
        Submit(c.text);
        EXPECT_EQ(std::string(g_szSearchText), c.text.substr(0, 299));
        ASSERT_EQ(Screen().m_nHistory, nBefore + (c.searched ? 1 : 0));
        if (c.searched) {
            EXPECT_EQ(std::string(Screen().m_history[nBefore]), c.text.substr(0, 299));
        }
    }
}

TEST_F(SearchScreenTest, EverySubmissionIsAnEntryAndOneSearch) {
    MakeHits(3);
    headless::ClearLogs();
    Submit("料理");
    Submit("料理");
    EXPECT_EQ(Screen().m_nHistory, 2);
    EXPECT_EQ(Screen().m_nHistoryCursor, 1);
    EXPECT_EQ(Engine().m_nHits, 3);
    EXPECT_GE(BandInvalidations(), 2);
    EXPECT_EQ(CountInvalidations(), 4);
}

TEST_F(SearchScreenTest, HistoryButtonsWalkTheEntriesWithinTheirBounds) {
    // Before any submission both buttons are refused and cleared.
    for (int id : {IDC_HISTORY_BACK, IDC_HISTORY_FORWARD}) {
        headless::ClearLogs();
        PressHistory(id);
        EXPECT_EQ(g_nHistoryCommand, 0);
        EXPECT_EQ(BandInvalidations() + CountInvalidations(), 0);
    }
    for (const char* query : {"いち", "に", "さん"}) Submit(query);

    struct Step {
        int button;
        int cursor;
        const char* shown;
        bool searched;
    };
    const Step steps[] = {
        {IDC_HISTORY_BACK, 1, "に", true},      {IDC_HISTORY_BACK, 0, "いち", true},
        {IDC_HISTORY_BACK, 0, "いち", false},   {IDC_HISTORY_FORWARD, 1, "に", true},
        {IDC_HISTORY_FORWARD, 2, "さん", true}, {IDC_HISTORY_FORWARD, 2, "さん", false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.cursor);
        headless::ClearLogs();
        PressHistory(step.button);
        EXPECT_EQ(Screen().m_nHistoryCursor, step.cursor);
        EXPECT_EQ(EditText(), step.shown);
        // The entry is searched: its word is the engine's first.
        EXPECT_STREQ(Engine().m_words[0], step.shown);
        EXPECT_EQ(BandInvalidations() > 0, step.searched);
        EXPECT_EQ(CountInvalidations(), step.searched ? 2 : 0);
        EXPECT_EQ(Screen().m_nHistory, 3);
        EXPECT_STREQ(g_szSearchText, "さん");
        EXPECT_EQ(g_nHistoryCommand, 0);
    }

    // A new submission goes after the last entry, wherever the cursor was.
    PressHistory(IDC_HISTORY_BACK);
    Submit("よん");
    EXPECT_EQ(Screen().m_nHistory, 4);
    EXPECT_EQ(Screen().m_nHistoryCursor, 3);
    EXPECT_STREQ(Screen().m_history[2], "さん");
}

TEST_F(SearchScreenTest, ForwardKeepsWorkingPastAHundredEntries) {
    for (int i = 0; i < 120; ++i) SubmitDirectly(Screen(), Numbered("q", i));
    PressHistory(IDC_HISTORY_BACK);
    PressHistory(IDC_HISTORY_BACK);
    ASSERT_EQ(Screen().m_nHistoryCursor, 117);
    PressHistory(IDC_HISTORY_FORWARD);
    EXPECT_EQ(Screen().m_nHistoryCursor, 118);
    EXPECT_EQ(EditText(), "q118");
    PressHistory(IDC_HISTORY_FORWARD);
    PressHistory(IDC_HISTORY_FORWARD);
    EXPECT_EQ(Screen().m_nHistoryCursor, 119);
}

TEST_F(SearchScreenTest, AFullHistoryDropsItsOldestEntryForTheNewest) {
    for (int i = 0; i < CSearchEdit::kHistoryEntries; ++i) {
        SubmitDirectly(Screen(), Numbered("q", i));
    }
    headless::ClearLogs();
    Submit("q150");
    ASSERT_EQ(Screen().m_nHistory, CSearchEdit::kHistoryEntries);
    EXPECT_EQ(Screen().m_nHistoryCursor, CSearchEdit::kHistoryEntries - 1);
    for (int i = 0; i < CSearchEdit::kHistoryEntries; ++i) {
        ASSERT_EQ(Screen().m_history[i], Numbered("q", i + 1));
    }
    EXPECT_GE(BandInvalidations(), 1);
    PressHistory(IDC_HISTORY_BACK);
    EXPECT_EQ(EditText(), "q149");
}

}  // namespace
}  // namespace screentest
