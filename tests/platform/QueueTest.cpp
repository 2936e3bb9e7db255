// The thread's queue: posted order, the quit message, and WM_PAINT made up
// from the invalid region only when nothing else is waiting.
#include "tests/platform/LayerFixture.h"

namespace conformance {
namespace {

class QueueTest : public LayerTest {
  protected:
    // A shown window whose first paint has been handled.
    HWND ShownAndPainted() {
        HWND hwnd = CreateMain();
        ShowWindow(hwnd, SW_SHOW);
        Settle();
        g_received.clear();
        return hwnd;
    }
    // Drains until the display has nothing more to say for a moment.
    void Settle() {
        for (int quiet = 0, turns = 0; quiet < 3 && turns < 50; ++turns) {
            quiet = Drain() == 0 ? quiet + 1 : 0;
            Sleep(10);
        }
    }
    bool Take(MSG* msg) { return PeekMessageA(msg, nullptr, 0, 0, PM_REMOVE) != 0; }
};

TEST_F(QueueTest, PostedMessagesComeInOrderThenQuit) {
    HWND hwnd = CreateMain();
    Drain();
    PostMessageA(hwnd, WM_USER + 1, 1, 0);
    PostQuitMessage(3);
    PostMessageA(hwnd, WM_USER + 2, 2, 0);
    PostMessageA(nullptr, WM_USER + 3, 3, 0);
    MSG msg;
    std::vector<UINT> taken;
    while (Take(&msg)) {
        taken.push_back(msg.message);
        if (msg.message == WM_QUIT) {
            EXPECT_EQ(msg.wParam, 3u);
            EXPECT_EQ(msg.hwnd, nullptr);
        }
    }
    EXPECT_EQ(taken, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_QUIT}));
}

TEST_F(QueueTest, DestroyedWindowsMessagesAreDropped) {
    HWND gone = CreateMain();
    HWND kept = CreateMain();
    Drain();
    PostMessageA(gone, WM_USER + 1, 0, 0);
    PostMessageA(kept, WM_USER + 2, 0, 0);
    DestroyWindow(gone);
    MSG msg;
    ASSERT_TRUE(Take(&msg));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
    EXPECT_FALSE(Take(&msg));
    EXPECT_FALSE(PostMessageA(gone, WM_USER, 0, 0));
}

TEST_F(QueueTest, PeekWithoutRemoveLeavesTheMessage) {
    HWND hwnd = CreateMain();
    Drain();
    PostMessageA(hwnd, WM_USER, 0, 0);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(QueueTest, DispatchHandsThePostedMessageToItsWindow) {
    HWND hwnd = CreateMain();
    Drain();
    g_received.clear();
    PostMessageA(hwnd, WM_USER + 9, 4, 5);
    MSG msg;
    ASSERT_TRUE(Take(&msg));
    EXPECT_TRUE(g_received.empty());
    DispatchMessageA(&msg);
    ASSERT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_received[0].hwnd, hwnd);
    EXPECT_EQ(g_received[0].lparam, 5);
}

TEST_F(QueueTest, ShowingAWindowMakesOnePaint) {
    HWND hwnd = CreateMain();
    Drain();
    g_received.clear();
    ShowWindow(hwnd, SW_SHOW);
    Settle();
    EXPECT_EQ(Only({WM_PAINT}, hwnd).size(), 1u);
    MSG msg;
    EXPECT_FALSE(Take(&msg));
}

TEST_F(QueueTest, HiddenWindowGetsNoPaint) {
    HWND hwnd = CreateMain();
    Drain();
    InvalidateRect(hwnd, nullptr, TRUE);
    MSG msg;
    EXPECT_FALSE(Take(&msg));
}

TEST_F(QueueTest, PaintWaitsUntilNothingElseIsQueued) {
    HWND hwnd = ShownAndPainted();
    RECT band{0, 45, 300, 200};
    InvalidateRect(hwnd, &band, TRUE);
    PostMessageA(hwnd, WM_USER + 1, 0, 0);
    PostMessageA(hwnd, WM_USER + 2, 0, 0);
    MSG msg;
    std::vector<UINT> taken;
    while (Take(&msg)) {
        taken.push_back(msg.message);
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(taken, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_PAINT}));
}

TEST_F(QueueTest, InvalidRegionsJoinAndEraseIsKept) {
    HWND hwnd = ShownAndPainted();
    RECT band{0, 45, 400, 300};
    RECT box{250, 0, 400, 50};
    InvalidateRect(hwnd, &band, TRUE);
    InvalidateRect(hwnd, &box, FALSE);
    RECT update;
    EXPECT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_EQ(update.left, 0);
    EXPECT_EQ(update.top, 0);
    EXPECT_EQ(update.right, 400);
    EXPECT_EQ(update.bottom, 300);

    MSG msg;
    ASSERT_TRUE(Take(&msg));
    ASSERT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
    g_received.clear();
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    EXPECT_NE(hdc, nullptr);
    EXPECT_EQ(ps.rcPaint.top, 0);
    EXPECT_EQ(ps.rcPaint.bottom, 300);
    // The class brush erased the background, so the painter need not.
    EXPECT_EQ(Only({WM_ERASEBKGND}, hwnd).size(), 1u);
    EXPECT_FALSE(ps.fErase);
    EndPaint(hwnd, &ps);
    EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_FALSE(Take(&msg));
}

TEST_F(QueueTest, WithoutEraseTheBackgroundIsLeft) {
    HWND hwnd = ShownAndPainted();
    RECT box{650, 0, 800, 50};
    InvalidateRect(hwnd, &box, FALSE);
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    EXPECT_EQ(ps.rcPaint.left, 650);
    EXPECT_EQ(ps.rcPaint.right, 800);
    EXPECT_EQ(ps.rcPaint.bottom, 50);
    EndPaint(hwnd, &ps);
    EXPECT_TRUE(Only({WM_ERASEBKGND}, hwnd).empty());
}

TEST_F(QueueTest, UnhandledPaintIsValidatedByDefaultProcessing) {
    HWND hwnd = ShownAndPainted();
    InvalidateRect(hwnd, nullptr, FALSE);
    EXPECT_EQ(Drain(), 1);
    MSG msg;
    EXPECT_FALSE(Take(&msg));
}

TEST_F(QueueTest, EscapeKeyTranslatesToACharacter) {
    HWND hwnd = CreateMain();
    Drain();
    PostMessageA(hwnd, WM_KEYDOWN, VK_ESCAPE, 1);
    MSG msg;
    ASSERT_TRUE(Take(&msg));
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    ASSERT_TRUE(Take(&msg));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_ESCAPE));
}

}  // namespace
}  // namespace conformance
