// The keyboard model of the window, key by key in each place that has the
// keyboard: the search box, the buttons, the rows and the page strip; and a
// row's menu with its three actions, on the file of the row whatever its
// name.
#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <fstream>
#include <map>

#include "screen/KeyboardFocus.h"
#include "screen/ResultsParts.h"
#include "tests/screen/ScreenFixture.h"

namespace screentest {
namespace {

constexpr unsigned kShift = headless::kShift;
constexpr unsigned kControl = headless::kControl;
constexpr unsigned kAlt = headless::kAlt;

class KeyboardTest : public SearchScreenTest {
  protected:
    void Press(int vk, unsigned modifiers = 0) {
        headless::PressKeyInFocus(vk, modifiers);
        Settle();
    }
    HWND Button(HWND hBar, int id) { return GetDlgItem(hBar, id); }
    int Selected() { return Engine().m_nHoverItem; }
    // The selection of the search box, in bytes.
    std::pair<DWORD, DWORD> EditSelection() {
        DWORD first = 0, last = 0;
        SendMessageA(Edit(), EM_GETSEL, reinterpret_cast<WPARAM>(&first),
                     reinterpret_cast<LPARAM>(&last));
        return {first, last};
    }
};

TEST_F(KeyboardTest, TabGoesRoundThePlacesThatAreThere) {
    const HWND searchButton = Button(Screen().m_hSearchBar, IDC_SEARCH_BUTTON);
    const HWND back = Button(Screen().m_hHistoryBar, IDC_HISTORY_BACK);
    const HWND forward = Button(Screen().m_hHistoryBar, IDC_HISTORY_FORWARD);
    ASSERT_EQ(GetFocus(), Edit());
    // Before any row the rows and the strip are passed over, both ways.
    for (HWND expected : {searchButton, back, forward, Edit()}) {
        Press(VK_TAB);
        EXPECT_EQ(GetFocus(), expected);
    }
    Press(VK_TAB, kShift);
    EXPECT_EQ(GetFocus(), forward);
    Press(VK_TAB);

    MakeHits(14);
    Submit("料理");
    Submit("題名");
    for (int n = 0; n < 4; ++n) Press(VK_TAB);
    EXPECT_EQ(GetFocus(), Main());
    EXPECT_EQ(g_nClientFocusPlace, kFocusRows);
    EXPECT_EQ(Selected(), 0);
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), Main());
    EXPECT_EQ(g_nClientFocusPlace, kFocusPageStrip);
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), Edit());
    // Tab into the box selects its text, as in a dialog.
    EXPECT_EQ(EditSelection(), std::make_pair(DWORD{0}, static_cast<DWORD>(EditText().size())));
    Press(VK_TAB, kShift);
    EXPECT_EQ(g_nClientFocusPlace, kFocusPageStrip);
    Press(VK_TAB, kShift);
    EXPECT_EQ(g_nClientFocusPlace, kFocusRows);
    Press(VK_TAB, kShift);
    EXPECT_EQ(GetFocus(), forward);
    // Enter on a focused button presses it.
    Press(VK_TAB, kShift);
    ASSERT_EQ(GetFocus(), back);
    Press(VK_RETURN);
    EXPECT_EQ(Screen().m_nHistoryCursor, 0);
}

TEST_F(KeyboardTest, RowKeysMoveTheSelectionAcrossPagesAndOpen) {
    MakeHits(25);
    Submit("料理");
    Press(VK_DOWN);  // from the search box to the first row
    ASSERT_EQ(GetFocus(), Main());
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(g_bKeyboardMovedLast, 1);
    const struct {
        int vk;
        int page;
        int row;
    } steps[] = {
        {VK_DOWN, 0, 1},  {VK_UP, 0, 0},   {VK_UP, 0, 0},    {VK_END, 2, 4},   {VK_DOWN, 2, 4},
        {VK_PRIOR, 1, 4}, {VK_HOME, 0, 0}, {VK_NEXT, 1, 0},  {VK_UP, 0, 9},    {VK_DOWN, 1, 0},
        {VK_NEXT, 2, 0},  {VK_NEXT, 2, 0}, {VK_PRIOR, 1, 0}, {VK_PRIOR, 0, 0}, {VK_PRIOR, 0, 0},
    };
    for (const auto& step : steps) {
        Press(step.vk);
        SCOPED_TRACE(step.vk);
        EXPECT_EQ(Engine().m_nPage, step.page);
        EXPECT_EQ(Selected(), step.row);
    }
    Press(VK_DOWN);
    headless::ClearLogs();
    Press(VK_RETURN);
    ASSERT_EQ(headless::ShellCalls().size(), 1u);
    EXPECT_EQ(headless::ShellCalls()[0].opened, (fs::current_path() / HitPath(1)).string());
    // Escape still ends the program at once.
    headless::PressKeyInFocus(VK_ESCAPE);
    EXPECT_EQ(apptest::RunTurns(5).value_or(-1), 0);
}

TEST_F(KeyboardTest, StripKeysChooseAndFollowTheLinks) {
    MakeHits(35);
    Submit("料理");
    Press(VK_DOWN);
    Press(VK_TAB);
    ASSERT_EQ(g_nClientFocusPlace, kFocusPageStrip);
    EXPECT_EQ(g_nStripFocus, 0);
    Press(VK_LEFT);  // no "前へ" on the first page
    EXPECT_EQ(g_nStripFocus, 0);
    Press(VK_RIGHT);
    Press(VK_RIGHT);
    EXPECT_EQ(g_nStripFocus, 2);
    Press(VK_RETURN);
    EXPECT_EQ(Engine().m_nPage, 2);
    EXPECT_EQ(g_nStripFocus, 0);
    Press(VK_LEFT);
    EXPECT_EQ(g_nStripFocus, kStripPrevLabel);
    Press(VK_SPACE);
    // The character that Space also makes stays out of the search box.
    headless::TypeCharInFocus(" ");
    Settle();
    EXPECT_EQ(GetFocus(), Main());
    EXPECT_EQ(Engine().m_nPage, 1);
    EXPECT_EQ(g_nStripFocus, kStripPrevLabel);
    Press(VK_END);
    EXPECT_EQ(Engine().m_nPage, 3);
    Press(VK_RIGHT);
    Press(VK_RIGHT);
    EXPECT_EQ(g_nStripFocus, 0);  // the last page has no "次へ" and no later link
    // The chosen link carries a focus frame, inside its cell.
    const auto frames = Only(PaintNow(), Draw::FocusRect);
    ASSERT_EQ(frames.size(), 1u);
    const RECT cell = layout::PageCellRect(0);
    EXPECT_TRUE(SameRect(frames[0].rect,
                         RECT{cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1}));
}

TEST_F(KeyboardTest, ShortcutsReachTheSearchBoxAndTheHistory) {
    MakeHits(3);
    Submit("料理");
    Submit("題名0001");
    Press(VK_DOWN);
    ASSERT_EQ(GetFocus(), Main());
    // A character typed on the rows goes after the box's text.
    headless::TypeCharInFocus("x");
    Settle();
    EXPECT_EQ(GetFocus(), Edit());
    EXPECT_EQ(EditText(), "題名0001x");
    headless::TypeCharInFocus("あ");
    Settle();
    EXPECT_EQ(EditText(), "題名0001xあ");
    for (int vk : {'L', 'F'}) {
        Press(VK_DOWN);
        ASSERT_EQ(GetFocus(), Main());
        Press(vk, kControl);
        EXPECT_EQ(GetFocus(), Edit());
        EXPECT_EQ(EditSelection(), std::make_pair(DWORD{0}, static_cast<DWORD>(EditText().size())));
    }
    SendMessageA(Edit(), EM_SETSEL, 2, 2);
    Press('A', kControl);
    EXPECT_EQ(EditSelection(), std::make_pair(DWORD{0}, static_cast<DWORD>(EditText().size())));
    // Alt+← and Alt+→ walk the history as the history bar's buttons do.
    Press(VK_LEFT, kAlt);
    EXPECT_EQ(Screen().m_nHistoryCursor, 0);
    EXPECT_EQ(EditText(), "料理");
    Press(VK_RIGHT, kAlt);
    EXPECT_EQ(Screen().m_nHistoryCursor, 1);
    EXPECT_EQ(EditText(), "題名0001");
}

TEST_F(KeyboardTest, PointerAndKeyboardShareOneHighlight) {
    MakeHits(5);
    Submit("料理");
    const RECT row3 = layout::RowRect(3);
    MoveTo(400, row3.top + 20);
    EXPECT_EQ(Selected(), 3);
    Press(VK_DOWN);  // from the box: the first row, although the pointer rests on row 4
    EXPECT_EQ(Selected(), 0);
    Press(VK_DOWN);
    EXPECT_EQ(Selected(), 1);
    auto paint = PaintNow();
    auto fills = Only(paint, Draw::FillRect);
    ASSERT_FALSE(fills.empty());
    EXPECT_TRUE(SameRect(fills[0].rect, layout::RowRect(1)));
    ASSERT_EQ(Only(paint, Draw::FocusRect).size(), 1u);
    // The pointer moving takes the highlight back, without a frame.
    MoveTo(400, row3.top + 21);
    EXPECT_EQ(Selected(), 3);
    paint = PaintNow();
    EXPECT_TRUE(SameRect(Only(paint, Draw::FillRect)[0].rect, layout::RowRect(3)));
    EXPECT_TRUE(Only(paint, Draw::FocusRect).empty());
    // Away from the main window no frame is drawn.
    Press(VK_DOWN);
    Press('L', kControl);
    EXPECT_TRUE(Only(PaintNow(), Draw::FocusRect).empty());
    // Tab back into the rows: the row the keyboard chose, not the one under
    // the resting pointer; after a new search, the first row.
    for (int n = 0; n < 4; ++n) Press(VK_TAB);
    EXPECT_EQ(Selected(), 4);
    Submit("料理");
    MoveTo(400, row3.top + 22);
    ASSERT_EQ(Selected(), 3);
    Press('L', kControl);
    for (int n = 0; n < 4; ++n) Press(VK_TAB);
    EXPECT_EQ(Selected(), 0);
}

// Keys sent in one burst: Enter or the menu key right after Alt+← act on
// no row of the next query's result before it is painted.
TEST_F(KeyboardTest, RowKeysWaitForTheRowsOfANewResultToBeShown) {
    MakeHits(12);
    for (int i = 0; i < 5; ++i) WriteFile("DATA/a" + std::to_string(i) + ".txt", "魚\n焼き魚\n");
    Submit("魚");
    Submit("料理");
    Press(VK_DOWN);
    for (int i = 0; i < 3; ++i) Press(VK_DOWN);
    ASSERT_EQ(Selected(), 3);
    for (int vk : {VK_RETURN, VK_APPS}) {
        headless::ClearLogs();
        headless::QueueMenuChoice(IDM_ROW_OPEN);
        headless::PressKeyInFocus(VK_LEFT, kAlt);
        headless::PressKeyInFocus(vk);
        Settle();
        EXPECT_TRUE(headless::ShellCalls().empty());
        Press(VK_RIGHT, kAlt);
    }
}

TEST_F(KeyboardTest, RowMenuOpensShowsTheFolderAndCopiesThePath) {
    MakeHits(3);
    Submit("料理");
    const std::string fullPath = (fs::current_path() / HitPath(1)).string();
    const RECT row1 = layout::RowRect(1);

    // A right click on a row: its menu, 「開く」 opens the file.
    headless::QueueMenuChoice(IDM_ROW_OPEN);
    headless::RightDown(400, row1.top + 20);
    headless::RightUp(400, row1.top + 20);
    Settle();
    ASSERT_EQ(headless::Menus().size(), 1u);
    EXPECT_EQ(headless::Menus()[0].items,
              (std::vector<std::string>{"開く(&O)", "フォルダを開く(&F)", "パスをコピー(&C)"}));
    EXPECT_EQ(headless::Menus()[0].at.y, row1.top + 20);
    ASSERT_EQ(headless::ShellCalls().size(), 1u);
    EXPECT_EQ(headless::ShellCalls()[0].opened, fullPath);

    // The menu key on the selected row: 「フォルダを開く」 asks the file manager
    // to show the file.
    headless::ClearLogs();
    Press(VK_DOWN);
    Press(VK_DOWN);
    ASSERT_EQ(Selected(), 1);
    headless::QueueMenuChoice(IDM_ROW_SHOW_FOLDER);
    Press(VK_APPS);
    ASSERT_EQ(headless::Menus().size(), 1u);
    ASSERT_EQ(headless::ShellCalls().size(), 1u);
    EXPECT_TRUE(headless::ShellCalls()[0].inFolder);
    EXPECT_EQ(headless::ShellCalls()[0].opened, fullPath);

    // Shift+F10: 「パスをコピー」 puts the full path on the clipboard.
    headless::QueueMenuChoice(IDM_ROW_COPY_PATH);
    Press(VK_F10, kShift);
    EXPECT_EQ(headless::ClipboardText(), fullPath);
    // Ctrl+C and Ctrl+Insert copy the selected row's path as well.
    Press(VK_UP);
    Press('C', kControl);
    EXPECT_EQ(headless::ClipboardText(), (fs::current_path() / HitPath(0)).string());
    Press(VK_DOWN);
    Press(VK_INSERT, kControl);
    EXPECT_EQ(headless::ClipboardText(), fullPath);
    // A menu dismissed does nothing; over no row there is none.
    Press(VK_APPS);
    headless::RightDown(400, 590);
    headless::RightUp(400, 590);
    Settle();
    EXPECT_EQ(headless::Menus().size(), 3u);
    EXPECT_EQ(headless::ShellCalls().size(), 1u);

    // A file deleted since the search: the box names it and says why.
    fs::remove(OnDisk(HitPath(0)));
    Press(VK_DOWN);
    headless::QueueMenuChoice(IDM_ROW_OPEN);
    headless::QueueAnswer(IDOK);
    Press(VK_APPS);
    ASSERT_EQ(headless::Boxes().size(), 1u);
    EXPECT_NE(headless::Boxes()[0].text.find(HitPath(0)), std::string::npos);
    EXPECT_NE(headless::Boxes()[0].text.find("見つかりません"), std::string::npos);
}

}  // namespace
}  // namespace screentest

namespace screentest {
namespace {

// Names that no plain conversion carries whole: characters with no code
// page 932 form, two names of one form, a real 〓 beside a marked twin, a
// character whose form converts back to another, a backslash (a separator
// on Windows), and names that a shell or a command line would read.
const char8_t* const kHostileNames[] = {u8"📝買い物.txt",      u8"𠮷野家.txt",        u8"한글.txt",
                                        u8"한굴.txt",         u8"x📝y.txt",           u8"x〓y.txt",
                                        u8"〜波ダッシュ.txt", u8"back\\slash.txt",   u8"a,b.txt",
                                        u8"quo\"te'.txt",     u8"-lead.txt",         u8"%HOME%.txt",
                                        u8"new\nline.txt",    u8"フォルダ📁/memo.txt"};

class RowActionTest : public KeyboardTest {
  protected:
    std::u16string RowName(int row) {
        void* object = nullptr;
        AccessibleObjectFromWindow(Main(), static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                   &object);
        auto* reader = static_cast<IAccessible*>(object);
        VARIANT child;
        VariantInit(&child);
        child.vt = VT_I4;
        child.lVal = ChildIdOfRow(Screen(), row);
        BSTR name = nullptr;
        std::u16string text;
        if (reader->get_accName(child, &name) == S_OK) text.assign(name, SysStringLen(name));
        SysFreeString(name);
        reader->Release();
        return text;
    }
};

TEST_F(RowActionTest, EveryRowActionReachesTheFileItsRowShows) {
    const fs::path data = fs::current_path() / "DATA";
    std::map<std::string, fs::path> byTitle;
    for (size_t i = 0; i < std::size(kHostileNames); ++i) {
        const fs::path path = data / fs::path(std::u8string(kHostileNames[i]));
        fs::create_directories(path.parent_path());
        const std::string title = HitTitle(static_cast<int>(i));
        std::ofstream(path, std::ios::binary) << title << "\n料理\n";
        byTitle[title] = path;
    }
    Submit("料理");
    ASSERT_EQ(Engine().m_nHits, static_cast<int>(std::size(kHostileNames)));
    Press(VK_DOWN);
    for (size_t n = 0; n < std::size(kHostileNames); ++n, Press(VK_DOWN)) {
        const int row = Selected();
        ASSERT_GE(row, 0);
        const fs::path expected = byTitle.at(Engine().m_items[row].szTitle);
        SCOPED_TRACE(expected.string());
        headless::ClearLogs();
        for (UINT action : {IDM_ROW_OPEN, IDM_ROW_SHOW_FOLDER, IDM_ROW_COPY_PATH}) {
            headless::QueueMenuChoice(action);
            Press(VK_APPS);
        }
        EXPECT_TRUE(headless::Boxes().empty());
        ASSERT_EQ(headless::ShellCalls().size(), 2u);
        EXPECT_FALSE(headless::ShellCalls()[0].inFolder);
        EXPECT_TRUE(headless::ShellCalls()[1].inFolder);
        for (const auto& call : headless::ShellCalls()) {
            EXPECT_TRUE(fs::equivalent(fs::path(call.opened), expected)) << call.opened;
        }
        EXPECT_EQ(headless::ClipboardText(), expected.string());
        // A reader hears the names the file system gives; a line feed is
        // no line break, drawn or read.
        std::u16string shown = expected.lexically_relative(fs::current_path()).u16string();
        std::replace(shown.begin(), shown.end(), u'\n', u'?');
        const std::u16string name = RowName(row);
        EXPECT_EQ(name.substr(name.size() - std::min(name.size(), shown.size())), shown);
    }
    for (const DrawCall& call : PaintNow()) {
        EXPECT_EQ(call.bytes.find('\n'), std::string::npos);
    }
}

}  // namespace
}  // namespace screentest
