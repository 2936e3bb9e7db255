// Which row of the page shown lies under a point: the one hit-test that the
// pointer tracking and the frame step's check of clicks share.
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
