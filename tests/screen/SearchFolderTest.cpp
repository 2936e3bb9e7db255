// Where the window searches and how it matches: a folder from the command
// line, the folder picker or a drop is walked with its rows' paths as short
// as DATA's, and each row opens its own file; a folder that cannot be
// searched is refused and the folder searched stays; the options menu's
// check items show their state and reach the next search.
#include "tests/screen/ScreenFixture.h"

namespace screentest {
namespace {

// "棚/メモ" beside DATA, each with one file that 料理 finds.
class SearchFolderTest : public SearchScreenTest {
  protected:
    void SetUp() override {
        SearchScreenTest::SetUp();
        WriteFile("棚/メモ/献立.txt", "献立の題\n料理の本文\n");
        WriteFile("DATA/d.txt", "データの題\n料理の本文\n");
        m_shelf = fs::current_path() / OnDisk("棚");
        m_memoShown = fs::current_path().string() + "/棚/メモ";
    }

    std::string Caption() {
        char sz[1200] = "";
        GetWindowTextA(Main(), sz, sizeof sz);
        return sz;
    }
    // The memo folder as the file system and as the program name it.
    std::string MemoOnDisk() { return (m_shelf / OnDisk("メモ")).string(); }
    const std::string& MemoAsShown() { return m_memoShown; }
    std::string FirstRowPath() { return Engine().m_items[0].szPath; }
    // Clicks the first row at x and gives the file that the desktop was asked
    // to open; a click made soon after is no double click where x differs.
    std::string OpenFirstRow(int x = 200) {
        headless::ClearLogs();
        const RECT row = layout::RowRect(0);
        Click(row.left + x, row.top + 10);
        const auto& calls = headless::ShellCalls();
        return calls.empty() ? std::string() : calls.back().opened;
    }

    fs::path m_shelf;
    std::string m_memoShown;
};

TEST_F(SearchFolderTest, AFolderOnTheCommandLineIsSearchedFromItsParent) {
    apptest::ResetProgram();
    EXPECT_EQ(apptest::RunProgram({}, 3, nullptr, SW_SHOWDEFAULT, " \"" + MemoAsShown() + "\" "),
              apptest::kStillRunning);
    EXPECT_EQ(Caption(), MemoAsShown() + " - Sorahiki");
    EXPECT_EQ(fs::current_path(), m_shelf);
    Submit("料理");
    ASSERT_EQ(Engine().m_nHits, 1);
    EXPECT_EQ(FirstRowPath(), "メモ/献立.txt");
    EXPECT_EQ(OpenFirstRow(), MemoOnDisk() + "/" + OnDisk("献立.txt").string());

    // The folder gone, the notice names it and where it was looked for.
    fs::remove_all(MemoOnDisk());
    Submit("料理");
    const auto texts = Only(PaintNow(), Draw::TextOut);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[2].bytes, "メモ という名前のフォルダーが見つかりません（探した場所：" +
                                  MemoAsShown().substr(0, MemoAsShown().size() - 5) + "）");
}

TEST_F(SearchFolderTest, ThePickerAndADropSwitchTheFolderAndSearchTheShownQueryAgain) {
    Submit("料理");
    ASSERT_EQ(Engine().m_nHits, 1);
    EXPECT_EQ(FirstRowPath(), "DATA/d.txt");
    EXPECT_EQ(Caption(), "Sorahiki");

    headless::QueueFolderChoice(MemoOnDisk());
    headless::ChooseMenuItem(IDM_CHOOSE_FOLDER);
    Settle();
    ASSERT_EQ(Engine().m_nHits, 1);
    EXPECT_EQ(FirstRowPath(), "メモ/献立.txt");
    EXPECT_EQ(Caption(), MemoAsShown() + " - Sorahiki");
    EXPECT_EQ(OpenFirstRow(), MemoOnDisk() + "/" + OnDisk("献立.txt").string());

    // Page 2 is read from the chosen folder too: h0010, h0011, 献立.
    for (int i = 0; i < 12; ++i)
        WriteFile("メモ/" + HitPath(i).substr(5), HitTitle(i) + "\n料理\n");
    Submit("料理");
    GoToPage(1);
    ASSERT_TRUE(Engine().m_items[1].bPresent);
    EXPECT_EQ(std::string(Engine().m_items[1].szTitle), HitTitle(11));
    EXPECT_EQ(std::string(Engine().m_items[1].szPath), "メモ/" + HitPath(11).substr(5));

    // A cancelled picker leaves all as it was.
    headless::QueueFolderChoice("");
    headless::ChooseMenuItem(IDM_CHOOSE_FOLDER);
    Settle();
    EXPECT_EQ(Caption(), MemoAsShown() + " - Sorahiki");

    const fs::path data = m_shelf.parent_path() / "DATA";
    headless::DropFiles({data.string()});
    Settle();
    ASSERT_EQ(Engine().m_nHits, 1);
    EXPECT_EQ(FirstRowPath(), "DATA/d.txt");
    EXPECT_EQ(OpenFirstRow(400), (data / "d.txt").string());
    EXPECT_TRUE(headless::Boxes().empty());
}

// A file, a folder gone, and a name with no Shift-JIS form are refused with a
// box, and the folder searched stays; a root is walked as its own current
// folder.
TEST_F(SearchFolderTest, WhatCannotBeSearchedIsRefusedAndARootIsWalkedFromItself) {
    const fs::path start = fs::current_path();
    const fs::path unnamed = start / "\xF0\x9F\x8D\x99";  // a rice ball, beyond code page 932
    fs::create_directory(unnamed);
    for (int i = 0; i < 3; ++i) headless::QueueAnswer(IDOK);
    headless::DropFiles({(m_shelf / OnDisk("メモ/献立.txt")).string()});
    headless::DropFiles({(start / "gone").string()});
    headless::DropFiles({unnamed.string()});
    Settle();
    const auto& boxes = headless::Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_NE(boxes[0].text.find("が見つかりません"), std::string::npos);
    EXPECT_NE(boxes[1].text.find("gone」が見つかりません"), std::string::npos);
    EXPECT_NE(boxes[2].text.find("シフトJIS"), std::string::npos);
    EXPECT_STREQ(Screen().m_run.folder, "DATA");
    EXPECT_EQ(Caption(), "Sorahiki");
    EXPECT_EQ(fs::current_path(), start);

    headless::DropFiles({"/"});
    Settle();
    EXPECT_STREQ(Screen().m_run.folder, ".");
    EXPECT_EQ(fs::current_path(), fs::path("/"));
    EXPECT_EQ(Caption(), "/ - Sorahiki");
}

TEST_F(SearchFolderTest, OptionItemsShowTheirMarksAndReachTheNextSearch) {
    const HMENU hMenu = GetMenu(Main());
    const UINT ids[] = {IDM_OPTION_WHOLE_FILE, IDM_OPTION_FOLD_CASE, IDM_OPTION_FOLD_WIDTH,
                        IDM_OPTION_FOLD_KANA};
    for (UINT id : ids) EXPECT_EQ(GetMenuState(hMenu, id, MF_BYCOMMAND), UINT{MF_UNCHECKED});

    headless::ChooseMenuItem(IDM_OPTION_FOLD_KANA);
    Settle();
    EXPECT_EQ(GetMenuState(hMenu, IDM_OPTION_FOLD_KANA, MF_BYCOMMAND), UINT{MF_CHECKED});
    EXPECT_EQ(Caption(), "Sorahiki［オプション］");
    Submit("料理");
    EXPECT_EQ(Engine().m_options, (SearchOptions{false, false, false, true}));

    for (UINT id : ids) headless::ChooseMenuItem(id);
    Settle();
    EXPECT_EQ(Screen().m_run.options, (SearchOptions{true, true, true, false}));
    for (UINT id : ids) {
        const bool bOn = id != IDM_OPTION_FOLD_KANA;
        EXPECT_EQ(GetMenuState(hMenu, id, MF_BYCOMMAND), bOn ? UINT{MF_CHECKED} : MF_UNCHECKED);
    }
    headless::ChooseMenuItem(IDM_OPTION_WHOLE_FILE);
    headless::ChooseMenuItem(IDM_OPTION_FOLD_CASE);
    headless::ChooseMenuItem(IDM_OPTION_FOLD_WIDTH);
    Settle();
    EXPECT_FALSE(Screen().m_run.options.AnyOn());
    EXPECT_EQ(Caption(), "Sorahiki");
}

}  // namespace
}  // namespace screentest
