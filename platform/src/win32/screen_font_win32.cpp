// The face of the program's fixed-pitch font and the dots per inch of a
// window.
//
// The face is chosen by name from a fixed list, in order, among the fonts
// that hold the Japanese character set, so that the same face is drawn on
// every system and from the very first run: asked for by a family name that
// the system does not know, a system picks one by its own rules, which under
// Wine depend on what the prefix has seen before (a proportional face on a
// prefix's first run, whose excerpts run past the window's edge).
#define SORAHIKI_LISTED_FILES_IMPLEMENTATION
#include "platform/src/win32/screen_font_win32.h"

#include <algorithm>
#include <array>

namespace sorahiki::win32 {
namespace {

// Fixed-pitch Gothic faces with the Japanese characters, best first: a
// half-width character is exactly half a full-width one, as the system
// font of a Japanese Windows draws them.
constexpr std::array<const wchar_t*, 6> kFaces{
    L"ＭＳ ゴシック",         L"MS Gothic", L"IPAGothic", L"IPAゴシック",
    L"Noto Sans Mono CJK JP", L"VL Gothic"};

int CALLBACK NoteFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) {
    auto* faces = reinterpret_cast<std::array<bool, kFaces.size()>*>(found);
    for (size_t i = 0; i < kFaces.size(); ++i) {
        if (lstrcmpiW(font->lfFaceName, kFaces[i]) == 0) (*faces)[i] = true;
    }
    return 1;
}

// Which faces of the list the system has; looked at once per process.
const std::array<bool, kFaces.size()>& FacesFound() {
    static const std::array<bool, kFaces.size()> found = [] {
        std::array<bool, kFaces.size()> faces{};
        HDC screen = GetDC(nullptr);
        LOGFONTW wanted{};
        wanted.lfCharSet = SHIFTJIS_CHARSET;
        EnumFontFamiliesExW(screen, &wanted, NoteFace, reinterpret_cast<LPARAM>(&faces), 0);
        ReleaseDC(nullptr, screen);
        return faces;
    }();
    return found;
}

}  // namespace

std::wstring FaceToMake(const std::wstring& face) {
    const auto listed = std::find_if(kFaces.begin(), kFaces.end(), [&](const wchar_t* listedFace) {
        return lstrcmpiW(listedFace, face.c_str()) == 0;
    });
    if (listed == kFaces.end() || FacesFound()[listed - kFaces.begin()]) return face;
    for (size_t i = 0; i < kFaces.size(); ++i) {
        if (FacesFound()[i]) return kFaces[i];
    }
    return face;
}

}  // namespace sorahiki::win32

// GetDpiForWindow is a call of Windows 10 (1607) and later; older systems and
// Wine's older releases lack it, and there the screen's scale applies to
// every window, as the system-aware declaration of the manifest asks.
UINT WINAPI LoadedGetDpiForWindow(HWND hwnd) {
    using Call = UINT(WINAPI*)(HWND);
    static const Call call = [] {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        FARPROC found = user32 != nullptr ? GetProcAddress(user32, "GetDpiForWindow") : nullptr;
        return reinterpret_cast<Call>(reinterpret_cast<void*>(found));
    }();
    if (call != nullptr) {
        const UINT dpi = call(hwnd);
        if (dpi != 0) return dpi;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}
