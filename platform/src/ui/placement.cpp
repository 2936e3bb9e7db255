// Where windows are and whether they show: the non-client frame, showing,
// moving and sizing, and the window and client rectangles.
#include <algorithm>

#include "platform/src/ui/state.h"

namespace sorahiki::ui {
namespace {

// Non-client metrics of this layer at 96 dots per inch: a dialog frame of 3
// pixels, a caption of 23, a menu bar of 20 and a client edge of 2. A window
// with WS_CAPTION, a menu and WS_EX_CLIENTEDGE is thus 10 pixels wider and 53
// taller than its client area. They grow with the display's text scale, as
// the menu bar's text does and as Windows grows them.
constexpr int kCaption = 23;
constexpr int kMenuBar = 20;
constexpr int kClientEdge = 2;
constexpr int kDialogFrame = 3;
constexpr int kThickFrame = 4;

void NotifyMoved(Window& w) {
    if (!w.announced) return;
    if (w.TopLevel()) {
        RECT client{w.rect.left + w.client.left, w.rect.top + w.client.top,
                    w.rect.left + w.client.right, w.rect.top + w.client.bottom};
        CurrentDriverRef().TopLevelMoved(w.handle, w.rect, client);
    } else {
        CurrentDriverRef().ChildMoved(w.handle, w.rect);
    }
}

}  // namespace

RECT NonClientInsets(DWORD style, DWORD ex_style, bool menu) {
    int frame = 0;
    if (style & WS_THICKFRAME) {
        frame = kThickFrame;
    } else if ((style & WS_DLGFRAME) || (ex_style & WS_EX_DLGMODALFRAME)) {
        frame = kDialogFrame;
    } else if (style & WS_BORDER) {
        frame = 1;
    }
    int edge = (ex_style & WS_EX_CLIENTEDGE) ? kClientEdge : 0;
    int caption = (style & WS_CAPTION) == WS_CAPTION ? kCaption : 0;
    int bar = menu && !(style & WS_CHILD) ? kMenuBar : 0;
    auto scaled = [](int pixels) { return pixels * ScreenDpi() / USER_DEFAULT_SCREEN_DPI; };
    const int side = scaled(frame + edge);
    return RECT{side, scaled(frame + caption + bar + edge), side, side};
}

POINT ClientOriginOnScreen(const Window& w) {
    POINT origin{w.rect.left + w.client.left, w.rect.top + w.client.top};
    if (const Window* parent = FindWindowObject(w.parent); parent && !w.TopLevel()) {
        POINT base = ClientOriginOnScreen(*parent);
        origin.x += base.x;
        origin.y += base.y;
    }
    return origin;
}

}  // namespace sorahiki::ui

using namespace sorahiki::ui;

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    Window* w = FindWindowObject(hWnd);
    if (w == nullptr) return FALSE;
    bool was = w->Visible();
    bool show = nCmdShow != SW_HIDE;
    bool minimize =
        nCmdShow == SW_SHOWMINIMIZED || nCmdShow == SW_MINIMIZE || nCmdShow == SW_SHOWMINNOACTIVE;
    if (show == was && !minimize) return was;
    if (show != was) SendMessageA(hWnd, WM_SHOWWINDOW, show, 0);
    if ((w = FindWindowObject(hWnd)) == nullptr) return was;
    w->style = show ? (w->style | WS_VISIBLE) : (w->style & ~WS_VISIBLE);
    if (minimize) w->style |= WS_MINIMIZE;
    if (show && (nCmdShow == SW_RESTORE || nCmdShow == SW_SHOWNORMAL)) w->style &= ~WS_MINIMIZE;
    WINDOWPOS pos{
        hWnd,
        nullptr,
        0,
        0,
        0,
        0,
        static_cast<UINT>(SWP_NOMOVE | SWP_NOSIZE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW))};
    SendMessageA(hWnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    SendMessageA(hWnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    if ((w = FindWindowObject(hWnd)) == nullptr) return was;
    if (w->announced) {
        if (w->TopLevel()) {
            CurrentDriverRef().TopLevelShown(hWnd, show, nCmdShow);
        } else {
            CurrentDriverRef().ChildShown(hWnd, show);
        }
    }
    if (show && !was) InvalidateWhole(*w, true);
    return was;
}

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy,
                         UINT uFlags) {
    Window* w = FindWindowObject(hWnd);
    if (w == nullptr) return FALSE;
    if (!(uFlags & SWP_NOZORDER) && hWndInsertAfter != HWND_TOP) {
        ReportUnsupported("SetWindowPos", "a z-order other than HWND_TOP");
    }
    if (uFlags & SWP_NOMOVE) {
        X = w->rect.left;
        Y = w->rect.top;
    }
    if (uFlags & SWP_NOSIZE) {
        cx = w->rect.right - w->rect.left;
        cy = w->rect.bottom - w->rect.top;
    }
    WINDOWPOS pos{hWnd, hWndInsertAfter, X, Y, std::max(cx, 0), std::max(cy, 0), uFlags};
    SendMessageA(hWnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if ((w = FindWindowObject(hWnd)) == nullptr) return FALSE;
    RECT old_client{w->rect.left + w->client.left, w->rect.top + w->client.top,
                    w->rect.left + w->client.right, w->rect.top + w->client.bottom};
    NCCALCSIZE_PARAMS calc{
        {RECT{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy}, w->rect, old_client}, &pos};
    SendMessageA(hWnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&calc));
    if ((w = FindWindowObject(hWnd)) == nullptr) return FALSE;
    int old_width = w->ClientWidth(), old_height = w->ClientHeight();
    w->rect = RECT{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
    w->client = RECT{calc.rgrc[0].left - pos.x, calc.rgrc[0].top - pos.y,
                     calc.rgrc[0].right - pos.x, calc.rgrc[0].bottom - pos.y};
    bool resized = old_width != w->ClientWidth() || old_height != w->ClientHeight();
    if (resized && w->TopLevel() && w->announced) EnsureImage(*w);
    NotifyMoved(*w);
    SendMessageA(hWnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    if ((w = FindWindowObject(hWnd)) == nullptr) return FALSE;
    if (resized && w->Visible() && !(uFlags & SWP_NOREDRAW)) InvalidateWhole(*w, true);
    if (uFlags & SWP_SHOWWINDOW) ShowWindow(hWnd, SW_SHOWNA);
    if (uFlags & SWP_HIDEWINDOW) ShowWindow(hWnd, SW_HIDE);
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW);
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight, flags);
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    Window* w = FindWindowObject(hWnd);
    if (w == nullptr || lpRect == nullptr) return FALSE;
    *lpRect = RECT{0, 0, w->ClientWidth(), w->ClientHeight()};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    Window* w = FindWindowObject(hWnd);
    if (w == nullptr || lpRect == nullptr) return FALSE;
    *lpRect = w->rect;
    if (Window* parent = FindWindowObject(w->parent); parent && !w->TopLevel()) {
        POINT base = ClientOriginOnScreen(*parent);
        OffsetRectBy(*lpRect, base.x, base.y);
    }
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, POINT* lpPoint) {
    Window* w = FindWindowObject(hWnd);
    if (w == nullptr || lpPoint == nullptr) return FALSE;
    const POINT origin = ClientOriginOnScreen(*w);
    lpPoint->x += origin.x;
    lpPoint->y += origin.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, POINT* lpPoint) {
    Window* w = FindWindowObject(hWnd);
    if (w == nullptr || lpPoint == nullptr) return FALSE;
    const POINT origin = ClientOriginOnScreen(*w);
    lpPoint->x -= origin.x;
    lpPoint->y -= origin.y;
    return TRUE;
}

int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, POINT* lpPoints, UINT cPoints) {
    auto origin = [](HWND hwnd, bool* known) {
        if (hwnd == nullptr) return POINT{0, 0};
        const Window* w = FindWindowObject(hwnd);
        if (w == nullptr) *known = false;
        return w ? ClientOriginOnScreen(*w) : POINT{0, 0};
    };
    bool known = true;
    const POINT from = origin(hWndFrom, &known);
    const POINT to = origin(hWndTo, &known);
    if (!known) return 0;
    const int dx = from.x - to.x, dy = from.y - to.y;
    for (UINT i = 0; lpPoints != nullptr && i < cPoints; ++i) {
        lpPoints[i].x += dx;
        lpPoints[i].y += dy;
    }
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

HWND WINAPI SetActiveWindow(HWND hWnd) {
    static HWND active = nullptr;
    Window* w = FindWindowObject(hWnd);
    while (w != nullptr && !w->TopLevel()) w = FindWindowObject(w->parent);
    if (w == nullptr) return nullptr;
    HWND previous = FindWindowObject(active) ? active : nullptr;
    active = w->handle;
    return previous;
}

// A monitor's handle is its number plus one.
HMONITOR WINAPI MonitorFromWindow(HWND hwnd, DWORD) {
    RECT outer{};
    GetWindowRect(hwnd, &outer);
    const int monitor = CurrentDriverRef().MonitorNearest(outer);
    return reinterpret_cast<HMONITOR>(static_cast<std::uintptr_t>(monitor) + 1);
}

BOOL WINAPI GetMonitorInfoA(HMONITOR hMonitor, LPMONITORINFO lpmi) {
    if (lpmi == nullptr || lpmi->cbSize < sizeof(MONITORINFO) || hMonitor == nullptr) return FALSE;
    const int monitor = static_cast<int>(reinterpret_cast<std::uintptr_t>(hMonitor)) - 1;
    if (!CurrentDriverRef().MonitorAreas(monitor, &lpmi->rcMonitor, &lpmi->rcWork)) return FALSE;
    lpmi->dwFlags = monitor == 0 ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}
