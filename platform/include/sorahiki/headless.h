// The headless driver of the Linux window layer, for tests: no display. A
// test selects it before the program starts, drives the program with the
// input a person would give, answers its message boxes and reads what it
// drew, invalidated and opened. Texts are CP932 bytes, as the program has
// them. Linux only (target sorahiki_platform_headless).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include <sorahiki/drawcall.h>

namespace sorahiki::headless {

// Selects the headless driver. Call it before the program's start-up.
void Use();
// Returns the layer to its state at process start, with the headless driver
// selected: destroys every window (the procedures see WM_DESTROY and
// WM_NCDESTROY), forgets the classes, empties the queue (WM_QUIT included),
// and clears every log, answer and hook below.
void Reset();

// The display, for the next start of the program: its text scale in dots per
// inch and its one monitor, all of it work area (96, and 1920 x 1040 from the
// top left, after Reset).
void SetDisplay(int dpi, const RECT& work_area);

// The main window: the first top-level window still alive, or null.
HWND MainWindow();

// ---- Input, queued as Windows queues it --------------------------------------
// Mouse at client pixels of the main window.
void MouseMove(int x, int y);
void LeftDown(int x, int y);
void LeftUp(int x, int y);
void RightDown(int x, int y);
void RightUp(int x, int y);
// WM_KEYDOWN then WM_KEYUP to the main window (it has the keyboard focus).
void PressKey(int vk);
void PressEscape();
// The modifier keys held with a key (GetKeyState reads them).
enum Modifiers : unsigned { kShift = 1, kControl = 2, kAlt = 4 };
// A key pressed and released in the window that has the keyboard focus (the
// main window when none has): WM_KEYDOWN and WM_KEYUP, or WM_SYSKEYDOWN and
// WM_SYSKEYUP with Alt and for F10.
void PressKeyInFocus(int vk, unsigned modifiers = 0);
// A character typed into the window that has the focus where the display's
// own edit does not take it: WM_CHAR with its code page 932 bytes.
void TypeCharInFocus(const std::string& character_cp932);
// Replaces the text of an edit control as typing does; its dialog gets
// EN_UPDATE and EN_CHANGE through the queue.
void TypeText(HWND edit, const std::string& text_cp932);
// Presses a button; its dialog gets WM_COMMAND(MAKEWPARAM(id, BN_CLICKED),
// button) when the queue reaches it.
void PressButton(HWND dialog, int id);
// Chooses an item of the main window's menu: WM_COMMAND(MAKEWPARAM(id, 0), 0).
void ChooseMenuItem(UINT id);
// Opens pop-up number index of the main window's menu bar: WM_INITMENUPOPUP.
void OpenMenu(int index);
// The caption's close button: WM_CLOSE.
void RequestClose();
// Drops files on the main window (paths as the file system names them):
// WM_DROPFILES when it accepts files.
void DropFiles(const std::vector<std::string>& paths_utf8);

// ---- The folder picker ----------------------------------------------------------
// Answers for the next folder pickers, in order: a folder, or "" to cancel;
// a picker with none left is cancelled, and a line goes to stderr.
void QueueFolderChoice(const std::string& folder_utf8);

// ---- Message boxes ------------------------------------------------------------
struct ShownBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
    int answer;  // what MessageBoxA returned
};
// Answers for the next boxes, in order (IDOK, IDYES, IDNO ...).
void QueueAnswer(int answer);
// Called while a box is up, once per turn of its modal loop, when no queued
// answer is left. Returns the answer, or 0 to keep the box up for another
// turn (the loop goes on dispatching messages to window procedures).
void SetAnswerer(std::function<int(const ShownBox&)> answerer);
// Every box shown so far, the open one last (answer 0 while open).
const std::vector<ShownBox>& Boxes();
// A box with no answer and no answerer is answered IDOK (MB_OK) or IDNO
// (MB_YESNO), and a line goes to stderr.

// ---- Pop-up menus ---------------------------------------------------------------
struct ShownMenu {
    HWND owner;
    std::vector<std::string> items;  // CP932, as appended (empty for a separator)
    POINT at;                        // client pixels of the owner's top-level window
    UINT chosen;                     // what TrackPopupMenu returned
};
// Choices for the next menus, in order (a command id, or 0 to dismiss); a
// menu with none left is dismissed, and a line goes to stderr.
void QueueMenuChoice(UINT id);
// Every pop-up menu shown so far.
const std::vector<ShownMenu>& Menus();

// The text last put on the clipboard, in UTF-8.
std::string ClipboardText();

// ---- What the program did ----------------------------------------------------
// Every GDI call of the program, and BeginPaint/EndPaint of top-level windows
// (the bars and their controls get WM_PAINT too, but the driver draws them).
using sorahiki::Draw;
using sorahiki::DrawCall;
const std::vector<DrawCall>& DrawCalls();

struct Invalidation {
    HWND hwnd;
    std::optional<RECT> rect;  // empty for the whole client area (null)
    BOOL erase;
};
const std::vector<Invalidation>& Invalidations();

// Each ShellExecuteA that reached the desktop: one for a file that is not
// there opens nothing and is not logged. SHOpenFolderAndSelectItems is logged
// alike, with no verb, file or parameters, inFolder set and its item's path
// as what opened.
struct ShellCall {
    HWND owner;
    std::optional<std::string> verb, file, params, dir;  // empty where null was passed
    int show;
    std::string opened;     // the file that would open, in UTF-8, as the layer found it
    bool inFolder = false;  // shown in the file manager rather than opened
};
const std::vector<ShellCall>& ShellCalls();

// Each NotifyWinEvent, as a screen reader would hear it.
struct AccessibleEventCall {
    HWND hwnd;
    DWORD event;
    LONG idObject;
    LONG idChild;
};
const std::vector<AccessibleEventCall>& AccessibleEvents();

// Clears the four logs above and the lists of boxes and menus.
void ClearLogs();

// ---- The picture -------------------------------------------------------------
// A pixel of the main window's client area as the person would see it: the
// backing image with the bars' controls drawn on top. 0x00BBGGRR.
COLORREF Pixel(int x, int y);
// Writes that picture as PNG; false on failure.
bool SavePng(const std::string& path);

// ---- Turns of the frame loop ---------------------------------------------------
// Called at every PeekMessageA outside a message box, with the count of such
// calls since Reset (1 at the first), before the queue is read. A test can
// inject input at turn k, or end the loop with PostQuitMessage.
void SetTurnHook(std::function<void(int turn)> hook);

}  // namespace sorahiki::headless
