// The ways a person ends the program or asks about it, run through the entry
// point and the frame loop: menu commands, the close button and the keys.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/app/AppTestFixture.h"

namespace {

namespace headless = apptest::headless;
using apptest::BoxSeen;

const BoxSeen kCloseQuestion = {"確認メッセージ",
                                "アプリケーションを終了します。\n宜しいですか？。", MB_YESNO};
const BoxSeen kAboutBox = {"バージョン情報",
                           "Sorahiki　Virsion　1.0\nCopyright (C) 2026 Sorahiki project", MB_OK};

struct Exit {
    const char* name;
    std::function<void()> input;  // given at the third turn
    std::vector<int> answers;     // queued for the boxes
    int status;                   // the program's exit status
    std::vector<BoxSeen> boxes;   // the boxes shown, in order
};

void PrintTo(const Exit& c, std::ostream* os) {
    *os << c.name;
}

class ExitTest : public AppTest, public ::testing::WithParamInterface<Exit> {};

TEST_P(ExitTest, EndsOrGoesOnAsAsked) {
    const Exit& c = GetParam();
    for (int answer : c.answers) headless::QueueAnswer(answer);
    const int status = apptest::RunProgram([&](int turn) {
        if (turn == 3) c.input();
    });
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(apptest::BoxesSeen(), c.boxes);
    // Boxes are owned by the main window, which is never destroyed here.
    for (const auto& box : headless::Boxes()) EXPECT_EQ(box.owner, g_app.m_mainWindow.m_hWnd);
    EXPECT_TRUE(IsWindow(g_app.m_mainWindow.m_hWnd));
}

const int kRunning = apptest::kStillRunning;

INSTANTIATE_TEST_SUITE_P(
    Cases, ExitTest,
    ::testing::Values(
        Exit{"AboutBox", [] { headless::ChooseMenuItem(104); }, {IDOK}, kRunning, {kAboutBox}},
        Exit{"ExitItemYes", [] { headless::ChooseMenuItem(105); }, {IDYES}, 0, {kCloseQuestion}},
        Exit{"ExitItemNo",
             [] { headless::ChooseMenuItem(105); },
             {IDNO},
             kRunning,
             {kCloseQuestion}},
        Exit{"CloseIdYes", [] { headless::ChooseMenuItem(8); }, {IDYES}, 0, {kCloseQuestion}},
        Exit{"CloseIdNo", [] { headless::ChooseMenuItem(8); }, {IDNO}, kRunning, {kCloseQuestion}},
        Exit{"CloseButtonYes", [] { headless::RequestClose(); }, {IDYES}, 0, {kCloseQuestion}},
        Exit{"CloseButtonNo", [] { headless::RequestClose(); }, {IDNO}, kRunning, {kCloseQuestion}},
        Exit{"EscapeWithoutAsking", [] { headless::PressEscape(); }, {}, 0, {}},
        Exit{"OtherKeyDoesNothing", [] { headless::PressKey(13); }, {}, kRunning, {}},
        Exit{"UnknownCommandDoesNothing", [] { headless::ChooseMenuItem(106); }, {}, kRunning, {}}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
