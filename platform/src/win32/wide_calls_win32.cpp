// The window calls of the Windows build: each is the wide call, its text
// converted between the program's code page 932 and UTF-16, so that the
// program looks and reads the same whatever the system's code page. Names
// given as resource or atom numbers pass as they are.
#define SORAHIKI_LISTED_FILES_IMPLEMENTATION
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/src/win32/listed_files_win32.h"
#include "platform/src/win32/screen_font_win32.h"

namespace {

// A name, or a number in the low word of the pointer.
class WideName {
  public:
    explicit WideName(LPCSTR name) : m_number(name != nullptr && IS_INTRESOURCE(name)) {
        if (name != nullptr && !m_number) m_text = Wide(name);
        m_pointer = m_number          ? reinterpret_cast<LPCWSTR>(name)
                    : name == nullptr ? nullptr
                                      : m_text.c_str();
    }
    LPCWSTR Get() const { return m_pointer; }

  private:
    bool m_number;
    std::wstring m_text;
    LPCWSTR m_pointer;
};

// Copies code page 932 text into a buffer of `size` bytes, NUL-terminated,
// as the ANSI calls do: a double-byte character at the end may be cut in
// two. Returns the bytes copied.
int CopyOut(const std::string& text, LPSTR buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    size_t count = std::min(text.size(), static_cast<size_t>(size - 1));
    CopyMemory(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

std::string WindowText(HWND hWnd) {
    int length = GetWindowTextLengthW(hWnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hWnd, text.data(), length + 1)));
    return Narrow(text);
}

}  // namespace

ATOM WINAPI Cp932RegisterClassA(const WNDCLASSA* lpWndClass) {
    WideName className(lpWndClass->lpszClassName);
    WideName menuName(lpWndClass->lpszMenuName);
    WNDCLASSW wide{lpWndClass->style,      lpWndClass->lpfnWndProc,   lpWndClass->cbClsExtra,
                   lpWndClass->cbWndExtra, lpWndClass->hInstance,     lpWndClass->hIcon,
                   lpWndClass->hCursor,    lpWndClass->hbrBackground, menuName.Get(),
                   className.Get()};
    return RegisterClassW(&wide);
}

BOOL WINAPI Cp932UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance) {
    return UnregisterClassW(WideName(lpClassName).Get(), hInstance);
}

// The class's fields but its names, which keep the pointers given.
BOOL WINAPI Cp932GetClassInfoA(HINSTANCE hInstance, LPCSTR lpClassName, LPWNDCLASSA lpWndClass) {
    WNDCLASSW wide;
    if (!GetClassInfoW(hInstance, WideName(lpClassName).Get(), &wide)) return FALSE;
    *lpWndClass =
        WNDCLASSA{wide.style, wide.lpfnWndProc, wide.cbClsExtra,    wide.cbWndExtra, wide.hInstance,
                  wide.hIcon, wide.hCursor,     wide.hbrBackground, nullptr,         lpClassName};
    return TRUE;
}

int WINAPI Cp932GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount) {
    wchar_t name[256];
    int length = GetClassNameW(hWnd, name, 256);
    return CopyOut(Narrow(std::wstring_view(name, static_cast<size_t>(length))), lpClassName,
                   nMaxCount);
}

HWND WINAPI Cp932CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName,
                                 DWORD dwStyle, int X, int Y, int nWidth, int nHeight,
                                 HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                                 LPVOID lpParam) {
    return CreateWindowExW(dwExStyle, WideName(lpClassName).Get(), WideName(lpWindowName).Get(),
                           dwStyle, X, Y, nWidth, nHeight, hWndParent, hMenu, hInstance, lpParam);
}

// The templates hold their texts in UTF-16: a Unicode dialog takes them as
// they are, and its edit box is a Unicode window.
HWND WINAPI Cp932CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                                    DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    return CreateDialogParamW(hInstance, WideName(lpTemplateName).Get(), hWndParent, lpDialogFunc,
                              dwInitParam);
}

HMENU WINAPI Cp932LoadMenuA(HINSTANCE hInstance, LPCSTR lpMenuName) {
    return LoadMenuW(hInstance, WideName(lpMenuName).Get());
}

int WINAPI Cp932GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags) {
    int length = GetMenuStringW(hMenu, uIDItem, nullptr, 0, flags);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetMenuStringW(hMenu, uIDItem, text.data(), length + 1, flags)));
    std::string narrow = Narrow(text);
    if (lpString == nullptr || cchMax == 0) return static_cast<int>(narrow.size());
    return CopyOut(narrow, lpString, cchMax);
}

// A string item's text is converted; a separator's is no text.
BOOL WINAPI Cp932AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
    if (uFlags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW)) {
        return AppendMenuW(hMenu, uFlags, uIDNewItem, reinterpret_cast<LPCWSTR>(lpNewItem));
    }
    return AppendMenuW(hMenu, uFlags, uIDNewItem, WideName(lpNewItem).Get());
}

// Messages that carry text are converted; any other goes as it is.
LRESULT WINAPI Cp932SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
        case WM_SETTEXT:
            return Cp932SetWindowTextA(hWnd, reinterpret_cast<LPCSTR>(lParam));
        case WM_GETTEXT:
            return CopyOut(WindowText(hWnd), reinterpret_cast<LPSTR>(lParam),
                           static_cast<int>(wParam));
        case WM_GETTEXTLENGTH:
            return Cp932GetWindowTextLengthA(hWnd);
        default:
            return SendMessageW(hWnd, Msg, wParam, lParam);
    }
}

int WINAPI Cp932GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    return CopyOut(WindowText(hWnd), lpString, nMaxCount);
}

int WINAPI Cp932GetWindowTextLengthA(HWND hWnd) {
    return static_cast<int>(WindowText(hWnd).size());
}

BOOL WINAPI Cp932SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    return SetWindowTextW(hWnd, lpString == nullptr ? nullptr : Wide(lpString).c_str());
}

UINT WINAPI Cp932GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax) {
    return static_cast<UINT>(Cp932GetWindowTextA(GetDlgItem(hDlg, nIDDlgItem), lpString, cchMax));
}

BOOL WINAPI Cp932SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
    return Cp932SetWindowTextA(GetDlgItem(hDlg, nIDDlgItem), lpString);
}

int WINAPI Cp932MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    return MessageBoxW(hWnd, WideName(lpText).Get(), WideName(lpCaption).Get(), uType);
}

BOOL WINAPI Cp932TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
    const std::wstring text = Wide(std::string_view(lpString, c > 0 ? static_cast<size_t>(c) : 0));
    return TextOutW(hdc, x, y, text.c_str(), static_cast<int>(text.size()));
}

BOOL WINAPI Cp932GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
    const std::wstring text = Wide(std::string_view(lpString, c > 0 ? static_cast<size_t>(c) : 0));
    return GetTextExtentPoint32W(hdc, text.c_str(), static_cast<int>(text.size()), psizl);
}

// The face converted, and the program's fixed-pitch face made in the same
// face on every system (screen_font_win32.h).
HFONT WINAPI Cp932CreateFontIndirectA(const LOGFONTA* lplf) {
    if (lplf == nullptr) return nullptr;
    LOGFONTW wide{};
    CopyMemory(&wide, lplf, offsetof(LOGFONTA, lfFaceName));
    const std::wstring face = sorahiki::win32::FaceToMake(
        Wide(std::string_view(lplf->lfFaceName, strnlen(lplf->lfFaceName, LF_FACESIZE))));
    lstrcpynW(wide.lfFaceName, face.c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&wide);
}
