// What a screen reader on Windows reads of a running Sorahiki: finds its
// main window, asks it for its client object through Active Accessibility
// (WM_GETOBJECT, across processes as a reader does) and prints the object
// and each child, then the name of the search box, one line each in UTF-8:
//   self <TAB> role <TAB> state <TAB> name
//   child <TAB> id <TAB> role <TAB> state <TAB> name <TAB> description <TAB> x,y,w,h
//   focus <TAB> child id or - ; edit <TAB> name
// Line feeds in a text are printed as "\n". Exit status 1 when the window
// or its object cannot be had. With the arguments "focus N" it prints
// "ready", then "focus <TAB> name" for each focus event of a child of the
// client object and "name <TAB> name" for each change of a child's name, and
// ends after N focus events and one change of name (or 60 seconds).
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Utf8(const BSTR text) {
    if (text == nullptr) return std::string();
    const int length = static_cast<int>(SysStringLen(text));
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), bytes, nullptr, nullptr);
    std::string escaped;
    for (char c : out) {
        if (c == '\n') {
            escaped += "\\n";
        } else if (c != '\r') {
            escaped += c;
        }
    }
    return escaped;
}

VARIANT Child(LONG id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

// get_accName or get_accDescription of a child, in UTF-8.
using TextCall = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
std::string TextOf(IAccessible* object, TextCall call, LONG id) {
    BSTR text = nullptr;
    (object->*call)(Child(id), &text);
    std::string out = Utf8(text);
    SysFreeString(text);
    return out;
}

std::string Name(IAccessible* object, LONG id) {
    return TextOf(object, &IAccessible::get_accName, id);
}

long LongOf(HRESULT hr, VARIANT& value) {
    const long out = SUCCEEDED(hr) && value.vt == VT_I4 ? value.lVal : -1;
    VariantClear(&value);
    return out;
}

long Role(IAccessible* object, LONG id) {
    VARIANT value;
    VariantInit(&value);
    return LongOf(object->get_accRole(Child(id), &value), value);
}

long State(IAccessible* object, LONG id) {
    VARIANT value;
    VariantInit(&value);
    return LongOf(object->get_accState(Child(id), &value), value);
}

void PrintObject(IAccessible* object) {
    std::printf("self\t0x%lx\t0x%lx\t%s\n", Role(object, CHILDID_SELF), State(object, CHILDID_SELF),
                Name(object, CHILDID_SELF).c_str());
    LONG count = 0;
    object->get_accChildCount(&count);
    for (LONG id = 1; id <= count; ++id) {
        LONG x = 0, y = 0, w = 0, h = 0;
        object->accLocation(&x, &y, &w, &h, Child(id));
        std::printf("child\t%ld\t0x%lx\t0x%lx\t%s\t%s\t%ld,%ld,%ld,%ld\n", static_cast<long>(id),
                    Role(object, id), State(object, id), Name(object, id).c_str(),
                    TextOf(object, &IAccessible::get_accDescription, id).c_str(),
                    static_cast<long>(x), static_cast<long>(y), static_cast<long>(w),
                    static_cast<long>(h));
    }
    VARIANT focus;
    VariantInit(&focus);
    const long focused = LongOf(object->get_accFocus(&focus), focus);
    if (focused >= 0) {
        std::printf("focus\t%ld\n", focused);
    } else {
        std::printf("focus\t-\n");
    }
}

BOOL CALLBACK FindEdit(HWND hwnd, LPARAM found) {
    wchar_t name[16];
    if (GetClassNameW(hwnd, name, 16) > 0 && lstrcmpiW(name, L"Edit") == 0) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void PrintEditName(HWND main) {
    HWND edit = nullptr;
    EnumChildWindows(main, FindEdit, reinterpret_cast<LPARAM>(&edit));
    IAccessible* object = nullptr;
    if (edit == nullptr || FAILED(AccessibleObjectFromWindow(edit, OBJID_CLIENT, IID_IAccessible,
                                                             reinterpret_cast<void**>(&object)))) {
        std::printf("edit\t-\n");
        return;
    }
    std::printf("edit\t%s\n", Name(object, CHILDID_SELF).c_str());
    object->Release();
}

// Every push button as a reader names it, with its role.
BOOL CALLBACK PrintButton(HWND hwnd, LPARAM) {
    wchar_t name[16];
    IAccessible* object = nullptr;
    if (GetClassNameW(hwnd, name, 16) > 0 && lstrcmpiW(name, L"Button") == 0 &&
        SUCCEEDED(AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, IID_IAccessible,
                                             reinterpret_cast<void**>(&object)))) {
        std::printf("button\t0x%lx\t%s\n", Role(object, CHILDID_SELF),
                    Name(object, CHILDID_SELF).c_str());
        object->Release();
    }
    return TRUE;
}

HWND g_main = nullptr;
int g_focusEvents = 0;
int g_nameEvents = 0;

// A focus event ("focus") or a change of name ("name") of a child.
void CALLBACK OnFocus(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG idObject, LONG idChild, DWORD,
                      DWORD) {
    if (hwnd != g_main || idObject != OBJID_CLIENT || idChild == CHILDID_SELF) return;
    if (event != EVENT_OBJECT_FOCUS && event != EVENT_OBJECT_NAMECHANGE) return;
    IAccessible* object = nullptr;
    VARIANT child;
    VariantInit(&child);
    if (FAILED(AccessibleObjectFromEvent(hwnd, idObject, idChild, &object, &child))) return;
    BSTR name = nullptr;
    object->get_accName(child, &name);
    const bool bFocus = event == EVENT_OBJECT_FOCUS;
    std::printf("%s\t%s\n", bFocus ? "focus" : "name", Utf8(name).c_str());
    std::fflush(stdout);
    SysFreeString(name);
    VariantClear(&child);
    object->Release();
    ++(bFocus ? g_focusEvents : g_nameEvents);
}

// Hears the program's focus events, as a reader hooked into the desktop does.
int ListenForFocus(int wanted) {
    DWORD process = 0;
    GetWindowThreadProcessId(g_main, &process);
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_NAMECHANGE, nullptr,
                                         OnFocus, process, 0, WINEVENT_OUTOFCONTEXT);
    if (hook == nullptr) return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    const DWORD until = GetTickCount() + 60000;
    while ((g_focusEvents < wanted || g_nameEvents == 0) && GetTickCount() < until) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
    UnhookWinEvent(hook);
    return g_focusEvents >= wanted && g_nameEvents > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    CoInitialize(nullptr);
    HWND main = FindWindowW(L"Window", L"Sorahiki");
    if (main == nullptr) {
        std::fprintf(stderr, "no window of class Window titled Sorahiki\n");
        return 1;
    }
    if (argc == 3 && std::string(argv[1]) == "focus") {
        g_main = main;
        return ListenForFocus(std::atoi(argv[2]));
    }
    IAccessible* object = nullptr;
    const HRESULT hr = AccessibleObjectFromWindow(main, OBJID_CLIENT, IID_IAccessible,
                                                  reinterpret_cast<void**>(&object));
    if (FAILED(hr) || object == nullptr) {
        std::fprintf(stderr, "AccessibleObjectFromWindow failed: 0x%lx\n", static_cast<long>(hr));
        return 1;
    }
    PrintObject(object);
    object->Release();
    PrintEditName(main);
    EnumChildWindows(main, PrintButton, 0);
    std::fflush(stdout);
    CoUninitialize();
    return 0;
}
