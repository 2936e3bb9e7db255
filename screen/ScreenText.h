// Drawing Shift-JIS text with its whole byte count, which TextOutA needs.
#pragma once

#include <cstring>

#include <windows.h>

// A fixed text: the literal's full length.
template <int N>
void DrawFixedText(HDC hDC, int nX, int nY, const char (&szText)[N]) {
    TextOutA(hDC, nX, nY, szText, N - 1);
}

// A text of a row or a formatted number: its length up to the NUL.
inline void DrawString(HDC hDC, int nX, int nY, const char* pszText) {
    TextOutA(hDC, nX, nY, pszText, static_cast<int>(std::strlen(pszText)));
}
