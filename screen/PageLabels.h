// When the 「前へ」 and 「次へ」 labels under the results, and each element of
// the page strip, are active: drawn, greyed under the pointer, followed on a
// click or a key, framed for the keyboard and read by a screen reader.
#pragma once

#include "screen/KeyboardFocus.h"
#include "screen/ScreenLayout.h"
#include "search/HitPresence.h"

inline bool IsPrevLabelActive(const CSearchEngin& engine) {
    return engine.m_nPage >= 1;
}

inline bool IsNextLabelActive(const CSearchEngin& engine) {
    return IsPagePresent(engine, engine.m_nPage + 1);
}

// The one page turn of the pointer, the keyboard and the page strip: the
// page's rows are loaded and the band painted again. Its callers turn only to
// a page that exists, and only to a page of a result handed over: the
// keyboard checks that itself, and a click made while a search runs is
// dropped before the pointer step sees it (see app/FrameLoop.cpp).
inline void TurnToPage(CSearchEngin& engine, int nPage, HWND hWnd) {
    engine.m_nPage = nPage;
    engine.m_sub_LoadPage();
    screen_layout::InvalidateResultsBand(hWnd);
}

// An element of the page strip, as the keyboard counts them: the 「前へ」
// label (kStripPrevLabel), page cells 0 to 9, the 「次へ」 label
// (kStripNextLabel).
inline bool IsStripElementActive(const CSearchEngin& engine, int nElement) {
    if (nElement == kStripPrevLabel) return IsPrevLabelActive(engine);
    if (nElement == kStripNextLabel) return IsNextLabelActive(engine);
    return IsPagePresent(engine, engine.m_nPage + nElement);
}
