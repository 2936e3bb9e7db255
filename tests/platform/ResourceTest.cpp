// Dialogs and the menu from the program's resources, and window texts.
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/platform/LayerFixture.h"

namespace conformance {
namespace {

std::vector<Received> g_dialogReceived;

INT_PTR CALLBACK RecordingDialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    g_dialogReceived.push_back(Received{hwnd, message, wparam, lparam});
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

class ResourceTest : public LayerTest {
  protected:
    void SetUp() override {
        LayerTest::SetUp();
        g_dialogReceived.clear();
        main_ = CreateMain();
    }
    HWND Dialog(int id, LPARAM init = 0) {
        return CreateDialogParamA(instance_, MAKEINTRESOURCEA(id), main_, RecordingDialogProc,
                                  init);
    }
    static std::string Text(HWND hwnd) {
        char buffer[400];
        GetWindowTextA(hwnd, buffer, sizeof buffer);
        return buffer;
    }
    static std::string ClassOf(HWND hwnd) {
        char buffer[64];
        GetClassNameA(hwnd, buffer, sizeof buffer);
        return buffer;
    }
    static std::vector<WORD> Commands(HWND dialog, WORD id) {
        std::vector<WORD> codes;
        for (const Received& r : g_dialogReceived) {
            if (r.hwnd == dialog && r.message == WM_COMMAND && LOWORD(r.wparam) == id) {
                codes.push_back(HIWORD(r.wparam));
            }
        }
        return codes;
    }

    HWND main_ = nullptr;
};

struct Control {
    int id;
    const char* class_name;
    const char* text;
    DWORD style;
};

TEST_F(ResourceTest, DialogsHoldTheirControls) {
    struct DialogCase {
        int id;
        std::vector<Control> controls;
    };
    const DialogCase cases[] = {
        // The label names the edit box for a screen reader and is never shown.
        {IDD_SEARCHBAR,
         {{IDC_SEARCH_LABEL, "Static", "検索ワード", 0x40000000},
          {1000, "Edit", "", 0x50010080},
          {1, "Button", "検索", 0x50010000}}},
        {IDD_HISTORYBAR,
         {{1002, "Button", "前へ", 0x50010000},
          {1003, "Button", "次へ", 0x50010000},
          {-1, "Static", "検索ワードの履歴", 0x50020000}}},
    };
    for (const DialogCase& c : cases) {
        HWND dialog = Dialog(c.id, 77);
        ASSERT_NE(dialog, nullptr) << c.id;
        EXPECT_EQ(GetParent(dialog), main_);
        EXPECT_FALSE(IsWindowVisible(dialog));
        // The template's style, with the 3-D look every dialog gets.
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)), 0x40000044u);
        EXPECT_EQ(ClassOf(dialog), "#32770");
        EXPECT_EQ(Text(dialog), "");
        for (const Control& control : c.controls) {
            HWND hwnd = GetDlgItem(dialog, control.id);
            ASSERT_NE(hwnd, nullptr) << control.id;
            EXPECT_EQ(GetDlgCtrlID(hwnd), control.id);
            EXPECT_EQ(ClassOf(hwnd), control.class_name) << control.id;
            EXPECT_EQ(Text(hwnd), control.text) << control.id;
            // The edit's border turns into its client edge; the other bits stay.
            EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)) & ~WS_BORDER,
                      control.style)
                << control.id;
        }
        EXPECT_EQ(GetDlgItem(dialog, 4242), nullptr);
        // WM_INITDIALOG reached the procedure once, with the value given.
        int inits = 0;
        for (const Received& r : g_dialogReceived) {
            if (r.hwnd == dialog && r.message == WM_INITDIALOG) {
                ++inits;
                EXPECT_EQ(r.lparam, 77);
            }
        }
        EXPECT_EQ(inits, 1);
    }
}

// The program lays a bar's controls out again at its own scale: it walks them
// in template order and reads their dialog units back through the dialog's
// own base units.
TEST_F(ResourceTest, ControlsAreWalkedInTemplateOrderAndPlacedByTheBaseUnits) {
    HWND dialog = Dialog(IDD_HISTORYBAR);
    ASSERT_NE(dialog, nullptr);
    std::vector<int> ids;
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        ids.push_back(static_cast<short>(GetDlgCtrlID(c)));
    }
    EXPECT_EQ(ids, (std::vector<int>{1002, 1003, -1}));

    // The button 前へ stands at 0, 9 and measures 44 x 17: the dialog maps
    // its place and its size each on their own.
    RECT units{0, 9, 44, 17};
    ASSERT_TRUE(MapDialogRect(dialog, &units));
    RECT placed;
    GetWindowRect(GetDlgItem(dialog, 1002), &placed);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, units.left);
    EXPECT_EQ(placed.top, units.top);
    EXPECT_EQ(placed.right - placed.left, units.right);
    EXPECT_EQ(placed.bottom - placed.top, units.bottom);
}

TEST_F(ResourceTest, UnknownDialogIsNotCreated) {
    EXPECT_EQ(Dialog(4242), nullptr);
}

TEST_F(ResourceTest, DialogMovesAndShowsAsAChild) {
    HWND dialog = Dialog(IDD_SEARCHBAR);
    ShowWindow(main_, SW_SHOW);
    ASSERT_TRUE(MoveWindow(dialog, 230, 5, 405, 40, TRUE));
    ShowWindow(dialog, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(dialog));
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 405);
    EXPECT_EQ(client.bottom, 40);
}

TEST_F(ResourceTest, ButtonClickReachesTheDialogAsACommand) {
    HWND dialog = Dialog(IDD_HISTORYBAR);
    HWND back = GetDlgItem(dialog, 1002);
    SendMessageA(back, BM_CLICK, 0, 0);
    EXPECT_EQ(Commands(dialog, 1002), (std::vector<WORD>{BN_CLICKED}));
    for (const Received& r : g_dialogReceived) {
        if (r.message == WM_COMMAND) {
            EXPECT_EQ(r.lparam, reinterpret_cast<LPARAM>(back));
        }
    }
}

TEST_F(ResourceTest, FocusGoesToTheFirstTabStopOfTheNewestDialog) {
    HWND search = Dialog(IDD_SEARCHBAR);
    EXPECT_EQ(Commands(search, 1000), (std::vector<WORD>{EN_SETFOCUS}));
    Dialog(IDD_HISTORYBAR);
    EXPECT_EQ(Commands(search, 1000), (std::vector<WORD>{EN_SETFOCUS, EN_KILLFOCUS}));
}

TEST_F(ResourceTest, SettingTheEditTextNotifiesTheDialog) {
    HWND dialog = Dialog(IDD_SEARCHBAR);
    HWND edit = GetDlgItem(dialog, 1000);
    g_dialogReceived.clear();
    ASSERT_TRUE(SetWindowTextA(edit, "料理 soup"));
    EXPECT_EQ(Text(edit), "料理 soup");
    EXPECT_EQ(Commands(dialog, 1000), (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));
}

TEST_F(ResourceTest, GetWindowTextCopiesAtMostOneLessThanTheCapacity) {
    HWND dialog = Dialog(IDD_SEARCHBAR);
    HWND edit = GetDlgItem(dialog, 1000);
    struct Case {
        const char* text;
        int capacity;
        const char* expected;
    };
    const Case cases[] = {
        {"abcdef", 100, "abcdef"},
        {"abcdef", 7, "abcdef"},
        {"abcdef", 6, "abcde"},
        {"abcdef", 1, ""},
        {"料理", 5, "料理"},
        // A double-byte character is cut in two at the end.
        {"料理", 4, "料\x97"},
        {"a料", 3, "a\x97"},
    };
    for (const Case& c : cases) {
        SetWindowTextA(edit, c.text);
        char buffer[16];
        std::fill(std::begin(buffer), std::end(buffer), 'X');
        int copied = GetWindowTextA(edit, buffer, c.capacity);
        EXPECT_STREQ(buffer, c.expected) << c.text << " / " << c.capacity;
        EXPECT_EQ(copied, static_cast<int>(std::string(c.expected).size())) << c.capacity;
    }
    char untouched[4] = "abc";
    EXPECT_EQ(GetWindowTextA(edit, untouched, 0), 0);
    EXPECT_STREQ(untouched, "abc");
}

TEST_F(ResourceTest, LongTextIsCutTo299Bytes) {
    HWND edit = GetDlgItem(Dialog(IDD_SEARCHBAR), 1000);
    std::string text(300, 'w');
    SetWindowTextA(edit, text.c_str());
    EXPECT_EQ(GetWindowTextLengthA(edit), 300);
    char buffer[300];
    EXPECT_EQ(GetWindowTextA(edit, buffer, 300), 299);
    EXPECT_EQ(std::string(buffer), std::string(299, 'w'));
}

TEST_F(ResourceTest, EditTakesCharactersAtItsSelection) {
    HWND dialog = Dialog(IDD_SEARCHBAR);
    HWND edit = GetDlgItem(dialog, 1000);
    SetWindowTextA(edit, "soup");
    SendMessageA(edit, EM_SETSEL, 0, -1);
    DWORD first = 9, last = 9;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&first),
                 reinterpret_cast<LPARAM>(&last));
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(last, 4u);
    g_dialogReceived.clear();
    SendMessageA(edit, WM_CHAR, 'x', 1);
    EXPECT_EQ(Text(edit), "x");
    EXPECT_EQ(Commands(dialog, 1000), (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));
    // A position past the end stands for the end.
    SendMessageA(edit, EM_SETSEL, 50, 50);
    SendMessageA(edit, WM_CHAR, 'y', 1);
    SendMessageA(edit, EM_SETSEL, 0, 0);
    SendMessageA(edit, WM_CHAR, 'z', 1);
    EXPECT_EQ(Text(edit), "zxy");
}

TEST_F(ResourceTest, PopUpMenusKeepTheirTextsAndUnicodeTextConverts) {
    HMENU menu = CreatePopupMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(AppendMenuA(menu, MF_STRING, 201, "開く"));
    EXPECT_TRUE(AppendMenuA(menu, MF_STRING, 203, "パスをコピー"));
    EXPECT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(GetMenuItemID(menu, 1), 203u);
    char text[64];
    GetMenuStringA(menu, 203, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "パスをコピー");
    EXPECT_TRUE(DestroyMenu(menu));

    WCHAR wide[8] = {};
    EXPECT_EQ(MultiByteToWideChar(932, 0, "料理a", -1, nullptr, 0), 4);
    EXPECT_EQ(MultiByteToWideChar(932, 0, "料理a", -1, wide, 8), 4);
    EXPECT_EQ(wide[0], 0x6599);
    EXPECT_EQ(wide[1], 0x7406);
    EXPECT_EQ(wide[2], 'a');
    EXPECT_EQ(wide[3], 0);
}

// The menu bar's pop-ups and their items; a template's separator reads as an
// item of id 0 that GetMenuState calls a separator. A mark set by
// CheckMenuItem is read back, the former state returned.
TEST_F(ResourceTest, MainMenuHasFileOptionsAndHelpPopUps) {
    HMENU menu = LoadMenuA(instance_, MAKEINTRESOURCEA(IDR_MAINMENU));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_EQ(GetMenuItemID(menu, 0), 0xFFFFFFFFu);
    struct Item {
        UINT id;  // 0 for a separator
        const char* text;
    };
    struct Case {
        const char* popup_text;
        std::vector<Item> items;
    };
    const Case cases[] = {{"ファイル(&F)",
                           {{IDM_CHOOSE_FOLDER, "フォルダを選択…"},
                            {0, ""},
                            {IDM_EXIT, "アプリケーションの終了(&X)"}}},
                          {"オプション(&O)",
                           {{IDM_OPTION_WHOLE_FILE, "ファイル全体を検索"},
                            {0, ""},
                            {IDM_OPTION_FOLD_CASE, "大文字と小文字を区別しない"},
                            {IDM_OPTION_FOLD_WIDTH, "全角と半角を区別しない"},
                            {IDM_OPTION_FOLD_KANA, "ひらがなとカタカナを区別しない"}}},
                          {"ヘルプ(&H)", {{IDM_ABOUT, "バージョン情報(&A)..."}}}};
    for (int position = 0; position < 3; ++position) {
        const Case& c = cases[position];
        char text[64];
        GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, c.popup_text);
        HMENU popup = GetSubMenu(menu, position);
        ASSERT_NE(popup, nullptr);
        const int count = static_cast<int>(c.items.size());
        EXPECT_EQ(GetMenuItemCount(popup), count);
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(GetMenuItemID(popup, i), c.items[i].id);
            const UINT state = GetMenuState(popup, i, MF_BYPOSITION);
            EXPECT_EQ(state & MF_SEPARATOR, c.items[i].id == 0 ? UINT{MF_SEPARATOR} : 0u);
            if (c.items[i].id == 0) continue;
            GetMenuStringA(popup, c.items[i].id, text, sizeof text, MF_BYCOMMAND);
            EXPECT_STREQ(text, c.items[i].text);
        }
        EXPECT_EQ(GetMenuItemID(popup, count), 0xFFFFFFFFu);
    }
    EXPECT_EQ(CheckMenuItem(menu, IDM_OPTION_FOLD_KANA, MF_BYCOMMAND | MF_CHECKED),
              DWORD{MF_UNCHECKED});
    EXPECT_EQ(GetMenuState(menu, IDM_OPTION_FOLD_KANA, MF_BYCOMMAND) & MF_CHECKED,
              UINT{MF_CHECKED});
    EXPECT_EQ(CheckMenuItem(menu, IDM_OPTION_FOLD_KANA, MF_BYCOMMAND | MF_UNCHECKED),
              DWORD{MF_CHECKED});
    EXPECT_EQ(CheckMenuItem(menu, 4242, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(-1));
    EXPECT_EQ(LoadMenuA(instance_, MAKEINTRESOURCEA(4242)), nullptr);
    DestroyMenu(menu);
}

}  // namespace
}  // namespace conformance
