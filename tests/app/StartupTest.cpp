// Start-up: the main window as a person sees it, and the start-ups that fail.
#include <string>

#include "res/resource.h"
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
    ASSERT_EQ(GetMenuItemCount(hMenu), 2);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(hMenu, 0), 0), static_cast<UINT>(IDM_EXIT));
    EXPECT_EQ(GetMenuItemID(GetSubMenu(hMenu, 1), 0), static_cast<UINT>(IDM_ABOUT));
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
