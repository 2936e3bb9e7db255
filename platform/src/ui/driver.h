// The seam between the window layer and what shows it. The layer keeps the
// windows, the queue, the menus, the texts and the backing images; a driver
// shows them (GTK) or records them (headless), and feeds input back through
// the functions at the end of this file, which post the WM_ messages a
// person's input causes on Windows. All calls happen on the program's one
// thread. Texts given to a driver are UTF-8; the layer keeps CP932.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <sorahiki/drawcall.h>
#include <windows.h>

namespace sorahiki::ui {

// The kinds of child window the layer creates for dialog templates.
enum class ChildKind { Dialog, Edit, Button, Static, Other };

// The pointer shapes of LoadCursorA.
enum class PointerShape { Arrow, Text, Wait, Working };

struct MessageBoxRequest {
    HWND owner;
    std::string text_utf8;
    std::string caption_utf8;
    std::string text_cp932;  // the bytes the program passed
    std::string caption_cp932;
    UINT type;  // MB_OK or MB_YESNO (other bits kept)
};

struct ShellRequest {
    HWND owner;
    bool has_verb, has_file, has_params, has_dir;  // false where the program passed null
    std::string verb, file, params, dir;           // CP932, as passed
    std::string file_utf8;  // the file as the file system names it (found through the listing)
    int show;
};

// One entry of a menu, for building a menu bar or a pop-up menu.
struct MenuEntry {
    std::string text_utf8;  // with the '&' mnemonic marker as in the template
    UINT id;                // command id; 0 for a pop-up
    HMENU popup;            // the pop-up's own menu, or null for a command item
    bool separator = false;
    bool checkable = false;  // shown as a check item
    bool checked = false;
};

// TrackPopupMenu: a menu of commands at a point of the owner's top-level
// window (client pixels of that window).
struct PopupMenuRequest {
    HWND owner;
    HWND toplevel;
    std::vector<MenuEntry> entries;
    POINT at;
    std::vector<std::string> texts_cp932;  // the entries' texts as the program passed them
};

class Driver {
  public:
    virtual ~Driver() = default;

    // Every operation has a null default, which is how the layer behaves with
    // no display: a driver overrides what it shows or records.

    // Connects to the display. False when there is none: the program then
    // says so and ends with -1.
    virtual bool Init() { return false; }

    // A top-level window was created, hidden. menu is its menu bar (null for
    // none; read it with MenuEntries). window is its outer rectangle in
    // screen pixels, client its client area in the same coordinates.
    virtual void TopLevelCreated(HWND /*hwnd*/, const std::string& /*title_utf8*/, HMENU /*menu*/,
                                 const RECT& /*window*/, const RECT& /*client*/) {}
    // The window's outer or client rectangle changed (same coordinates).
    virtual void TopLevelMoved(HWND /*hwnd*/, const RECT& /*window*/, const RECT& /*client*/) {}
    // Shown or hidden; show_cmd is the SW_ value (SW_SHOWMINIMIZED ...).
    virtual void TopLevelShown(HWND /*hwnd*/, bool /*visible*/, int /*show_cmd*/) {}
    // Part of the top-level window's backing image changed (client pixels):
    // queue a redraw. Read the image with BackingImage(hwnd).
    virtual void ImageChanged(HWND /*hwnd*/, const RECT& /*area*/) {}

    // A child window was created under parent (a dialog under the main
    // window, a control under its dialog). rect is in the parent's client
    // pixels. Hidden unless visible is true.
    virtual void ChildCreated(HWND /*hwnd*/, HWND /*parent*/, ChildKind /*kind*/,
                              const RECT& /*rect*/, const std::string& /*text_utf8*/,
                              bool /*visible*/) {}
    virtual void ChildMoved(HWND /*hwnd*/, const RECT& /*rect*/) {}
    virtual void ChildShown(HWND /*hwnd*/, bool /*visible*/) {}
    // The program set the control's text, or a top-level window's caption
    // (SetWindowTextA). An edit driven by the driver must not report this
    // back through EditTyped.
    virtual void ChildTextChanged(HWND /*hwnd*/, const std::string& /*text_utf8*/) {}
    // The program gave the control a font (WM_SETFONT): its text is to show
    // this many pixels high.
    virtual void ChildFontChanged(HWND /*hwnd*/, int /*pixels*/) {}

    // Any window (top-level or child) is gone; forget it.
    virtual void WindowDestroyed(HWND /*hwnd*/) {}

    // Handles pending display events without blocking, turning them into
    // calls of the input functions below. Called from every PeekMessageA.
    virtual void PumpEvents() {}

    // A modal message box opens. The layer then runs a nested loop: it
    // calls PumpEvents and dispatches queued messages, and polls
    // PollMessageBox until it yields the answer (IDOK, IDYES, IDNO ...).
    // With no display a box is answered at once, as closing it answers: "No"
    // for a yes/no box, else OK.
    virtual void BeginMessageBox(const MessageBoxRequest& box) { m_boxType = box.type; }
    virtual bool PollMessageBox(int* answer) {
        *answer = (m_boxType & 0xF) == MB_YESNO ? IDNO : IDOK;
        return true;
    }

    // The display's scale of text in dots per inch, 96 at 100 %: the layer
    // lays out dialogs and draws text at it, and GetDpiForWindow reports it.
    virtual int TextDpi() { return USER_DEFAULT_SCREEN_DPI; }
    // The display's pixels per layer pixel (1, or 2 on a display that GTK
    // doubles): the backing images are made this much finer, so that text is
    // drawn sharp at the display's own resolution.
    virtual int DeviceScale() { return 1; }
    // The monitors, numbered from 0: the one nearest the window's outer
    // rectangle (screen pixels of the layer), and the whole of a monitor and
    // its work area, which leaves out the desktop's panels. False for no such
    // monitor. With no display there is one of 1920 x 1080.
    virtual int MonitorNearest(const RECT& /*window*/) { return 0; }
    virtual bool MonitorAreas(int monitor, RECT* whole, RECT* work) {
        *whole = *work = RECT{0, 0, 1920, 1080};
        return monitor == 0;
    }

    // ShellExecuteA: open the file with the desktop. True when started.
    virtual bool ShellOpen(const ShellRequest& /*request*/) { return false; }
    // SHOpenFolderAndSelectItems: show request.file_utf8 (absolute) selected
    // in the desktop's file manager. True when started.
    virtual bool ShowInFileManager(const ShellRequest& /*request*/) { return false; }

    // A pop-up menu opens (TrackPopupMenu). As for message boxes, the layer
    // runs a nested loop and polls PollPopupMenu until it yields the chosen
    // command, 0 for a menu dismissed. With no display it is dismissed.
    virtual void BeginPopupMenu(const PopupMenuRequest& /*menu*/) {}
    virtual bool PollPopupMenu(UINT* chosen) {
        *chosen = 0;
        return true;
    }

    // SHBrowseForFolderA: a modal folder picker owned by `owner`. True with
    // the folder chosen (absolute, as the file system names it), false when
    // cancelled; with no display, cancelled.
    virtual bool PickFolder(HWND /*owner*/, const std::string& /*title_utf8*/,
                            std::string* /*folder_utf8*/) {
        return false;
    }

    // CheckMenuItem changed the mark of command `id` of `menu`, an item of a
    // menu bar or of one of its pop-ups.
    virtual void MenuItemChecked(HMENU /*menu*/, UINT /*id*/, bool /*checked*/) {}

    // CloseClipboard with Unicode text set: the desktop's clipboard holds it.
    virtual void ClipboardText(const std::string& /*text_utf8*/) {}

    // EM_SETSEL or a character put in by the program: the edit's selection,
    // in characters from its start (last -1: to the end; first == last: the
    // caret alone).
    virtual void EditSelected(HWND /*edit*/, int /*first*/, int /*last*/) {}

    // The icon of a top-level window's class, as the bytes of an .ico file.
    virtual void TopLevelIcon(HWND, const std::vector<std::uint8_t>&) {}
    // SetFocus moved the keyboard to this window (a control, or a top-level
    // window's client area).
    virtual void FocusMoved(HWND) {}
    // SetCursor: the pointer's shape over every window of the program.
    virtual void PointerChanged(PointerShape) {}
    // NotifyWinEvent: what changed of the object a window gives for
    // WM_GETOBJECT (EVENT_OBJECT_FOCUS ...; idChild 0 for the object itself).
    virtual void AccessibleEvent(HWND, DWORD /*event*/, LONG /*idObject*/, LONG /*idChild*/) {}

    // Recording hooks, for a driver that keeps what the program did (the
    // headless driver of tests); a display has no use for them. Drawn sees
    // every GDI call of the program; Invalidated every InvalidateRect as
    // called (rect null for the whole client area).
    virtual void Drawn(const DrawCall&) {}
    virtual void Invalidated(HWND, const RECT*, BOOL) {}

  private:
    UINT m_boxType = 0;  // the type of the last box begun
};

// The GTK 3 driver (target sorahiki_platform_gtk).
std::unique_ptr<Driver> MakeGtkDriver();

// Installs the driver the layer uses from now on (replacing any earlier one).
void SetDriver(std::unique_ptr<Driver> driver);
Driver* CurrentDriver();

// ---- What a driver reads -------------------------------------------------
// The top-level window's backing image (client size, CAIRO_FORMAT_RGB24), or
// null. It stays valid until the window is destroyed or its size changes.
cairo_surface_t* BackingImage(HWND toplevel);
// The entries of a menu, in order.
std::vector<MenuEntry> MenuEntries(HMENU menu);
// The kind and id of a child window.
ChildKind KindOf(HWND hwnd);

// ---- Input a driver reports; each posts what Windows posts -----------------
// Mouse message (WM_MOUSEMOVE, WM_LBUTTONDOWN ...) at client pixels of hwnd.
void PostMouse(HWND hwnd, UINT message, int x, int y);
// The modifier keys held with a key, as GetKeyState reads them while its
// message is handled.
enum KeyModifier : unsigned { kShiftKey = 1, kControlKey = 2, kAltKey = 4 };
// WM_KEYDOWN or WM_KEYUP with a virtual-key code, to hwnd; with Alt held (or
// for F10), WM_SYSKEYDOWN or WM_SYSKEYUP as Windows posts them.
void PostKey(HWND hwnd, UINT message, int vk, unsigned modifiers = 0);
// A character typed where no edit of the driver's own takes it: its code
// page 932 bytes as WM_CHAR messages to hwnd, one a byte as an ANSI window
// gets them. Nothing for a character that code page 932 lacks.
void PostChar(HWND hwnd, const std::string& character_utf8);
// The user moved the keyboard focus to this window (a click in an entry, a
// button): WM_KILLFOCUS and WM_SETFOCUS as SetFocus sends them, without
// moving the display's focus again.
void FocusTaken(HWND hwnd);
// The user pressed this button: its dialog gets WM_COMMAND(id, BN_CLICKED).
void ButtonClicked(HWND button);
// The user changed the edit's text to this: the layer keeps it (for
// GetWindowTextA) and its dialog gets EN_UPDATE and EN_CHANGE.
void EditTyped(HWND edit, const std::string& text_utf8);
// The user chose a menu command: WM_COMMAND(id, 0) to the window.
void MenuCommand(HWND toplevel, UINT id);
// A pop-up of the menu bar opens: WM_INITMENUPOPUP to the window.
void InitMenuPopup(HWND toplevel, HMENU popup, int index);
// The caption's close button: WM_CLOSE to the window.
void CloseRequested(HWND toplevel);
// Files dropped on the window, their paths as the file system names them:
// WM_DROPFILES to the window when it accepts files (DragAcceptFiles).
void FilesDropped(HWND toplevel, const std::vector<std::string>& paths_utf8);

}  // namespace sorahiki::ui
