// Window texts and the default processing of messages.
#include <algorithm>

#include "platform/src/ui/state.h"

using namespace sorahiki::ui;

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    if (lpString == nullptr || nMaxCount <= 0) return 0;
    lpString[0] = '\0';
    if (FindWindowObject(hWnd) == nullptr) return 0;
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                         reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextLengthA(HWND hWnd) {
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    if (FindWindowObject(hWnd) == nullptr) return FALSE;
    return static_cast<BOOL>(SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)));
}

// ---- Default processing ------------------------------------------------------
LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowObject(hWnd);
    if (w == nullptr) return 0;
    switch (Msg) {
        case WM_NCCREATE: {
            auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) w->text = cs->lpszName;
            return TRUE;
        }
        case WM_NCCALCSIZE: {
            RECT* r = reinterpret_cast<RECT*>(lParam);  // also rgrc[0] of NCCALCSIZE_PARAMS
            RECT inset = NonClientInsets(w->style, w->ex_style, w->menu != nullptr);
            r->left += inset.left;
            r->top += inset.top;
            r->right = std::max(r->left, r->right - inset.right);
            r->bottom = std::max(r->top, r->bottom - inset.bottom);
            return 0;
        }
        case WM_WINDOWPOSCHANGED:
            SendMessageA(hWnd, WM_MOVE, 0,
                         MAKELPARAM(w->rect.left + w->client.left, w->rect.top + w->client.top));
            if (FindWindowObject(hWnd)) {
                SendMessageA(hWnd, WM_SIZE, 0, MAKELPARAM(w->ClientWidth(), w->ClientHeight()));
            }
            return 0;
        case WM_SETTEXT:
            w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
            // A top-level window's text is its caption.
            if (w->announced) CurrentDriverRef().ChildTextChanged(hWnd, Utf8FromCp932(w->text));
            return TRUE;
        case WM_GETTEXT:
            return CopyTextOut(w->text, reinterpret_cast<char*>(lParam), static_cast<int>(wParam));
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(w->text.size());
        case WM_CLOSE:
            DestroyWindow(hWnd);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hWnd, &ps);
            EndPaint(hWnd, &ps);
            return 0;
        }
        case WM_RBUTTONUP: {
            // The context menu is asked for where the button came up, in
            // screen pixels.
            POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            ClientToScreen(hWnd, &at);
            SendMessageA(hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hWnd),
                         MAKELPARAM(at.x, at.y));
            return 0;
        }
        case WM_ERASEBKGND: {
            if (w->background == nullptr) return 0;
            RECT all{0, 0, w->ClientWidth(), w->ClientHeight()};
            FillUnlogged(reinterpret_cast<HDC>(wParam), all, w->background);
            return 1;
        }
        default:
            return 0;
    }
}
