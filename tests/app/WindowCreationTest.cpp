// Creation of a CWindow with its hook, the class registration, the hand-off
// to the window procedure and the list of live windows, seen through a
// derived window whose hooks a test sets.
#include <vector>

#include "res/resource.h"
#include "tests/app/AppTestFixture.h"

namespace {

using apptest::headless::Boxes;

class CTestWindow : public CWindow {
  public:
    bool PreCreateWindow(CREATESTRUCTA& cs) override {
        if (m_pszClassFromHook != nullptr) cs.lpszClass = m_pszClassFromHook;
        m_bSawCreateMessage = false;
        return m_bPreCreateResult;
    }
    bool OnCreate(CREATESTRUCTA* pcs) override {
        m_bSawCreateMessage = pcs != nullptr && g_pWindowList == this && m_hWnd != nullptr;
        return m_bCreateResult;
    }
    void OnDestroy() override { ++m_nDestroyCalls; }
    void OnInitMenuItem(HMENU, UINT nId) override { m_menuItems.push_back(nId); }

    bool m_bPreCreateResult = true;
    bool m_bCreateResult = true;
    const char* m_pszClassFromHook = nullptr;
    bool m_bSawCreateMessage = false;
    int m_nDestroyCalls = 0;
    std::vector<UINT> m_menuItems;
};

bool ClassIsRegistered(const char* pszName) {
    WNDCLASSA wc;
    return GetClassInfoA(apptest::Instance(), pszName, &wc) != FALSE;
}

struct FailedCreation {
    const char* name;
    bool preCreateResult;
    bool createResult;
    const char* classFromHook;
    bool classRegisteredAfter;
    bool adoptedBeforeFailing;  // WM_CREATE reached the object at the list head
};

void PrintTo(const FailedCreation& c, std::ostream* os) {
    *os << c.name;
}

class FailedCreationTest : public AppTest, public ::testing::WithParamInterface<FailedCreation> {};

TEST_P(FailedCreationTest, ReturnsFalseAndLeavesNoTrace) {
    const FailedCreation& c = GetParam();
    CTestWindow window;
    window.m_bPreCreateResult = c.preCreateResult;
    window.m_bCreateResult = c.createResult;
    window.m_pszClassFromHook = c.classFromHook;

    EXPECT_FALSE(window.m_sub_CreateWindow(apptest::Instance(), nullptr, nullptr));
    EXPECT_EQ(window.m_hInstance, apptest::Instance());
    EXPECT_EQ(window.m_hWnd, nullptr);
    EXPECT_EQ(g_pCreatingWindow, nullptr);
    EXPECT_EQ(g_pWindowList, nullptr);
    EXPECT_EQ(ClassIsRegistered("Window"), c.classRegisteredAfter);
    EXPECT_EQ(window.m_bSawCreateMessage, c.adoptedBeforeFailing);
    EXPECT_TRUE(Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailedCreationTest,
    ::testing::Values(
        // The hook cancels: nothing is registered or created.
        FailedCreation{"HookCancels", false, true, nullptr, false, false},
        // A class that the hook names is used unregistered; here none exists.
        FailedCreation{"HookNamesUnknownClass", true, true, "NoSuchClass", false, false},
        // WM_CREATE answers -1: the half-made window is destroyed and the
        // object, adopted on the first message, is unlinked again.
        FailedCreation{"CreateHandlerRefuses", true, false, nullptr, true, true}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(AppTest, CreateMessageAlreadyReachesTheAdoptedObject) {
    CTestWindow window;
    ASSERT_TRUE(window.m_sub_CreateWindow(apptest::Instance(), nullptr, nullptr));
    EXPECT_TRUE(window.m_bSawCreateMessage);
    EXPECT_TRUE(IsWindow(window.m_hWnd));
    EXPECT_EQ(g_pWindowList, &window);
    DestroyWindow(window.m_hWnd);
}

TEST_F(AppTest, LiveWindowsAreListedNewestFirstAndUnlinkedOnDestruction) {
    CTestWindow first;
    CTestWindow second;
    ASSERT_TRUE(first.m_sub_CreateWindow(apptest::Instance(), nullptr, nullptr));
    ASSERT_TRUE(second.m_sub_CreateWindow(apptest::Instance(), nullptr, nullptr));
    EXPECT_EQ(g_pWindowList, &second);
    EXPECT_EQ(second.m_pNext, &first);
    EXPECT_EQ(first.m_pNext, nullptr);

    // The second creation found the class registered by the first.
    const std::vector<apptest::BoxSeen> expected = {
        {"登録済み\n", "CWindow::m_sub_RegisterWndClass()", MB_OK}};
    EXPECT_EQ(apptest::BoxesSeen(), expected);

    DestroyWindow(first.m_hWnd);
    EXPECT_EQ(g_pWindowList, &second);
    EXPECT_EQ(second.m_pNext, nullptr);
    EXPECT_EQ(first.m_nDestroyCalls, 1);
    DestroyWindow(second.m_hWnd);
    EXPECT_EQ(g_pWindowList, nullptr);
}

TEST_F(AppTest, ClientAreaFollowsTheWantedSize) {
    CTestWindow window;
    window.m_nClientWidth = 320;
    window.m_nClientHeight = 200;
    ASSERT_TRUE(window.m_sub_CreateWindow(apptest::Instance(), nullptr, nullptr));
    RECT client;
    GetClientRect(window.m_hWnd, &client);
    EXPECT_EQ(client.right - client.left, 320);
    EXPECT_EQ(client.bottom - client.top, 200);
    DestroyWindow(window.m_hWnd);
}

TEST_F(AppTest, OpeningAPopUpCallsTheItemHookForEachItem) {
    CTestWindow window;
    HMENU hMenu = LoadMenuA(apptest::Instance(), MAKEINTRESOURCEA(IDR_MAINMENU));
    ASSERT_TRUE(window.m_sub_CreateWindow(apptest::Instance(), nullptr, hMenu));

    apptest::headless::OpenMenu(0);
    apptest::PumpMessages();
    // A separator is an item of id 0.
    EXPECT_EQ(window.m_menuItems, (std::vector<UINT>{IDM_CHOOSE_FOLDER, 0, IDM_EXIT}));

    window.m_menuItems.clear();
    apptest::headless::OpenMenu(2);
    apptest::PumpMessages();
    EXPECT_EQ(window.m_menuItems, std::vector<UINT>{IDM_ABOUT});

    // The window menu: the high word of lParam is set.
    window.m_menuItems.clear();
    SendMessageA(window.m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(hMenu, 0)),
                 MAKELPARAM(0, 1));
    EXPECT_TRUE(window.m_menuItems.empty());
    DestroyWindow(window.m_hWnd);
}

}  // namespace
