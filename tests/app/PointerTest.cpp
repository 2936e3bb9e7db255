// The pointer globals and the click flag, fed by the main window's mouse
// messages through the frame loop. Positions lie in the results band, which
// no bar covers; before any search no row is present, so no polled step
// consumes a click.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/app/AppTestFixture.h"

namespace {

namespace headless = apptest::headless;

struct PointerCase {
    const char* name;
    std::function<void()> input;
    int x;
    int y;
    unsigned char click;
};

void PrintTo(const PointerCase& c, std::ostream* os) {
    *os << c.name;
}

class PointerTest : public AppTest, public ::testing::WithParamInterface<PointerCase> {};

TEST_P(PointerTest, GlobalsFollowTheMouse) {
    const PointerCase& c = GetParam();
    ASSERT_TRUE(apptest::StartUp());
    c.input();
    EXPECT_EQ(apptest::RunTurns(20), std::nullopt);
    EXPECT_EQ(g_nMouseX, c.x);
    EXPECT_EQ(g_nMouseY, c.y);
    EXPECT_EQ(g_bLeftClick, c.click);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PointerTest,
    ::testing::Values(
        PointerCase{"Move", [] { headless::MouseMove(123, 456); }, 123, 456, 0},
        PointerCase{"LeftDownSetsClick", [] { headless::LeftDown(30, 400); }, 30, 400, 1},
        PointerCase{"LeftUpClearsClickKeepsPosition",
                    [] {
                        headless::LeftDown(30, 400);
                        headless::LeftUp(60, 500);
                    },
                    30, 400, 0},
        PointerCase{"DragKeepsClick",
                    [] {
                        headless::LeftDown(30, 400);
                        headless::MouseMove(700, 100);
                    },
                    700, 100, 1},
        PointerCase{"DoubleClickIsTwoDowns",
                    [] {
                        headless::LeftDown(10, 300);
                        headless::LeftUp(10, 300);
                        headless::LeftDown(12, 302);
                    },
                    12, 302, 1},
        PointerCase{"RightDownMovesOnly", [] { headless::RightDown(640, 590); }, 640, 590, 0},
        PointerCase{"RightUpDoesNothing",
                    [] {
                        headless::MouseMove(5, 50);
                        headless::RightUp(600, 500);
                    },
                    5, 50, 0},
        PointerCase{"RightClickLeavesLeftClick",
                    [] {
                        headless::LeftDown(40, 200);
                        headless::RightDown(50, 210);
                        headless::RightUp(50, 210);
                    },
                    50, 210, 1}),
    [](const auto& param) { return std::string(param.param.name); });

// Both halves of lParam are taken unsigned, whatever the position.
TEST_F(AppTest, PositionHalvesAreUnsigned) {
    ASSERT_TRUE(apptest::StartUp());
    HWND hWnd = g_app.m_mainWindow.m_hWnd;
    EXPECT_EQ(SendMessageA(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(0xFFFF, 0x8000)), 0);
    EXPECT_EQ(g_nMouseX, 0xFFFF);
    EXPECT_EQ(g_nMouseY, 0x8000);
    EXPECT_EQ(SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 0xFFFE)), 0);
    EXPECT_EQ(g_nMouseX, 7);
    EXPECT_EQ(g_nMouseY, 0xFFFE);
    EXPECT_EQ(g_bLeftClick, 1);
}

// At most one message per turn: three queued button presses (which, unlike
// moves, are not merged in the queue) are seen one by one by the turns that
// follow.
TEST_F(AppTest, QueuedMessagesAreTakenOnePerTurn) {
    std::vector<int> seenX;
    apptest::RunProgram(
        [&](int turn) {
            seenX.push_back(g_nMouseX);
            if (turn == 5) {
                headless::RightDown(101, 300);
                headless::RightDown(102, 300);
                headless::RightDown(103, 300);
            }
        },
        30);
    std::vector<int> distinct;
    for (int x : seenX) {
        if (distinct.empty() || distinct.back() != x) distinct.push_back(x);
    }
    EXPECT_EQ(distinct, (std::vector<int>{0, 101, 102, 103}));
}

}  // namespace
