// Start-up: the main window as a person sees it, and the start-ups that fail.
#include <string>

#include "res/resource.h"
#include "screen/ScreenLayout.h"
#include "tests/app/AppTestFixture.h"

namespace {

using apptest::headless::Boxes;

std::string WindowText(HWND hWnd) {
    char buf[64] = {};
    GetWindowTextA(hWnd, buf, sizeof buf);
    return buf;
}

std::string ClassName(HWND hWnd) {
    char buf[64] = {};
    GetClassNameA(hWnd, buf, sizeof buf);
    return buf;
}

TEST_F(AppTest, MainWindowHasTitleMenuAndFixedClientArea) {
    ASSERT_TRUE(apptest::StartUp());
    HWND hWnd = g_app.m_mainWindow.m_hWnd;
    ASSERT_NE(hWnd, nullptr);

    RECT client;
    ASSERT_TRUE(GetClientRect(hWnd, &client));
    EXPECT_EQ(client.right - client.left, 800);
    EXPECT_EQ(client.bottom - client.top, 600);

    EXPECT_EQ(WindowText(hWnd), "Sorahiki");
    EXPECT_EQ(ClassName(hWnd), "Window");
    EXPECT_TRUE(IsWindowVisible(hWnd));
    // Caption, window menu and minimize box; no sizing border, no maximize box.
    const DWORD style = static_cast<DWORD>(GetWindowLongA(hWnd, GWL_STYLE));
    EXPECT_EQ(style & 0x00CF0000u, 0x00CA0000u);

    HMENU hMenu = GetMenu(hWnd);
    ASSERT_NE(hMenu, nullptr);
    ASSERT_EQ(GetMenuItemCount(hMenu), 3);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(hMenu, 0), 2), static_cast<UINT>(IDM_EXIT));
    EXPECT_EQ(GetMenuItemID(GetSubMenu(hMenu, 1), 0), static_cast<UINT>(IDM_OPTION_WHOLE_FILE));
    EXPECT_EQ(GetMenuItemID(GetSubMenu(hMenu, 2), 0), static_cast<UINT>(IDM_ABOUT));
}

// A child's rectangle in its parent's client pixels.
RECT PlaceIn(HWND hParent, HWND hChild) {
    RECT rect;
    GetWindowRect(hChild, &rect);
    MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Holds(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

LONG FontHeight(HGDIOBJ hFont) {
    LOGFONTA font = {};
    return GetObjectA(hFont, sizeof font, &font) == sizeof font ? font.lfHeight : 0;
}

// The window is drawn at its monitor's scale where it fits the work area at
// that scale, else at the largest scale at which it does: the window, the
// bars with their controls, and the fonts of both and of the results.
TEST_F(AppTest, WindowFitsTheWorkAreaAtTheLargestScaleThatFits) {
    struct Case {
        const char* what;
        int dpi;
        RECT work;
        int shownDpi;
    };
    // The layer's frame adds 10 pixels across and 53 down at 100 %, twice as
    // many at 200 %.
    const Case cases[] = {
        {"room for 150 %", 144, {0, 0, 1920, 1040}, 144},
        {"200 % on 1280 x 1024", 192, {0, 0, 1280, 1024}, 146},
        {"200 % on a screen that holds 100 % exactly", 192, {0, 0, 820, 706}, 96},
        {"100 % beside panels at the top and left", 96, {120, 60, 1024, 768}, 96},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        apptest::ResetProgram();
        apptest::headless::SetDisplay(c.dpi, c.work);
        ASSERT_TRUE(apptest::StartUp());
        apptest::RunTurns(10);
        EXPECT_EQ(g_nScreenDpi, c.shownDpi);

        HWND hWnd = g_app.m_mainWindow.m_hWnd;
        RECT outer;
        RECT client;
        GetWindowRect(hWnd, &outer);
        GetClientRect(hWnd, &client);
        EXPECT_TRUE(Holds(c.work, outer));
        EXPECT_EQ(client.right, screen_layout::Scaled(800));
        EXPECT_EQ(client.bottom, screen_layout::Scaled(600));

        const CSearchEdit& screen = g_app.m_searchEdit;
        for (HWND hBar : {screen.m_hSearchBar, screen.m_hHistoryBar}) {
            GetClientRect(hBar, &client);
            for (HWND hControl = GetWindow(hBar, GW_CHILD); hControl != nullptr;
                 hControl = GetWindow(hControl, GW_HWNDNEXT)) {
                if (!IsWindowVisible(hControl)) continue;
                EXPECT_TRUE(Holds(client, PlaceIn(hBar, hControl))) << GetDlgCtrlID(hControl);
                const auto hFont =
                    reinterpret_cast<HGDIOBJ>(SendMessageA(hControl, WM_GETFONT, 0, 0));
                EXPECT_EQ(FontHeight(hFont), -screen_layout::Scaled(12));
            }
        }
        for (const auto& call : apptest::headless::DrawCalls()) {
            if (call.call == apptest::headless::Draw::TextOut) {
                ASSERT_EQ(call.font_height, screen_layout::Scaled(18));
            }
        }
    }
}

TEST_F(AppTest, StartUpLinksTheScreenAndCreatesTheBars) {
    ASSERT_TRUE(apptest::StartUp());
    EXPECT_EQ(g_app.m_mainWindow.m_pSearchEdit, &g_app.m_searchEdit);
    EXPECT_EQ(g_app.m_searchEdit.m_hParent, g_app.m_mainWindow.m_hWnd);
    EXPECT_EQ(GetParent(g_app.m_searchEdit.m_hSearchBar), g_app.m_mainWindow.m_hWnd);
    EXPECT_EQ(GetParent(g_app.m_searchEdit.m_hHistoryBar), g_app.m_mainWindow.m_hWnd);
    EXPECT_EQ(g_pWindowList, &g_app.m_mainWindow);
    EXPECT_EQ(g_pCreatingWindow, nullptr);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(AppTest, MinimizedStartStillCreatesTheBars) {
    ASSERT_TRUE(apptest::StartUp(SW_SHOWMINIMIZED));
    EXPECT_NE(g_app.m_searchEdit.m_hSearchBar, nullptr);
    EXPECT_NE(g_app.m_searchEdit.m_hHistoryBar, nullptr);
}

TEST_F(AppTest, OrdinaryRunEndsWithStatusZeroAndTurnsWhileIdle) {
    int nTurns = 0;
    const int status = apptest::RunProgram(
        [](int turn) {
            if (turn == 12) PostQuitMessage(0);
        },
        40, &nTurns);
    EXPECT_EQ(status, 0);
    EXPECT_GE(nTurns, 12);
    EXPECT_LT(nTurns, 40);
}

// A window procedure of somebody else's class "Window": it creates windows
// that never reach StaticWndProc.
LRESULT CALLBACK ForeignProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

void RegisterForeignWindowClass() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ForeignProc;
    wc.hInstance = apptest::Instance();
    wc.lpszClassName = "Window";
    ASSERT_NE(RegisterClassA(&wc), 0);
}

TEST_F(AppTest, StartUpWhoseWindowIsNotAdoptedFailsWithoutATurn) {
    RegisterForeignWindowClass();
    apptest::headless::QueueAnswer(IDOK);
    int nTurns = -1;
    EXPECT_EQ(apptest::RunProgram({}, 40, &nTurns), -1);
    EXPECT_EQ(nTurns, 0);
    EXPECT_EQ(g_pCreatingWindow, nullptr);
    EXPECT_EQ(g_pWindowList, nullptr);
    EXPECT_EQ(g_app.m_searchEdit.m_hSearchBar, nullptr);
    // The class was found registered already: that is said, then used.
    const std::vector<apptest::BoxSeen> expected = {
        {"登録済み\n", "CWindow::m_sub_RegisterWndClass()", MB_OK}};
    EXPECT_EQ(apptest::BoxesSeen(), expected);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].owner, nullptr);
}

}  // namespace
