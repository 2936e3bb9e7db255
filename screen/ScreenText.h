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

// A row's path as it is drawn: a control character of a name (a Linux name
// may hold a line feed) shows as "?", as a terminal's listing shows it, never
// as a line break. A byte below 0x20, or 0x7F, is never half of a
// double-byte character.
inline bool IsControlCharacter(unsigned int c) {
    return c < 0x20 || c == 0x7F;
}
template <size_t N>
const char* ShownPath(const char* pszPath, char (&szShown)[N]) {
    size_t i = 0;
    for (; pszPath[i] != '\0' && i + 1 < N; ++i) {
        const bool bControl = IsControlCharacter(static_cast<unsigned char>(pszPath[i]));
        szShown[i] = bControl ? '?' : pszPath[i];
    }
    szShown[i] = '\0';
    return szShown;
}
