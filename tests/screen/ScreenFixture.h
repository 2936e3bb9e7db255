// A running program over a DATA folder of its own: each test starts the
// program headless in a fresh temporary directory, gives it input as a person
// would (typing, the bars' buttons, the mouse over the main window) and reads
// what it drew, invalidated and opened.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sorahiki/codepage.h>
#include "res/resource.h"
#include "screen/ScreenLayout.h"
#include "tests/support/AppHarness.h"

namespace screentest {

namespace fs = std::filesystem;
namespace headless = sorahiki::headless;
namespace layout = screen_layout;

using headless::Draw;
using headless::DrawCall;

inline bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The file system holds names in UTF-8; the program sees them as CP932.
inline fs::path OnDisk(const std::string& pathCp932) {
    std::string utf8;
    Cp932ToUtf8(pathCp932, utf8);
    return fs::path(utf8);
}

// Writes a file under a CP932 name with CP932 text.
inline void WriteFile(const std::string& relPath, const std::string& bytes) {
    const fs::path path = OnDisk(relPath);
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// Hit file i of a folder of hits for "料理": title "題名<i>", path
// DATA/h<i>.txt, listed in the order of i.
inline std::string HitTitle(int i) {
    char sz[32];
    std::snprintf(sz, sizeof sz, "題名%04d", i);
    return sz;
}
inline std::string HitPath(int i) {
    char sz[32];
    std::snprintf(sz, sizeof sz, "DATA/h%04d.txt", i);
    return sz;
}
inline std::string HitContent(int i) {
    char sz[32];
    std::snprintf(sz, sizeof sz, "料理の本文%04d", i);
    return sz;
}

class SearchScreenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char szTemplate[] = "/tmp/sorahiki-screen-XXXXXX";
        ASSERT_NE(mkdtemp(szTemplate), nullptr);
        m_dir = szTemplate;
        m_oldDir = fs::current_path();
        fs::current_path(m_dir);
        fs::create_directory("DATA");
        // A file that no query of these tests finds.
        WriteFile("DATA/zz_other.txt", "別の話\n関係のない文\n");
        apptest::ResetProgram();
        ASSERT_TRUE(apptest::StartUp());
        Settle();
    }

    void TearDown() override {
        apptest::ResetProgram();
        fs::current_path(m_oldDir);
        fs::remove_all(m_dir);
    }

    CSearchEdit& Screen() { return g_app.m_searchEdit; }
    CSearchEngin& Engine() { return g_app.m_searchEdit.m_engine; }
    HWND Main() { return g_app.m_mainWindow.m_hWnd; }
    HWND Edit() { return GetDlgItem(Screen().m_hSearchBar, IDC_SEARCH_EDIT); }
    std::string EditText() {
        char sz[400] = "";
        GetWindowTextA(Edit(), sz, sizeof sz);
        return sz;
    }

    // Runs the frame loop until no search runs and no message (paints
    // included) is left.
    void Settle() {
        MSG msg;
        for (int i = 0; i < 5000; ++i) {
            apptest::RunTurns(1);
            if (!Screen().m_run.Running() && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
                return;
            }
        }
        FAIL() << "the program never became idle";
    }

    void MakeHits(int nHits) {
        for (int i = 0; i < nHits; ++i) {
            WriteFile(HitPath(i), HitTitle(i) + "\n" + HitContent(i) + "\n");
        }
    }

    void Submit(const std::string& text) {
        headless::TypeText(Edit(), text);
        headless::PressButton(Screen().m_hSearchBar, IDC_SEARCH_BUTTON);
        Settle();
    }
    void PressHistory(int id) {
        headless::PressButton(Screen().m_hHistoryBar, id);
        Settle();
    }
    void MoveTo(int x, int y) {
        headless::MouseMove(x, y);
        Settle();
    }
    void Click(int x, int y) {
        headless::LeftDown(x, y);
        headless::LeftUp(x, y);
        Settle();
    }
    // Clicks page cells until page nPage is shown.
    void GoToPage(int nPage) {
        while (Engine().m_nPage < nPage) {
            const int nCell = std::min(nPage - Engine().m_nPage, layout::kPageCells - 1);
            const RECT cell = layout::PageCellRect(nCell);
            Click(cell.left + 5, cell.top + 5);
        }
    }

    // Repaints the whole client area, as an uncovered window would be.
    std::vector<DrawCall> PaintNow() {
        InvalidateRect(Main(), nullptr, TRUE);
        Settle();
        return LastPaint();
    }

    // The calls of the main window's last paint, BeginPaint to EndPaint.
    std::vector<DrawCall> LastPaint() {
        const auto& calls = headless::DrawCalls();
        std::vector<DrawCall> paint;
        for (const DrawCall& call : calls) {
            if (call.hwnd != Main()) continue;
            if (call.call == Draw::BeginPaint) paint.clear();
            paint.push_back(call);
        }
        return paint;
    }

    int Invalidations(const RECT& rect) {
        int n = 0;
        for (const auto& inv : headless::Invalidations()) {
            n += inv.hwnd == Main() && inv.rect && SameRect(*inv.rect, rect) && inv.erase;
        }
        return n;
    }
    int BandInvalidations() { return Invalidations(layout::kResultsBand); }
    int CountInvalidations() { return Invalidations(layout::kHitCountBox); }

    fs::path m_dir;
    fs::path m_oldDir;
};

inline std::vector<DrawCall> Only(const std::vector<DrawCall>& calls, Draw kind) {
    std::vector<DrawCall> out;
    for (const DrawCall& call : calls) {
        if (call.call == kind) out.push_back(call);
    }
    return out;
}

}  // namespace screentest
