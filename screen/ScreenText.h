// Drawing Shift-JIS text with its whole byte count, which TextOutA needs, at
// a position given in pixels at 100 % and drawn at the window's scale (the
// device context's own font is the window's size already).
#pragma once

#include <cstring>

#include <windows.h>

#include "screen/ScreenLayout.h"

// A fixed text: the literal's full length.
template <int N>
void DrawFixedText(HDC hDC, int nX, int nY, const char (&szText)[N]) {
    TextOutA(hDC, screen_layout::Scaled(nX), screen_layout::Scaled(nY), szText, N - 1);
}

// A text of a row or a formatted number: its length up to the NUL.
inline void DrawString(HDC hDC, int nX, int nY, const char* pszText) {
    TextOutA(hDC, screen_layout::Scaled(nX), screen_layout::Scaled(nY), pszText,
             static_cast<int>(std::strlen(pszText)));
}
