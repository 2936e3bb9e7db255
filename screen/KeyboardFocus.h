// Where the keyboard stands inside the main window's own client area, and
// which of the keyboard and the pointer moved the row selection last.
//
// The results and the page strip are drawn on the main window itself, so
// while either has the keyboard GetFocus() is the main window's handle;
// g_nClientFocusPlace says which of the two it is. The selected row is the
// engine's m_nHoverItem, which the pointer tracking and the keyboard both
// write: the keyboard's choice stands until the pointer moves or clicks.
//
// Each variable here is written only by the functions at the end of this
// header (KeyboardFocus.cpp), one for each change; others read them.
// Threads: the window's thread alone reads and writes all of these (the main
// window's procedure records, the frame steps act and the painters read).
#pragma once

#include <windows.h>

enum ClientFocusPlace { kFocusRows = 0, kFocusPageStrip = 1 };
// The part of the client area that has the keyboard while the main window has it.
extern int g_nClientFocusPlace;

// The chosen element of the page strip: page cell 0 to 9, or one of these.
constexpr int kStripPrevLabel = -1;
constexpr int kStripNextLabel = 10;
extern int g_nStripFocus;

// 1 from a key that moved the selection until the pointer next moves or
// clicks: the row highlight then shows m_nHoverItem with its focus frame;
// 0 while the highlight follows the pointer, as it always did.
extern unsigned char g_bKeyboardMovedLast;
// The row the keyboard chose last, and on which page (-1 for none since the
// last search): Tab into the rows goes back to it on that page, else to the
// first row, wherever the pointer rests.
extern int g_nKeyboardRow;
extern int g_nKeyboardRowPage;
// Whether the main window, while it has the keyboard, marks its place with a
// frame (a mouse user's rows show none).
inline bool ClientFocusFrameShown() {
    return g_nClientFocusPlace == kFocusPageStrip || g_bKeyboardMovedLast != 0;
}
// The pointer position that the pointer tracking saw last, to tell a move.
extern POINT g_ptLastTracked;

// A key that reached the main window, for the frame step (0 for none), with
// the GetKeyState modifiers held with it.
enum KeyModifierBits { kModShift = 1, kModControl = 2, kModAlt = 4 };
extern int g_nResultsKey;
extern int g_nResultsKeyModifiers;
// A character typed while the main window had the keyboard (0 for none):
// the frame step hands it to the search box.
extern WPARAM g_nTypedChar;

// A pop-up menu of a row asked for: by the pointer (a right click, on the
// row under it) or by the keyboard (Shift+F10 or the menu key, on the
// selected row).
enum RowMenuRequest { kRowMenuNone = 0, kRowMenuAtPointer = 1, kRowMenuAtSelection = 2 };
extern int g_nRowMenuRequest;

// The changes, one function each:
// the rows or the page strip take the keyboard (the strip at the link of the
// page shown), or the keyboard moves along the strip;
void GiveKeyboardToRows();
void GiveKeyboardToStrip();
void MoveStripFocus(int nElement);
// the keyboard chose row nRow of page nPage; a moving pointer takes the
// highlight back; a new result forgets the keyboard's row;
void NoteKeyboardRow(int nRow, int nPage);
void GiveHighlightToPointer();
void ForgetKeyboardRow();
// the pointer tracking saw the pointer at pt;
void NotePointerTracked(POINT pt);
// Puts everything above back to its value at process start.
void ResetKeyboardFocus();
