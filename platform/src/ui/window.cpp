// Window classes, creation with the messages Windows sends inside the call,
// destruction, the window and client rectangles, and default processing.
#include <strings.h>

#include <algorithm>

#include "platform/src/ui/state.h"

namespace sorahiki::ui {
namespace {

// Non-client metrics of this layer: a dialog frame of 3 pixels, a caption of
// 23, a menu bar of 20 and a client edge of 2. A window with WS_CAPTION, a
// menu and WS_EX_CLIENTEDGE is thus 10 pixels wider and 53 taller than its
// client area.
constexpr int kCaption = 23;
constexpr int kMenuBar = 20;
constexpr int kClientEdge = 2;
constexpr int kDialogFrame = 3;
constexpr int kThickFrame = 4;
// Where CW_USEDEFAULT places and sizes a top-level window.
constexpr int kDefaultX = 26, kDefaultY = 26, kDefaultWidth = 960, kDefaultHeight = 720;
constexpr int kScreenWidth = 1280, kScreenHeight = 1024;

std::vector<WindowClass>& Classes() {
    static std::vector<WindowClass> classes;
    return classes;
}

ATOM g_nextAtom = 0xC000;

WindowClass* FindClass(const char* name) {
    RegisterSystemClasses();
    for (WindowClass& c : Classes()) {
        if (IS_INTRESOURCE(name) ? c.atom == reinterpret_cast<UINT_PTR>(name)
                                 : strcasecmp(c.name.c_str(), name) == 0) {
            return &c;
        }
    }
    return nullptr;
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
    return RECT{frame + edge, frame + caption + bar + edge, frame + edge, frame + edge};
}

namespace {

// Sends the message if the window still exists.
LRESULT Send(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return SendMessageA(hwnd, message, wparam, lparam);
}

void SendDestroyMessages(HWND hwnd) {
    Window* w = FindWindowObject(hwnd);
    if (w == nullptr) return;
    w->destroying = true;
    Send(hwnd, WM_DESTROY, 0, 0);
    w = FindWindowObject(hwnd);
    if (w == nullptr) return;
    for (HWND child : std::vector<HWND>(w->children)) SendDestroyMessages(child);
}

void FreeWindowTree(HWND hwnd) {
    Window* w = FindWindowObject(hwnd);
    if (w == nullptr) return;
    for (HWND child : std::vector<HWND>(w->children)) FreeWindowTree(child);
    Send(hwnd, WM_NCDESTROY, 0, 0);
    w = FindWindowObject(hwnd);
    if (w == nullptr) return;
    if (w->announced) CurrentDriverRef().WindowDestroyed(hwnd);
    if (Window* parent = FindWindowObject(w->parent)) std::erase(parent->children, hwnd);
    DestroyImage(*w);
    PurgeMessages(hwnd);
    RemoveWindow(hwnd);
}

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

void ForgetClasses() {
    std::erase_if(Classes(), [](const WindowClass& c) { return !c.system; });
}

void AddSystemClass(const char* name, WNDPROC proc, HBRUSH background, ChildKind kind) {
    WindowClass c{name, WNDCLASSA{}, ++g_nextAtom, true, kind};
    c.wc.lpfnWndProc = proc;
    c.wc.hbrBackground = background;
    Classes().push_back(c);
}

void MoveFocus(HWND to) {
    static HWND focus = nullptr;
    HWND old = FindWindowObject(focus) ? focus : nullptr;
    if (old == to) return;
    focus = to;
    if (old) Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(to), 0);
    if (to) Send(to, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
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

void NotifyDriverCreated(Window& w) {
    w.announced = true;
    if (w.TopLevel()) {
        EnsureImage(w);
        RECT client{w.rect.left + w.client.left, w.rect.top + w.client.top,
                    w.rect.left + w.client.right, w.rect.top + w.client.bottom};
        CurrentDriverRef().TopLevelCreated(w.handle, Utf8FromCp932(w.text), w.menu, w.rect, client);
    } else {
        CurrentDriverRef().ChildCreated(w.handle, w.parent, w.kind, w.rect, Utf8FromCp932(w.text),
                                        w.Visible());
    }
}

HWND CreateWindowObject(DWORD ex_style, const char* class_name, const char* title, DWORD style,
                        int x, int y, int cx, int cy, HWND parent, HMENU menu, HINSTANCE instance,
                        void* param) {
    const WindowClass* cls = class_name ? FindClass(class_name) : nullptr;
    Window* parent_window = FindWindowObject(parent);
    bool child = (style & WS_CHILD) != 0;
    if (cls == nullptr || (child && parent_window == nullptr)) return nullptr;

    HWND hwnd = NewWindowHandle();
    Window* w = AddWindow(hwnd);
    w->class_name = cls->name;
    w->kind = cls->kind;
    w->proc = cls->wc.lpfnWndProc;
    w->class_style = cls->wc.style;
    w->background = cls->wc.hbrBackground;
    w->instance = instance;
    w->style = style & ~WS_VISIBLE;
    w->ex_style = ex_style;
    if (child) {
        w->parent = parent;
        w->id = static_cast<int>(reinterpret_cast<INT_PTR>(menu));
        parent_window->children.push_back(hwnd);
        if (x == CW_USEDEFAULT) x = y = 0;
        if (cx == CW_USEDEFAULT) cx = cy = 0;
    } else {
        w->style |= WS_CLIPSIBLINGS;
        if ((style & WS_CAPTION) == WS_CAPTION) w->ex_style |= WS_EX_WINDOWEDGE;
        w->menu = menu;
        if (x == CW_USEDEFAULT) {
            x = kDefaultX;
            y = kDefaultY;
        }
        if (cx == CW_USEDEFAULT) {
            cx = kDefaultWidth;
            cy = kDefaultHeight;
        }
    }
    w->rect = RECT{x, y, x + cx, y + cy};

    CREATESTRUCTA cs{param, instance,   menu,    parent, cy, cx, y, x, static_cast<LONG>(style),
                     title, class_name, ex_style};
    LPARAM cs_param = reinterpret_cast<LPARAM>(&cs);
    if (!child) {
        MINMAXINFO info{{0, 0},
                        {kScreenWidth, kScreenHeight},
                        {0, 0},
                        {112, 27},
                        {kScreenWidth + 12, kScreenHeight + 12}};
        Send(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    }
    if (!FindWindowObject(hwnd) || !Send(hwnd, WM_NCCREATE, 0, cs_param)) {
        FreeWindowTree(hwnd);
        return nullptr;
    }
    w = FindWindowObject(hwnd);
    if (w == nullptr) return nullptr;
    RECT client = w->rect;
    Send(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
    if ((w = FindWindowObject(hwnd)) == nullptr) return nullptr;
    w->client = RECT{client.left - w->rect.left, client.top - w->rect.top,
                     client.right - w->rect.left, client.bottom - w->rect.top};
    if (Send(hwnd, WM_CREATE, 0, cs_param) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if ((w = FindWindowObject(hwnd)) == nullptr) return nullptr;
    if (child) {
        Send(hwnd, WM_SIZE, 0, MAKELPARAM(w->ClientWidth(), w->ClientHeight()));
        Send(hwnd, WM_MOVE, 0,
             MAKELPARAM(w->rect.left + w->client.left, w->rect.top + w->client.top));
    }
    if ((w = FindWindowObject(hwnd)) == nullptr) return nullptr;
    NotifyDriverCreated(*w);
    if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
    return FindWindowObject(hwnd) ? hwnd : nullptr;
}

}  // namespace sorahiki::ui

using namespace sorahiki::ui;

// ---- Classes ---------------------------------------------------------------
ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
    if (lpWndClass == nullptr || lpWndClass->lpszClassName == nullptr ||
        IS_INTRESOURCE(lpWndClass->lpszClassName) || lpWndClass->lpfnWndProc == nullptr) {
        return 0;
    }
    if (WindowClass* have = FindClass(lpWndClass->lpszClassName); have && !have->system) return 0;
    WindowClass c{lpWndClass->lpszClassName, *lpWndClass, ++g_nextAtom, false, ChildKind::Other};
    c.wc.lpszMenuName = nullptr;
    c.wc.lpszClassName = nullptr;
    Classes().push_back(c);
    return c.atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE) {
    WindowClass* c = lpClassName ? FindClass(lpClassName) : nullptr;
    if (c == nullptr || c->system) return FALSE;
    for (Window* w : AllWindows()) {
        if (strcasecmp(w->class_name.c_str(), c->name.c_str()) == 0) return FALSE;
    }
    std::erase_if(Classes(), [&](const WindowClass& have) { return &have == c; });
    return TRUE;
}

BOOL WINAPI GetClassInfoA(HINSTANCE, LPCSTR lpClassName, LPWNDCLASSA lpWndClass) {
    WindowClass* c = lpClassName ? FindClass(lpClassName) : nullptr;
    if (c == nullptr) return FALSE;
    if (lpWndClass != nullptr) {
        *lpWndClass = c->wc;
        lpWndClass->lpszClassName = lpClassName;
    }
    return c->atom;
}

int WINAPI GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount) {
    Window* w = FindWindowObject(hWnd);
    if (w == nullptr) return 0;
    return CopyTextOut(w->class_name, lpClassName, nMaxCount);
}

// ---- Creation and destruction ----------------------------------------------
HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                            int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                            HINSTANCE hInstance, LPVOID lpParam) {
    return CreateWindowObject(dwExStyle, lpClassName, lpWindowName, dwStyle, X, Y, nWidth, nHeight,
                              hWndParent, hMenu, hInstance, lpParam);
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    Window* w = FindWindowObject(hWnd);
    if (w == nullptr || w->destroying) return FALSE;
    if (w->Visible()) ShowWindow(hWnd, SW_HIDE);
    SendDestroyMessages(hWnd);
    FreeWindowTree(hWnd);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) {
    return FindWindowObject(hWnd) != nullptr;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    for (Window* w = FindWindowObject(hWnd); w != nullptr; w = FindWindowObject(w->parent)) {
        if (!w->Visible()) return FALSE;
        if (w->TopLevel()) return TRUE;
    }
    return FALSE;
}

HWND WINAPI GetParent(HWND hWnd) {
    Window* w = FindWindowObject(hWnd);
    return w ? w->parent : nullptr;
}

LONG WINAPI GetWindowLongA(HWND hWnd, int nIndex) {
    Window* w = FindWindowObject(hWnd);
    if (w == nullptr) return 0;
    switch (nIndex) {
        case GWL_STYLE:
            return static_cast<LONG>(w->style);
        case GWL_EXSTYLE:
            return static_cast<LONG>(w->ex_style);
        case GWL_ID:
            return w->id;
        default:
            return 0;
    }
}

// ---- Showing and placing ---------------------------------------------------
BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    Window* w = FindWindowObject(hWnd);
    if (w == nullptr) return FALSE;
    bool was = w->Visible();
    bool show = nCmdShow != SW_HIDE;
    bool minimize =
        nCmdShow == SW_SHOWMINIMIZED || nCmdShow == SW_MINIMIZE || nCmdShow == SW_SHOWMINNOACTIVE;
    if (show == was && !minimize) return was;
    if (show != was) Send(hWnd, WM_SHOWWINDOW, show, 0);
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
    Send(hWnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    Send(hWnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
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
    if (uFlags & SWP_NOMOVE) {
        X = w->rect.left;
        Y = w->rect.top;
    }
    if (uFlags & SWP_NOSIZE) {
        cx = w->rect.right - w->rect.left;
        cy = w->rect.bottom - w->rect.top;
    }
    WINDOWPOS pos{hWnd, hWndInsertAfter, X, Y, std::max(cx, 0), std::max(cy, 0), uFlags};
    Send(hWnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if ((w = FindWindowObject(hWnd)) == nullptr) return FALSE;
    RECT old_client{w->rect.left + w->client.left, w->rect.top + w->client.top,
                    w->rect.left + w->client.right, w->rect.top + w->client.bottom};
    NCCALCSIZE_PARAMS calc{
        {RECT{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy}, w->rect, old_client}, &pos};
    Send(hWnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&calc));
    if ((w = FindWindowObject(hWnd)) == nullptr) return FALSE;
    int old_width = w->ClientWidth(), old_height = w->ClientHeight();
    w->rect = RECT{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
    w->client = RECT{calc.rgrc[0].left - pos.x, calc.rgrc[0].top - pos.y,
                     calc.rgrc[0].right - pos.x, calc.rgrc[0].bottom - pos.y};
    bool resized = old_width != w->ClientWidth() || old_height != w->ClientHeight();
    if (resized && w->TopLevel() && w->announced) EnsureImage(*w);
    NotifyMoved(*w);
    Send(hWnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
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

HWND WINAPI SetActiveWindow(HWND hWnd) {
    static HWND active = nullptr;
    Window* w = FindWindowObject(hWnd);
    while (w != nullptr && !w->TopLevel()) w = FindWindowObject(w->parent);
    if (w == nullptr) return nullptr;
    HWND previous = FindWindowObject(active) ? active : nullptr;
    active = w->handle;
    return previous;
}

// ---- Texts -----------------------------------------------------------------
int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    if (lpString == nullptr || nMaxCount <= 0) return 0;
    lpString[0] = '\0';
    if (FindWindowObject(hWnd) == nullptr) return 0;
    return static_cast<int>(
        Send(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextLengthA(HWND hWnd) {
    return static_cast<int>(Send(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    if (FindWindowObject(hWnd) == nullptr) return FALSE;
    return static_cast<BOOL>(Send(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)));
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
            Send(hWnd, WM_MOVE, 0,
                 MAKELPARAM(w->rect.left + w->client.left, w->rect.top + w->client.top));
            if (FindWindowObject(hWnd)) {
                Send(hWnd, WM_SIZE, 0, MAKELPARAM(w->ClientWidth(), w->ClientHeight()));
            }
            return 0;
        case WM_SETTEXT:
            w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
            if (w->announced && !w->TopLevel()) {
                CurrentDriverRef().ChildTextChanged(hWnd, Utf8FromCp932(w->text));
            }
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
