// The screen font of the Windows build and the dots per inch of a window.
//
// The font is chosen by name from a fixed list, in order, among the fonts
// that hold the Japanese character set, so that the same face is drawn on
// every system and from the very first run: asked for by a family name that
// the system does not know ("System" on an English Windows), a system picks
// one by its own rules, which under Wine depend on what the prefix has seen
// before (a proportional face on a prefix's first run, whose excerpts run
// past the window's edge).
#define SORAHIKI_LISTED_FILES_IMPLEMENTATION
#include "platform/src/win32/screen_font_win32.h"

#include <array>
#include <string>

namespace sorahiki::win32 {
namespace {

constexpr int kBaseDpi = 96;
constexpr int kBaseHeight = 18;
constexpr int kBaseWidth = 8;

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

// The first face of the list that the system has; empty when it has none,
// and the system then picks by the character set and the pitch alone.
std::wstring ChosenFace() {
    std::array<bool, kFaces.size()> found{};
    HDC screen = GetDC(nullptr);
    LOGFONTW wanted{};
    wanted.lfCharSet = SHIFTJIS_CHARSET;
    EnumFontFamiliesExW(screen, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    for (size_t i = 0; i < kFaces.size(); ++i) {
        if (found[i]) return kFaces[i];
    }
    return {};
}

HFONT MakeFont(int dpi) {
    static const std::wstring face = ChosenFace();
    LOGFONTW font{};
    font.lfHeight = MulDiv(kBaseHeight, dpi, kBaseDpi);
    font.lfWidth = MulDiv(kBaseWidth, dpi, kBaseDpi);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

// The window of a context, or the screen's scale for a context of none.
int DpiOf(HDC hdc) {
    HWND window = WindowFromDC(hdc);
    if (window != nullptr) return static_cast<int>(LoadedGetDpiForWindow(window));
    const int dpi = GetDeviceCaps(hdc, LOGPIXELSY);
    return dpi > 0 ? dpi : kBaseDpi;
}

}  // namespace

HFONT ScreenFontFor(HDC hdc) {
    // A few scales at most in a run: one per monitor the window visits.
    struct Made {
        int dpi;
        HFONT font;
    };
    // Painting happens on the window's thread alone.
    static std::array<Made, 8> made{};
    const int dpi = DpiOf(hdc);
    for (Made& entry : made) {
        if (entry.font != nullptr && entry.dpi == dpi) return entry.font;
    }
    HFONT font = MakeFont(dpi);
    for (Made& entry : made) {
        if (entry.font == nullptr) {
            entry = Made{dpi, font};
            return font;
        }
    }
    // Past eight scales the oldest is reused: fonts stay valid for the process.
    made[0] = Made{dpi, font};
    return font;
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
