// The polled pointer step: hit-tests the last pointer position against the
// rows, the page cells and the two labels of the bottom strip, acts on a
// pending left click, and repaints the results band when the element under
// the pointer changes, so the highlight follows it.
#include "screen/KeyboardFocus.h"
#include "screen/PageLabels.h"
#include "screen/RowHitTest.h"
#include "screen/ScreenLayout.h"
#include "screen/ShellOpen.h"
#include "search/SearchEngin.h"
#include "window/Window.h"

namespace {

namespace layout = screen_layout;

constexpr int kNoHover = -1;
enum ArrowHover { kArrowNone = 0, kArrowPrev = 1, kArrowNext = 2 };

void InvalidateResults(HWND hWnd) {
    layout::InvalidateResultsBand(hWnd);
}

// Every change of a hover field repaints once; a resting pointer repaints
// nothing.
void SetHover(int& nHover, int nValue, HWND hWnd) {
    if (nHover == nValue) return;
    InvalidateResults(hWnd);
    nHover = nValue;
}

bool TakeClick() {
    if (g_bLeftClick != 1) return false;
    g_bLeftClick = 0;
    return true;
}

// A pointer that moves or clicks takes the row highlight back from the
// keyboard; until then the keyboard's selected row stays.
bool KeyboardKeepsRow(POINT pt, HWND hWnd) {
    const bool bPointerActed =
        pt.x != g_ptLastTracked.x || pt.y != g_ptLastTracked.y || g_bLeftClick == 1;
    NotePointerTracked(pt);
    if (bPointerActed && g_bKeyboardMovedLast) {
        GiveHighlightToPointer();
        InvalidateResults(hWnd);
    }
    return g_bKeyboardMovedLast != 0;
}

void TrackRows(CSearchEngin& engine, POINT pt, HWND hWnd) {
    const bool bKeyboardRow = KeyboardKeepsRow(pt, hWnd);
    const int r = PresentRowAt(engine, pt);
    // The second press of a double click has opened the file already. The
    // click is taken first: a file that will not open is told in a box,
    // which waits for its answer.
    if (r >= 0 && TakeClick() && g_bDoubleClick == 0) {
        OpenWithShell(hWnd, engine.m_items[r].szPath);
    }
    if (!bKeyboardRow) SetHover(engine.m_nHoverItem, r >= 0 ? r : kNoHover, hWnd);
}

// Cell j stands for page m_nPage + j; a click on cell 0 reloads the page shown.
void TrackPageCells(CSearchEngin& engine, POINT pt, HWND hWnd) {
    for (int j = 0; j < layout::kPageCells; ++j) {
        const RECT cell = layout::Scaled(layout::PageCellRect(j));
        if (!PtInRect(&cell, pt) || !IsPagePresent(engine, engine.m_nPage + j)) continue;
        if (TakeClick()) TurnToPage(engine, engine.m_nPage + j, hWnd);
        SetHover(engine.m_nHoverPage, j, hWnd);
        return;
    }
    SetHover(engine.m_nHoverPage, kNoHover, hWnd);
}

// Over a label that is not active, the hover and a pending click are left
// as they are.
void TrackLabels(CSearchEngin& engine, POINT pt, HWND hWnd) {
    const RECT prevLabel = layout::Scaled(layout::kPrevLabel);
    const RECT nextLabel = layout::Scaled(layout::kNextLabel);
    if (PtInRect(&prevLabel, pt)) {
        if (!IsPrevLabelActive(engine)) return;
        if (TakeClick()) TurnToPage(engine, engine.m_nPage - 1, hWnd);
        SetHover(engine.m_nHoverArrow, kArrowPrev, hWnd);
    } else if (PtInRect(&nextLabel, pt)) {
        if (!IsNextLabelActive(engine)) return;
        if (TakeClick()) TurnToPage(engine, engine.m_nPage + 1, hWnd);
        SetHover(engine.m_nHoverArrow, kArrowNext, hWnd);
    } else {
        SetHover(engine.m_nHoverArrow, kArrowNone, hWnd);
    }
}

}  // namespace

int CSearchEngin::m_sub_TrackPointer(HWND hWnd) {
    // One reading of the pointer for all the tests of this step.
    const POINT pt{g_nMouseX, g_nMouseY};
    TrackRows(*this, pt, hWnd);
    TrackPageCells(*this, pt, hWnd);
    TrackLabels(*this, pt, hWnd);
    return 0;
}
