// A search beside the window: what the screen shows and does while one runs,
// its rows as they come, its stop, a double click on its button, clicks as it ends, Enter in the
// search box, a start without a DATA folder and one without descriptors.
#include <atomic>

#include <sorahiki/testhooks.h>

#include "tests/screen/ScreenFixture.h"

namespace screentest {
namespace {

std::atomic<bool> g_bReleased;

// Holds the search on its thread until the test releases it.
void HoldSearch() {
    while (!g_bReleased.load()) Sleep(1);
}

// Set on the search's thread once its results are ready, so that a test can
// wait for the search's end before the window sees it.
std::atomic<bool> g_bEnded;
void NoteSearchEnded() {
    g_bEnded = true;
}

// Each failure the search reports holds it on its thread until the test has
// let that many go.
std::atomic<int> g_nHeld;
std::atomic<int> g_nLetGo;
void HoldAtFailure(const char*, DWORD) {
    const int nHeld = ++g_nHeld;
    while (g_nLetGo.load() < nHeld) Sleep(1);
}

class SearchProgressTest : public SearchScreenTest {
  protected:
    // A held search is let go and ended before the program is reset.
    void TearDown() override {
        g_bReleased = true;
        g_nLetGo = 1 << 30;
        Settle();
        testhooks::OnSearchThread(nullptr, nullptr);
        testhooks::RefuseThreadsAfter(-1);
        testhooks::FailOpens(0, 0);
        testhooks::FailReads(0, 0);
        testhooks::LimitReaders(-1);
        SearchScreenTest::TearDown();
    }

    std::string ButtonText() {
        char sz[32] = "";
        GetWindowTextA(GetDlgItem(Screen().m_hSearchBar, IDC_SEARCH_BUTTON), sz, sizeof sz);
        return sz;
    }
    // A few turns of the frame loop: a held search never lets Settle end.
    void Turns() { apptest::RunTurns(4); }
    std::vector<std::string> PaintedTexts() {
        InvalidateRect(Main(), nullptr, TRUE);
        Turns();
        std::vector<std::string> texts;
        for (const DrawCall& call : Only(LastPaint(), Draw::TextOut)) texts.push_back(call.bytes);
        return texts;
    }
    bool Painted(const std::string& text) {
        const auto texts = PaintedTexts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    void PressSearchButton() { headless::PressButton(Screen().m_hSearchBar, IDC_SEARCH_BUTTON); }
    // Turns until no message waits, while the search is held.
    void Drain() {
        MSG msg;
        for (int i = 0; i < 100 && PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); ++i) Turns();
    }
    // Searches for `text` on the test's thread and waits for the search's
    // end; the window has not seen it yet.
    void EndSearchUnseen(const std::string& text) {
        testhooks::OnSearchThread(HoldSearch, NoteSearchEnded);
        g_bReleased = false;
        g_bEnded = false;
        headless::TypeText(Edit(), text);
        PressSearchButton();
        Drain();
        ASSERT_TRUE(Screen().m_run.Running());
        g_bReleased = true;
        while (!g_bEnded.load()) Sleep(1);
        testhooks::OnSearchThread(nullptr, nullptr);
    }
    void PressEnter() {
        PostMessageA(Edit(), WM_KEYDOWN, VK_RETURN, 1);
        PostMessageA(Edit(), WM_KEYUP, VK_RETURN, 0xC0000001);
    }
};

// Escape in the search box stops a running search as 「中止」 does; F5 then
// searches the box's text again.
TEST_F(SearchProgressTest, EscapeStopsASearchAndF5SearchesAgain) {
    MakeHits(3);
    g_bReleased = false;
    testhooks::OnSearchThread(HoldSearch, nullptr);
    headless::TypeText(Edit(), "料理");
    PressSearchButton();
    Turns();
    ASSERT_TRUE(Screen().m_run.Running());
    PostMessageA(Edit(), WM_KEYDOWN, VK_ESCAPE, 1);
    Turns();
    g_bReleased = true;
    Settle();
    EXPECT_TRUE(Painted("0　件（中止）"));
    testhooks::OnSearchThread(nullptr, nullptr);
    PostMessageA(Edit(), WM_KEYDOWN, VK_F5, 1);
    Settle();
    EXPECT_EQ(Engine().m_nHits, 3);
    EXPECT_EQ(Screen().m_nHistory, 2);
}

TEST_F(SearchProgressTest, WhileASearchRunsTheOldRowsGoAndOnlyItsStopActs) {
    EXPECT_EQ(GetFocus(), Edit());
    MakeHits(14);
    Submit("料理");
    g_bReleased = false;
    testhooks::OnSearchThread(HoldSearch, nullptr);
    headless::TypeText(Edit(), "本文0001");
    headless::PressButton(Screen().m_hSearchBar, IDC_SEARCH_BUTTON);
    Turns();
    ASSERT_TRUE(Screen().m_run.Running());
    EXPECT_EQ(ButtonText(), "中止");
    EXPECT_TRUE(Painted("検索中"));
    EXPECT_TRUE(Painted("0　件"));
    EXPECT_FALSE(Painted(HitTitle(0)));

    // Enter, the history buttons and a click where a row stood do nothing
    // meanwhile.
    PressEnter();
    headless::PressButton(Screen().m_hHistoryBar, IDC_HISTORY_BACK);
    headless::LeftDown(400, 60);
    headless::LeftUp(400, 60);
    Turns();
    EXPECT_EQ(Screen().m_nHistory, 2);
    EXPECT_EQ(Screen().m_nHistoryCursor, 1);
    EXPECT_TRUE(headless::ShellCalls().empty());

    // "中止", pressed later than a double click's second press would come,
    // stops it: an ordinary result, marked as cut short.
    Sleep(GetDoubleClickTime());
    headless::PressButton(Screen().m_hSearchBar, IDC_SEARCH_BUTTON);
    Turns();
    g_bReleased = true;
    Settle();
    EXPECT_EQ(ButtonText(), "検索");
    EXPECT_TRUE(Painted("0　件（中止）"));
    EXPECT_EQ(Screen().m_nHistory, 2);
    EXPECT_STREQ(Screen().m_history[1], "本文0001");

    // Enter searches as the button does, and the mark goes.
    headless::TypeText(Edit(), "本文0003");
    PressEnter();
    Settle();
    EXPECT_EQ(Screen().m_nHistory, 3);
    EXPECT_EQ(Engine().m_nHits, 1);
    EXPECT_TRUE(Painted("1　件"));
}

// A search of two words is held where it reaches a link that cannot be read,
// after its first two hits: their rows stand numbered, the rows of the search
// before are gone, and a click on a row opens its file while the history
// waits. Held again at a link after the last hit, the first hit's file loses
// the second word and the fourth's becomes a link to nowhere: the later word
// drops both, and the search is held at the second. The first row has gone
// and the rows moved up: a click on the first row opens nothing until it is
// painted again, then the file now there. The walk reads every file itself.
TEST_F(SearchProgressTest, RowsComeAsTheyAreFoundMoveUpWhenDroppedAndOpenWhatWasPainted) {
    MakeHits(14);
    Submit("本文0013");
    fs::create_symlink("nowhere", "DATA/h0001x.txt");
    fs::create_symlink("nowhere", "DATA/h9999x.txt");
    testhooks::LimitReaders(0);
    g_nHeld = 0;
    g_nLetGo = 0;
    Screen().m_run.onReadFailure = HoldAtFailure;
    headless::TypeText(Edit(), "料理 本文");
    PressSearchButton();
    for (int i = 0; i < 1000 && Engine().m_nHits < 2; ++i) Turns();
    ASSERT_TRUE(Screen().m_run.Running());
    const auto texts = PaintedTexts();
    auto painted = [&](const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    EXPECT_TRUE(painted(HitTitle(0)) && painted(HitTitle(1)) && painted("2."));
    EXPECT_FALSE(painted(HitTitle(2)) || painted(HitTitle(13)));
    EXPECT_TRUE(painted("検索中"));

    headless::ClearLogs();
    // Clicks at another x each time: no two make a double click.
    auto clickRow = [](int nRow, int x) {
        const RECT row = layout::RowRect(nRow);
        headless::LeftDown(x, row.top + 10);
        apptest::RunTurns(1);
        headless::LeftUp(x, row.top + 10);
    };
    clickRow(1, 400);
    headless::PressButton(Screen().m_hHistoryBar, IDC_HISTORY_BACK);
    Turns();
    ASSERT_EQ(headless::ShellCalls().size(), 1u);
    EXPECT_NE(headless::ShellCalls()[0].file.value_or("").find("h0001.txt"), std::string::npos);
    EXPECT_EQ(Screen().m_nHistoryCursor, 1);

    g_nLetGo = 1;
    for (int i = 0; i < 1000 && Engine().m_nHits < CSearchEngin::kRowsPerPage; ++i) Turns();
    ASSERT_EQ(g_nHeld.load(), 2);
    EXPECT_TRUE(Painted(HitTitle(0)));
    WriteFile(HitPath(0), HitTitle(0) + "\n料理\n");
    fs::remove(HitPath(3));
    fs::create_symlink("nowhere", HitPath(3));
    g_nLetGo = 2;
    while (g_nHeld.load() < 3) Sleep(1);
    headless::ClearLogs();
    clickRow(0, 300);
    Turns();
    EXPECT_TRUE(headless::ShellCalls().empty());
    EXPECT_FALSE(Painted(HitTitle(0)));
    clickRow(0, 200);
    Turns();
    ASSERT_EQ(headless::ShellCalls().size(), 1u);
    EXPECT_NE(headless::ShellCalls()[0].file.value_or("").find("h0001.txt"), std::string::npos);

    g_nLetGo = 3;
    Settle();
    Screen().m_run.onReadFailure = nullptr;
    EXPECT_EQ(Engine().m_nHits, 12);
    EXPECT_TRUE(Painted("12　件"));
}

TEST_F(SearchProgressTest, WithoutADataFolderOneLineSaysWhereItWasLookedFor) {
    fs::remove_all("DATA");
    // From the start, in place of the usage page.
    apptest::ResetProgram();
    ASSERT_TRUE(apptest::StartUp());
    Settle();
    const auto atStart = PaintedTexts();
    ASSERT_EQ(atStart.size(), 2u);
    EXPECT_NE(atStart[0].find(fs::current_path().string()), std::string::npos);
    EXPECT_EQ(atStart[1], kFolderPickerHint);
    Submit("料理");
    const auto texts = PaintedTexts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[1], "0　件");
    EXPECT_NE(texts[2].find("DATA"), std::string::npos);
    EXPECT_NE(texts[2].find(fs::current_path().string()), std::string::npos);
}

// A folder dropped while a search runs stops it, and becomes the folder
// searched only once that search has ended: the current folder never
// changes under a running walk. The query is then searched again there.
TEST_F(SearchProgressTest, AFolderDroppedMidSearchIsTakenOnceTheSearchHasEnded) {
    WriteFile("棚/メモ/献立.txt", "献立の題\n料理の本文\n");
    MakeHits(3);
    const fs::path start = fs::current_path();
    testhooks::OnSearchThread(HoldSearch, nullptr);
    g_bReleased = false;
    headless::TypeText(Edit(), "料理");
    PressSearchButton();
    Drain();
    ASSERT_TRUE(Screen().m_run.Running());
    headless::DropFiles({(start / OnDisk("棚/メモ")).string()});
    Drain();
    EXPECT_EQ(fs::current_path(), start);
    g_bReleased = true;
    Settle();
    EXPECT_EQ(fs::current_path(), start / OnDisk("棚"));
    ASSERT_EQ(Engine().m_nHits, 1);
    EXPECT_STREQ(Engine().m_items[0].szPath, "メモ/献立.txt");
    EXPECT_FALSE(Screen().m_run.WasStopped());
}

TEST_F(SearchProgressTest, ADoubleClickOnTheButtonMakesOneSearch) {
    MakeHits(14);
    Submit("本文0001");
    // The search still runs at the second press: it goes on to its end.
    g_bReleased = false;
    testhooks::OnSearchThread(HoldSearch, nullptr);
    headless::TypeText(Edit(), "料理");
    PressSearchButton();
    PressSearchButton();
    Turns();
    g_bReleased = true;
    Settle();
    EXPECT_EQ(Screen().m_nHistory, 2);
    EXPECT_TRUE(Painted("14　件"));
    // The search has ended at the second press: no second search.
    testhooks::RefuseThreadsAfter(0);
    headless::TypeText(Edit(), "本文0003");
    PressSearchButton();
    PressSearchButton();
    Settle();
    EXPECT_EQ(Screen().m_nHistory, 3);
}

TEST_F(SearchProgressTest, AClickActsOnlyOnWhatWasOnScreenWhenItWasMade) {
    MakeHits(14);
    Submit("本文0001");
    // A click that comes in the turn in which the search ends.
    EndSearchUnseen("料理");
    headless::ClearLogs();
    headless::LeftDown(400, 60);
    apptest::RunTurns(1);
    EXPECT_FALSE(Screen().m_run.Running());
    headless::LeftUp(400, 60);
    Settle();
    EXPECT_TRUE(headless::ShellCalls().empty());
    // One that comes after the search has ended, before its rows are painted.
    Submit("本文0001");
    EndSearchUnseen("料理");
    apptest::RunTurns(1);
    ASSERT_FALSE(Screen().m_run.Running());
    const RECT cell = layout::PageCellRect(1);
    headless::LeftDown(cell.left + 5, cell.top + 5);
    apptest::RunTurns(1);
    headless::LeftUp(cell.left + 5, cell.top + 5);
    Settle();
    EXPECT_EQ(Engine().m_nPage, 0);
    EXPECT_EQ(Engine().m_nHits, 14);
}

TEST_F(SearchProgressTest, ASearchShortOfDescriptorsSaysSoAndNotThatDataIsMissing) {
    MakeHits(3);
    headless::QueueAnswer(IDOK);
    testhooks::FailOpens(0, -1);
    Submit("料理");
    testhooks::FailOpens(0, 0);
    EXPECT_EQ(apptest::BoxesSeen(),
              (std::vector<apptest::BoxSeen>{{"エラーメッセージ",
                                              "開いているファイルが多すぎるため、検索を途中で終えま"
                                              "した。\n表示しているのは、それまでに見つかったファイ"
                                              "ルだけです。",
                                              MB_OK}}));
    for (const std::string& text : PaintedTexts()) {
        EXPECT_EQ(text.find("DATA という名前"), std::string::npos) << text;
    }
}

// What the search left out is said once it ends, as the command-line tool
// says it: how many of each kind, the first five by their paths and why, and
// how many more. The walk reads each file itself, so the first read that
// fails is that of the first hit's file.
TEST_F(SearchProgressTest, EntriesLeftOutAreNamedAfterTheSearch) {
    MakeHits(3);
    std::vector<std::string> tooLong;
    for (char c = 'p'; c < 'v'; ++c) {                              // listed after the hits
        tooLong.push_back("DATA/" + std::string(201, c) + ".txt");  // 210 bytes
        WriteFile(tooLong.back(), "料理");
    }
    testhooks::LimitReaders(0);
    testhooks::FailReads(0, 1);
    headless::QueueAnswer(IDOK);
    Submit("料理");
    std::string text =
        "次の 7 件は検索できなかったため、結果に入っていません（読めなかった 1 件、"
        "パスが長すぎる 6 件）。\n" +
        HitPath(0) + "（読めなかった）";
    for (int i = 0; i < 4; ++i) text += "\n" + tooLong[i] + "（パスが長すぎる）";
    text += "\nほか 2 件";
    EXPECT_EQ(apptest::BoxesSeen(),
              (std::vector<apptest::BoxSeen>{{"エラーメッセージ", text, MB_OK}}));
    EXPECT_EQ(Engine().m_nHits, 2);
}

}  // namespace
}  // namespace screentest
