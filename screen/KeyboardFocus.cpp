// The keyboard's place in the client area, and the input the main window
// records for the frame step, with their reset.
#include "screen/KeyboardFocus.h"

int g_nClientFocusPlace = kFocusRows;
int g_nStripFocus = 0;
unsigned char g_bKeyboardMovedLast = 0;
int g_nKeyboardRow = -1;
int g_nKeyboardRowPage = -1;
POINT g_ptLastTracked{0, 0};
int g_nResultsKey = 0;
int g_nResultsKeyModifiers = 0;
WPARAM g_nTypedChar = 0;
int g_nRowMenuRequest = kRowMenuNone;

void GiveKeyboardToRows() {
    g_nClientFocusPlace = kFocusRows;
}

void GiveKeyboardToStrip() {
    g_nClientFocusPlace = kFocusPageStrip;
    g_nStripFocus = 0;  // the cell of the page shown
}

void MoveStripFocus(int nElement) {
    g_nStripFocus = nElement;
}

void NoteKeyboardRow(int nRow, int nPage) {
    g_nKeyboardRow = nRow;
    g_nKeyboardRowPage = nPage;
    g_bKeyboardMovedLast = 1;
}

void GiveHighlightToPointer() {
    g_bKeyboardMovedLast = 0;
}

void ForgetKeyboardRow() {
    g_nKeyboardRow = -1;
    g_nKeyboardRowPage = -1;
}

void NotePointerTracked(POINT pt) {
    g_ptLastTracked = pt;
}

void ResetKeyboardFocus() {
    g_nClientFocusPlace = kFocusRows;
    g_nStripFocus = 0;
    g_bKeyboardMovedLast = 0;
    g_nKeyboardRow = -1;
    g_nKeyboardRowPage = -1;
    g_ptLastTracked = POINT{0, 0};
    g_nResultsKey = 0;
    g_nResultsKeyModifiers = 0;
    g_nTypedChar = 0;
    g_nRowMenuRequest = kRowMenuNone;
}
