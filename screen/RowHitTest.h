// Which row of the page shown lies under a point, and which one is selected:
// the one hit-test that the pointer tracking and the frame step's check of
// clicks share, and the one test of the selection that the keyboard, the
// painter, the row menu and a screen reader's view share.
#pragma once

#include <windows.h>

#include "screen/ScreenLayout.h"
#include "search/SearchEngin.h"

// The present row whose rectangle, at the window's scale, holds `pt` (client
// pixels); -1 for none.
inline int PresentRowAt(const CSearchEngin& engine, POINT pt) {
    for (int r = 0; r < screen_layout::kRows; ++r) {
        const RECT row = screen_layout::Scaled(screen_layout::RowRect(r));
        if (PtInRect(&row, pt) && engine.m_items[r].bPresent == 1) return r;
    }
    return -1;
}

// The hit that row nRow of the page shown stands for (its number less one).
inline int HitOfRow(const CSearchEngin& engine, int nRow) {
    return engine.m_nPage * CSearchEngin::kRowsPerPage + nRow;
}

inline bool IsRowPresent(const CSearchEngin& engine, int nRow) {
    return nRow >= 0 && nRow < screen_layout::kRows && engine.m_items[nRow].bPresent == 1;
}

// The rows present on the page shown: they stand from the first on.
inline int PresentRowCount(const CSearchEngin& engine) {
    int nRows = 0;
    while (IsRowPresent(engine, nRows)) ++nRows;
    return nRows;
}

// The row the keyboard and the pointer select (the engine's hover row) when
// it is present, else -1.
inline int SelectedRow(const CSearchEngin& engine) {
    return IsRowPresent(engine, engine.m_nHoverItem) ? engine.m_nHoverItem : -1;
}
