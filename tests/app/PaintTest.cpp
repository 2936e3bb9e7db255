// The main window's paint: one BeginPaint and one EndPaint per paint message,
// the usage page drawn only until the first query has been submitted.
#include "tests/app/AppTestFixture.h"

namespace {

namespace headless = apptest::headless;

struct PaintCounts {
    int begins = 0;
    int ends = 0;
    int textsInside = 0;
    int textsOutside = 0;
};

PaintCounts CountMainWindowPaints() {
    PaintCounts counts;
    bool inside = false;
    for (const auto& call : headless::DrawCalls()) {
        if (call.hwnd != g_app.m_mainWindow.m_hWnd) continue;
        switch (call.call) {
            case headless::Draw::BeginPaint:
                ++counts.begins;
                inside = true;
                break;
            case headless::Draw::EndPaint:
                ++counts.ends;
                inside = false;
                break;
            case headless::Draw::TextOut:
                ++(inside ? counts.textsInside : counts.textsOutside);
                break;
            default:
                break;
        }
    }
    return counts;
}

TEST_F(AppTest, FirstPaintShowsTheUsagePage) {
    ASSERT_TRUE(apptest::StartUp());
    apptest::RunTurns(10);
    // The first pointer step invalidates the band once more: two paints.
    const PaintCounts counts = CountMainWindowPaints();
    EXPECT_GE(counts.begins, 1);
    EXPECT_EQ(counts.ends, counts.begins);
    EXPECT_GT(counts.textsInside, 0);
    EXPECT_EQ(counts.textsOutside, 0);
}

TEST_F(AppTest, AfterAQueryOnlyTheResultsArePainted) {
    ASSERT_TRUE(apptest::StartUp());
    apptest::RunTurns(10);
    headless::ClearLogs();
    // A submitted query without hits: the results painter draws nothing.
    g_app.m_searchEdit.m_nHistory = 1;
    InvalidateRect(g_app.m_mainWindow.m_hWnd, nullptr, TRUE);
    apptest::RunTurns(10);
    const PaintCounts counts = CountMainWindowPaints();
    EXPECT_EQ(counts.begins, 1);
    EXPECT_EQ(counts.ends, 1);
    EXPECT_EQ(counts.textsInside, 0);
}

}  // namespace
