// The model behind the window functions of the Linux layer: windows, classes,
// menus and the thread's queue, all on the program's one thread.
#pragma once

#include <cairo.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "platform/src/ui/driver.h"

namespace sorahiki::ui {

// An invalid region as a list of rectangles; the painting is clipped to
// their union, and rcPaint is their bounding box. Defined in state.cpp.
struct Region {
    std::vector<RECT> rects;
    bool erase = false;

    bool Empty() const { return rects.empty(); }
    void Add(const RECT& r);
    RECT Bounds() const;
    void Clear() {
        rects.clear();
        erase = false;
    }
};

struct WindowClass {
    std::string name;  // as registered
    WNDCLASSA wc;
    ATOM atom;
    bool system;  // the controls' and dialogs' classes, never forgotten
    ChildKind kind;
};

struct Window {
    HWND handle = nullptr;
    std::string class_name;
    WNDPROC proc = nullptr;
    UINT class_style = 0;
    HBRUSH background = nullptr;
    HINSTANCE instance = nullptr;
    DLGPROC dlgproc = nullptr;  // dialogs only
    DWORD style = 0;
    DWORD ex_style = 0;
    HWND parent = nullptr;
    std::vector<HWND> children;  // in creation order
    HMENU menu = nullptr;        // top-level: the menu bar
    int id = 0;                  // child: the control id
    ChildKind kind = ChildKind::Other;
    std::string text;       // CP932
    RECT rect{};            // outer rectangle: screen for top-level, parent client for a child
    RECT client{};          // client area within the outer rectangle (offsets from its corner)
    bool disabled = false;  // the owner of an open message box
    // An edit's selection in bytes of text (first == last: the caret), and
    // the lead byte of a double-byte character whose second byte WM_CHAR
    // has yet to bring.
    int sel_first = 0;
    int sel_last = 0;
    int pending_lead = 0;
    HGDIOBJ font = nullptr;  // a control: the font WM_SETFONT gave it
    bool destroying = false;
    bool announced = false;  // the driver knows of it
    Region invalid;
    cairo_surface_t* image = nullptr;  // top-level: the backing image of the client area

    bool Visible() const { return (style & WS_VISIBLE) != 0; }
    bool TopLevel() const { return (style & WS_CHILD) == 0; }
    int ClientWidth() const { return client.right - client.left; }
    int ClientHeight() const { return client.bottom - client.top; }
};

struct MenuItem {
    std::string text;  // CP932
    UINT id = 0;
    UINT flags = 0;
    HMENU popup = nullptr;
    bool checkable = false;  // CheckMenuItem has set its mark
};

struct Menu {
    std::vector<MenuItem> items;
};

// Each group below names the file that defines it.

// ---- Windows, menus and the driver (state.cpp) --------------------------------
Window* FindWindowObject(HWND hwnd);
HWND NewWindowHandle();
Window* AddWindow(HWND hwnd);
void RemoveWindow(HWND hwnd);
Menu* FindMenuObject(HMENU menu);
HMENU NewMenu();
void ForgetMenus();
Driver& CurrentDriverRef();
// The instance handed to WinMain and returned by GetModuleHandleA(nullptr).
HINSTANCE ProgramInstance();
// The driver's text scale in dots per inch (96 at 100 %), never below 1.
int ScreenDpi();
// Nesting depth of message boxes' modal loops.
int& ModalDepth();
// Every window alive, oldest first.
std::vector<Window*> AllWindows();
// Removes every window (with messages), class, menu and queued message.
void ResetState();
// In debug builds, says once per process on stderr that `call` was given an
// argument the layer does not implement (`what`); the call then goes on as
// its limits in user.h say. Release builds say nothing.
void ReportUnsupported(const char* call, const std::string& what);

// ---- Text (state.cpp) ---------------------------------------------------------
std::string Utf8FromCp932(const std::string& cp932);
std::string Cp932FromUtf8(const std::string& utf8);
std::string Cp932FromUtf16(const char16_t* text, size_t length);
std::string Utf8FromUtf16(const char16_t* text, size_t length);
std::u16string Utf16FromUtf8(const std::string& utf8);
// Copies at most max - 1 bytes and a NUL, and returns the bytes copied. A
// double-byte character may be cut in two at the end, as Windows cuts it.
int CopyTextOut(const std::string& text, char* out, int max);

// ---- Creation, destruction and focus, shared by dialogs (window.cpp) ----------
HWND CreateWindowObject(DWORD ex_style, const char* class_name, const char* title, DWORD style,
                        int x, int y, int cx, int cy, HWND parent, HMENU menu, HINSTANCE instance,
                        void* param);
void NotifyDriverCreated(Window& w);
// Gives the keyboard focus to a window (null for none): WM_KILLFOCUS to the
// old one, WM_SETFOCUS to the new one.
void MoveFocus(HWND to);
// ---- Icons (icon.cpp) -----------------------------------------------------------
// The .ico file of an icon that LoadIconA gave, or null.
const std::vector<std::uint8_t>* IconFileOf(HICON icon);
// The window that has the keyboard focus (possibly destroyed since).
HWND& FocusSlot();

// ---- Classes (classes.cpp; the controls' classes in dialog.cpp) ---------------
// The class of that name (or atom), or null.
WindowClass* FindClass(const char* name);
void AddSystemClass(const char* name, WNDPROC proc, HBRUSH background, ChildKind kind);
void ForgetClasses();
void RegisterSystemClasses();  // dialog.cpp

// ---- Placement (placement.cpp) ------------------------------------------------
// The frame around the client area that WM_NCCALCSIZE takes off by default.
RECT NonClientInsets(DWORD style, DWORD ex_style, bool menu);
POINT ClientOriginOnScreen(const Window& w);
inline void OffsetRectBy(RECT& r, int dx, int dy) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
}

// ---- Queue (queue.cpp) --------------------------------------------------------
// Takes the next message as PeekMessageA does (posted, quit, input, paint);
// skip_quit leaves WM_QUIT queued (the modal loop of a message box).
bool TakeMessage(MSG* msg, HWND filter, UINT min, UINT max, bool remove, bool skip_quit);
void PostInput(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, unsigned modifiers = 0);
// The KeyModifier bits held with the input message last taken.
unsigned HeldModifiers();
void ClearQueue();
// Drops the waiting messages of a window that is being destroyed.
void PurgeMessages(HWND hwnd);
// Private message of the edit control: the user changed its text.
constexpr UINT kEditTyped = WM_USER + 0x0100;

// ---- Menus of the program's own (menu.cpp) -------------------------------------
void ForgetMenu(HMENU menu);

// ---- Fonts (font.cpp) ----------------------------------------------------------
// The LOGFONTA of a font made here or of the stock system font (at the
// display's text scale); false for anything else.
bool FontOf(HGDIOBJ font, LOGFONTA* out);
bool IsFont(HGDIOBJ object);
// The height asked for, in pixels (0 for no font): a control's text size.
int CharacterHeight(HGDIOBJ font);
// The pixel size at which IPAGothic draws the font's text.
double DrawnPixels(HGDIOBJ font);
// False for an object that is no font made here.
bool ForgetFont(HGDIOBJ font);

// ---- Painting (paint.cpp) -----------------------------------------------------
void InvalidateWhole(Window& w, bool erase);
// FillRect without an entry in the draw log (the background erase).
void FillUnlogged(HDC hdc, const RECT& rect, HBRUSH brush);
COLORREF BrushColour(HBRUSH brush, bool* valid);
void DestroyImage(Window& w);
void EnsureImage(Window& w);

}  // namespace sorahiki::ui
