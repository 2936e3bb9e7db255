// What a driver reports of the user's input, posted as Windows posts it, and
// the calls that hand work to the driver: modal message boxes and pop-up
// menus.
#include <unistd.h>

#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/src/ui/state.h"

namespace sorahiki::ui {
namespace {

bool IsInput(UINT message) {
    return (message >= WM_MOUSEMOVE && message <= WM_RBUTTONUP) ||
           (message >= WM_KEYDOWN && message <= WM_SYSCHAR);
}

// Input for a window whose top-level window is disabled (the owner of an
// open message box) is dropped, as a disabled window receives none.
bool ForDisabledWindow(const MSG& msg) {
    for (Window* w = FindWindowObject(msg.hwnd); w != nullptr; w = FindWindowObject(w->parent)) {
        if (w->disabled) return true;
    }
    return false;
}

void SetDisabled(HWND hwnd, bool disabled) {
    if (Window* w = FindWindowObject(hwnd)) w->disabled = disabled;
}

// One turn of a message box's modal loop; false when nothing was waiting.
bool ModalTurn() {
    CurrentDriverRef().PumpEvents();
    MSG msg;
    if (!TakeMessage(&msg, nullptr, 0, 0, true, true)) return false;
    if (IsInput(msg.message) && ForDisabledWindow(msg)) return true;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

// Windows makes the second press of a double click WM_LBUTTONDBLCLK for a
// window whose class asks for it: a press on the same window within the
// double-click time and a few pixels of the first. A third press starts anew.
UINT PressOrDoubleClick(HWND hwnd, int x, int y) {
    const long long doubleClickMs = GetDoubleClickTime();
    constexpr int kDoubleClickPixels = 2;
    static struct {
        HWND hwnd;
        int x, y;
        long long at;
    } first{};
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long at = now.tv_sec * 1000LL + now.tv_nsec / 1000000;
    Window* w = FindWindowObject(hwnd);
    const bool second = w != nullptr && (w->class_style & CS_DBLCLKS) != 0 && first.hwnd == hwnd &&
                        at - first.at <= doubleClickMs &&
                        std::abs(x - first.x) <= kDoubleClickPixels &&
                        std::abs(y - first.y) <= kDoubleClickPixels;
    first = {second ? nullptr : hwnd, x, y, at};
    return second ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
}

}  // namespace

void PostMouse(HWND hwnd, UINT message, int x, int y) {
    if (message == WM_LBUTTONDOWN) message = PressOrDoubleClick(hwnd, x, y);
    WPARAM keys = 0;
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) keys = MK_LBUTTON;
    if (message == WM_RBUTTONDOWN) keys = MK_RBUTTON;
    PostInput(hwnd, message, keys, MAKELPARAM(x, y));
}

void PostKey(HWND hwnd, UINT message, int vk, unsigned modifiers) {
    const bool up = message == WM_KEYUP;
    // Bit 29 of lParam: Alt is held. Alt with a key, and F10, are system keys.
    LPARAM flags = up ? static_cast<LPARAM>(0xC0000001u) : 1;
    if (modifiers & kAltKey) flags |= 0x20000000;
    if ((modifiers & kAltKey) || vk == VK_F10) message = up ? WM_SYSKEYUP : WM_SYSKEYDOWN;
    PostInput(hwnd, message, static_cast<WPARAM>(vk), flags, modifiers);
}

void PostChar(HWND hwnd, const std::string& character_utf8) {
    const std::string bytes = Cp932FromUtf8(character_utf8);
    if (bytes.empty() || bytes == "?") return;
    for (char byte : bytes) {
        PostInput(hwnd, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(byte)), 1);
    }
}

void FocusTaken(HWND hwnd) {
    if (FindWindowObject(hwnd) != nullptr) MoveFocus(hwnd);
}

void ButtonClicked(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

void EditTyped(HWND edit, const std::string& text_utf8) {
    Window* w = FindWindowObject(edit);
    if (w == nullptr) return;
    w->text = Cp932FromUtf8(text_utf8);
    PostMessageA(edit, kEditTyped, 0, 0);
}

void MenuCommand(HWND toplevel, UINT id) {
    PostMessageA(toplevel, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
}

void InitMenuPopup(HWND toplevel, HMENU popup, int index) {
    PostMessageA(toplevel, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup),
                 MAKELPARAM(index, FALSE));
}

void CloseRequested(HWND toplevel) {
    PostMessageA(toplevel, WM_CLOSE, 0, 0);
}

}  // namespace sorahiki::ui

using namespace sorahiki::ui;

UINT WINAPI GetDoubleClickTime() {
    return 500;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    return lpModuleName == nullptr ? ProgramInstance() : nullptr;
}

namespace {

int ShowMessageBox(MessageBoxRequest box) {
    if ((box.type & 0xF) != MB_OK && (box.type & 0xF) != MB_YESNO) {
        ReportUnsupported("MessageBox", "buttons other than MB_OK and MB_YESNO");
    }
    Driver& driver = CurrentDriverRef();
    driver.BeginMessageBox(box);
    SetDisabled(box.owner, true);
    ++ModalDepth();
    int answer = 0;
    while (!driver.PollMessageBox(&answer)) {
        if (!ModalTurn()) usleep(2000);
    }
    --ModalDepth();
    SetDisabled(box.owner, false);
    return answer;
}

std::string Utf16Text(LPCWSTR text) {
    size_t length = 0;
    while (text[length] != 0) ++length;
    return Utf8FromUtf16(text, length);
}

}  // namespace

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    std::string text = lpText ? lpText : "";
    std::string caption = lpCaption ? lpCaption : "Error";
    return ShowMessageBox(
        {hWnd, Utf8FromCp932(text), Utf8FromCp932(caption), text, caption, uType});
}

int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
    std::string text = lpText ? Utf16Text(lpText) : "";
    std::string caption = lpCaption ? Utf16Text(lpCaption) : "Error";
    return ShowMessageBox(
        {hWnd, text, caption, Cp932FromUtf8(text), Cp932FromUtf8(caption), uType});
}

BOOL WINAPI TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int, HWND hWnd, const RECT*) {
    if ((uFlags & TPM_RETURNCMD) == 0) {
        ReportUnsupported("TrackPopupMenu", "a menu without TPM_RETURNCMD");
        return FALSE;
    }
    Window* owner = FindWindowObject(hWnd);
    Window* top = owner;
    while (top != nullptr && !top->TopLevel()) top = FindWindowObject(top->parent);
    if (top == nullptr || GetMenuItemCount(hMenu) <= 0) return FALSE;
    const POINT origin = ClientOriginOnScreen(*top);
    PopupMenuRequest menu{
        hWnd, top->handle, MenuEntries(hMenu), POINT{x - origin.x, y - origin.y}, {}};
    for (int i = 0; i < GetMenuItemCount(hMenu); ++i) {
        char text[256] = "";
        GetMenuStringA(hMenu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        menu.texts_cp932.push_back(text);
    }
    Driver& driver = CurrentDriverRef();
    driver.BeginPopupMenu(menu);
    ++ModalDepth();
    UINT chosen = 0;
    while (!driver.PollPopupMenu(&chosen)) {
        if (!ModalTurn()) usleep(2000);
    }
    --ModalDepth();
    return static_cast<BOOL>(chosen);
}

namespace {

struct SystemPointer {
    WORD id;
    PointerShape shape;
};
constexpr SystemPointer kPointers[] = {{32512, PointerShape::Arrow},
                                       {32513, PointerShape::Text},
                                       {32514, PointerShape::Wait},
                                       {32650, PointerShape::Working}};

// A pointer's handle is its id; no pointer of the program's own is loaded.
const SystemPointer* PointerOf(HCURSOR cursor) {
    for (const SystemPointer& pointer : kPointers) {
        if (reinterpret_cast<HCURSOR>(static_cast<UINT_PTR>(pointer.id)) == cursor) return &pointer;
    }
    return nullptr;
}

HCURSOR g_cursor = nullptr;

}  // namespace

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
    auto cursor = reinterpret_cast<HCURSOR>(const_cast<LPSTR>(lpCursorName));
    if (hInstance != nullptr || !IS_INTRESOURCE(lpCursorName) || PointerOf(cursor) == nullptr) {
        ReportUnsupported("LoadCursorA",
                          "a pointer other than the system's arrow, I-beam and waits");
        return nullptr;
    }
    return cursor;
}

HCURSOR WINAPI SetCursor(HCURSOR hCursor) {
    HCURSOR old = g_cursor;
    g_cursor = hCursor;
    const SystemPointer* pointer = PointerOf(hCursor);
    CurrentDriverRef().PointerChanged(pointer ? pointer->shape : PointerShape::Arrow);
    return old;
}
