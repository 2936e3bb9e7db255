// UTF-16 text, as screen readers and the system's wide calls take it, made
// from the program's code page 932 text: the one conversion of the screen.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

using WideText = std::basic_string<WCHAR>;

// Appends nBytes of Shift-JIS text as UTF-16.
inline void AppendCp932(WideText& out, const char* pszText, int nBytes) {
    constexpr UINT kCodePage = 932;
    if (nBytes <= 0) return;
    const int nWide = MultiByteToWideChar(kCodePage, 0, pszText, nBytes, nullptr, 0);
    if (nWide <= 0) return;
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(nWide));
    MultiByteToWideChar(kCodePage, 0, pszText, nBytes, &out[at], nWide);
}

inline void AppendCp932(WideText& out, const char* pszText) {
    AppendCp932(out, pszText, static_cast<int>(std::strlen(pszText)));
}

inline WideText FromCp932(const char* pszText) {
    WideText out;
    AppendCp932(out, pszText);
    return out;
}
