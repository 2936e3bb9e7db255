// The window classes: the program's, registered with RegisterClassA, and the
// layer's own for dialogs and their controls. Names compare without case.
#include <strings.h>

#include <algorithm>

#include "platform/src/ui/state.h"

namespace sorahiki::ui {
namespace {

std::vector<WindowClass>& Classes() {
    static std::vector<WindowClass> classes;
    return classes;
}

ATOM g_nextAtom = 0xC000;

}  // namespace

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

void ForgetClasses() {
    std::erase_if(Classes(), [](const WindowClass& c) { return !c.system; });
}

void AddSystemClass(const char* name, WNDPROC proc, HBRUSH background, ChildKind kind) {
    WindowClass c{name, WNDCLASSA{}, ++g_nextAtom, true, kind};
    c.wc.lpfnWndProc = proc;
    c.wc.hbrBackground = background;
    Classes().push_back(c);
}

}  // namespace sorahiki::ui

using namespace sorahiki::ui;

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
