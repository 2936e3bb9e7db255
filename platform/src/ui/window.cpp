// Creating a window, with the messages Windows sends inside the call, and
// destroying it with its children.
#include <algorithm>

#include "platform/src/ui/state.h"

namespace sorahiki::ui {
namespace {

// Where CW_USEDEFAULT places and sizes a top-level window.
constexpr int kDefaultX = 26, kDefaultY = 26, kDefaultWidth = 960, kDefaultHeight = 720;
constexpr int kScreenWidth = 1280, kScreenHeight = 1024;

void SendDestroyMessages(HWND hwnd) {
    Window* w = FindWindowObject(hwnd);
    if (w == nullptr) return;
    w->destroying = true;
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    w = FindWindowObject(hwnd);
    if (w == nullptr) return;
    for (HWND child : std::vector<HWND>(w->children)) SendDestroyMessages(child);
}

void FreeWindowTree(HWND hwnd) {
    Window* w = FindWindowObject(hwnd);
    if (w == nullptr) return;
    for (HWND child : std::vector<HWND>(w->children)) FreeWindowTree(child);
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    w = FindWindowObject(hwnd);
    if (w == nullptr) return;
    if (w->announced) CurrentDriverRef().WindowDestroyed(hwnd);
    if (Window* parent = FindWindowObject(w->parent)) std::erase(parent->children, hwnd);
    DestroyImage(*w);
    PurgeMessages(hwnd);
    RemoveWindow(hwnd);
}

void TakeClass(Window& w, const WindowClass& cls, HINSTANCE instance) {
    w.class_name = cls.name;
    w.kind = cls.kind;
    w.proc = cls.wc.lpfnWndProc;
    w.class_style = cls.wc.style;
    w.background = cls.wc.hbrBackground;
    w.instance = instance;
}

// A child's menu argument is its id.
void Adopt(Window& w, HWND parent, HMENU id) {
    w.parent = parent;
    w.id = static_cast<int>(reinterpret_cast<INT_PTR>(id));
    FindWindowObject(parent)->children.push_back(w.handle);
}

// A top-level window always clips its siblings, and a caption brings the
// raised window edge.
void MakeTopLevel(Window& w, HMENU menu) {
    w.style |= WS_CLIPSIBLINGS;
    if ((w.style & WS_CAPTION) == WS_CAPTION) w.ex_style |= WS_EX_WINDOWEDGE;
    w.menu = menu;
}

// The outer rectangle; CW_USEDEFAULT is 0 for a child, a cascade position
// and a default size for a top-level window.
void Place(Window& w, int x, int y, int cx, int cy) {
    bool top_level = w.TopLevel();
    if (x == CW_USEDEFAULT) {
        x = top_level ? kDefaultX : 0;
        y = top_level ? kDefaultY : 0;
    }
    if (cx == CW_USEDEFAULT) {
        cx = top_level ? kDefaultWidth : 0;
        cy = top_level ? kDefaultHeight : 0;
    }
    w.rect = RECT{x, y, x + cx, y + cy};
}

// WM_GETMINMAXINFO (top-level only), WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE,
// and for a child WM_SIZE and WM_MOVE. False when the window refused or
// was destroyed on the way; it is then gone.
bool SendCreationMessages(HWND hwnd, CREATESTRUCTA& cs) {
    LPARAM cs_param = reinterpret_cast<LPARAM>(&cs);
    bool child = (cs.style & WS_CHILD) != 0;
    if (!child) {
        MINMAXINFO info{{0, 0},
                        {kScreenWidth, kScreenHeight},
                        {0, 0},
                        {112, 27},
                        {kScreenWidth + 12, kScreenHeight + 12}};
        SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    }
    if (!FindWindowObject(hwnd) || !SendMessageA(hwnd, WM_NCCREATE, 0, cs_param)) {
        FreeWindowTree(hwnd);
        return false;
    }
    Window* w = FindWindowObject(hwnd);
    if (w == nullptr) return false;
    RECT client = w->rect;
    SendMessageA(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
    if ((w = FindWindowObject(hwnd)) == nullptr) return false;
    w->client = RECT{client.left - w->rect.left, client.top - w->rect.top,
                     client.right - w->rect.left, client.bottom - w->rect.top};
    if (SendMessageA(hwnd, WM_CREATE, 0, cs_param) == -1) {
        DestroyWindow(hwnd);
        return false;
    }
    if ((w = FindWindowObject(hwnd)) == nullptr) return false;
    if (child) {
        SendMessageA(hwnd, WM_SIZE, 0, MAKELPARAM(w->ClientWidth(), w->ClientHeight()));
        SendMessageA(hwnd, WM_MOVE, 0,
                     MAKELPARAM(w->rect.left + w->client.left, w->rect.top + w->client.top));
    }
    return FindWindowObject(hwnd) != nullptr;
}

}  // namespace

HWND& FocusSlot() {
    static HWND focus = nullptr;
    return focus;
}

void MoveFocus(HWND to) {
    HWND& focus = FocusSlot();
    HWND old = FindWindowObject(focus) ? focus : nullptr;
    if (old == to) return;
    focus = to;
    if (old) SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(to), 0);
    if (to) SendMessageA(to, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

void NotifyDriverCreated(Window& w) {
    w.announced = true;
    if (w.TopLevel()) {
        EnsureImage(w);
        RECT client{w.rect.left + w.client.left, w.rect.top + w.client.top,
                    w.rect.left + w.client.right, w.rect.top + w.client.bottom};
        CurrentDriverRef().TopLevelCreated(w.handle, Utf8FromCp932(w.text), w.menu, w.rect, client);
        const WindowClass* cls = FindClass(w.class_name.c_str());
        const auto* icon = cls ? IconFileOf(cls->wc.hIcon) : nullptr;
        if (icon) CurrentDriverRef().TopLevelIcon(w.handle, *icon);
    } else {
        CurrentDriverRef().ChildCreated(w.handle, w.parent, w.kind, w.rect, Utf8FromCp932(w.text),
                                        w.Visible());
    }
}

HWND CreateWindowObject(DWORD ex_style, const char* class_name, const char* title, DWORD style,
                        int x, int y, int cx, int cy, HWND parent, HMENU menu, HINSTANCE instance,
                        void* param) {
    const WindowClass* cls = class_name ? FindClass(class_name) : nullptr;
    bool child = (style & WS_CHILD) != 0;
    if (cls == nullptr || (child && FindWindowObject(parent) == nullptr)) return nullptr;
    HWND hwnd = NewWindowHandle();
    Window& w = *AddWindow(hwnd);
    TakeClass(w, *cls, instance);
    w.style = style & ~WS_VISIBLE;
    w.ex_style = ex_style;
    if (child) {
        Adopt(w, parent, menu);
    } else {
        MakeTopLevel(w, menu);
    }
    Place(w, x, y, cx, cy);
    CREATESTRUCTA cs{param, instance,   menu,    parent, cy, cx, y, x, static_cast<LONG>(style),
                     title, class_name, ex_style};
    if (!SendCreationMessages(hwnd, cs)) return nullptr;
    NotifyDriverCreated(*FindWindowObject(hwnd));
    if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
    return FindWindowObject(hwnd) ? hwnd : nullptr;
}

}  // namespace sorahiki::ui

using namespace sorahiki::ui;

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

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
    Window* w = FindWindowObject(hWnd);
    if (w == nullptr) return nullptr;
    if (uCmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
    if (uCmd != GW_HWNDNEXT) {
        ReportUnsupported("GetWindow", "uCmd " + std::to_string(uCmd));
        return nullptr;
    }
    Window* parent = FindWindowObject(w->parent);
    if (parent == nullptr) return nullptr;
    auto& siblings = parent->children;
    auto it = std::find(siblings.begin(), siblings.end(), hWnd);
    return it == siblings.end() || it + 1 == siblings.end() ? nullptr : *(it + 1);
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
            ReportUnsupported("GetWindowLongA", "index " + std::to_string(nIndex));
            return 0;
    }
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    Window* w = FindWindowObject(hWnd);
    if (w == nullptr) return 0;
    if (nIndex != GWLP_WNDPROC) {
        ReportUnsupported("SetWindowLongPtrA", "index " + std::to_string(nIndex));
        return 0;
    }
    WNDPROC old = w->proc;
    w->proc = reinterpret_cast<WNDPROC>(dwNewLong);
    return reinterpret_cast<LONG_PTR>(old);
}

LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam,
                               LPARAM lParam) {
    return lpPrevWndFunc ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}

HWND WINAPI SetFocus(HWND hWnd) {
    if (hWnd != nullptr && FindWindowObject(hWnd) == nullptr) return nullptr;
    HWND old = GetFocus();
    MoveFocus(hWnd);
    if (hWnd != nullptr) CurrentDriverRef().FocusMoved(hWnd);
    return old;
}

HWND WINAPI GetFocus() {
    HWND focus = FocusSlot();
    return FindWindowObject(focus) ? focus : nullptr;
}
