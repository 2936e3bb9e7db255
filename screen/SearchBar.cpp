// The search bar's dialog procedure: the "検索" button, or Enter in the edit
// box, fetches the edit text and asks the frame step for a search when the
// text is not blank, and the button's press is recorded too: while a search
// runs the button reads "中止" and the frame step stops the search instead,
// and drops the request. A double click on the button makes one search.
#include "screen/ScreenGlobals.h"

#include <sorahiki/cp932.h>

#include "res/resource.h"
#include "screen/SteadyClock.h"

namespace {

constexpr unsigned char kBlank = 0x20;
// The word parser separates words on these characters too.
constexpr unsigned char kBlankLead = cp932::kSeparatorLead;

void FetchSearchRequest(HWND hDlg) {
    GetWindowTextA(GetDlgItem(hDlg, IDC_SEARCH_EDIT), g_szSearchText, kSearchTextBytes);
    g_bSearchRequested = HasNonBlankByte(g_szSearchText) ? 1 : 0;
    g_llSearchClickedAt = kNoSearchClick;
}

bool IsSecondPressOfSearchClick() {
    return g_llSearchClickedAt != kNoSearchClick &&
           MillisecondsNow() - g_llSearchClickedAt < GetDoubleClickTime();
}

// The button asks for a search, or stops the one under way: the frame step,
// which knows whether one runs, decides. The second press of a double click
// does neither, so that a double click makes one search, which goes on.
void PressSearchButton(HWND hDlg) {
    if (IsSecondPressOfSearchClick()) {
        g_llSearchClickedAt = kNoSearchClick;
        return;
    }
    FetchSearchRequest(hDlg);
    g_bSearchButtonPressed = 1;
    if (g_bSearchRequested == 1) g_llSearchClickedAt = MillisecondsNow();
}

// The edit box's own procedure, which the search bar's subclass passes on to.
WNDPROC g_pfnEditProc;

// Enter reaches the edit box as VK_RETURN only outside an input method's
// composition (the key that commits a conversion arrives as another code),
// so it submits what the button would, but never stops a search: a request
// made while one runs is dropped by the frame step. Its character is
// swallowed: a one-line edit box has no use for it.
LRESULT CALLBACK SearchEditProc(HWND hEdit, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == WM_KEYDOWN || message == WM_CHAR) && wParam == VK_RETURN) {
        if (message == WM_KEYDOWN) FetchSearchRequest(GetParent(hEdit));
        return 0;
    }
    return CallWindowProcA(g_pfnEditProc, hEdit, message, wParam, lParam);
}

void SubclassEdit(HWND hDlg) {
    HWND hEdit = GetDlgItem(hDlg, IDC_SEARCH_EDIT);
    auto pfnOld = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SearchEditProc)));
    if (pfnOld != SearchEditProc) g_pfnEditProc = pfnOld;
}

}  // namespace

bool HasNonBlankByte(const char* pszText) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(pszText);
    while (*p != 0) {
        if (*p == kBlank) {
            ++p;
        } else if (*p == kBlankLead) {
            // The pair counts as blank; a NUL right after the lead still ends the text.
            ++p;
            if (*p == 0) break;
            ++p;
        } else {
            return true;
        }
    }
    return false;
}

INT_PTR CALLBACK SearchBarProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    if (message == WM_INITDIALOG) {
        SubclassEdit(hDlg);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;

    Sleep(1);
    switch (LOWORD(wParam)) {
        case IDC_SEARCH_BUTTON:
            PressSearchButton(hDlg);
            return TRUE;
        case IDCANCEL:
            DestroyWindow(hDlg);
            return TRUE;
        case IDC_SEARCH_EDIT:
            // The edit box's notifications, among them the change that
            // SetWindowTextA causes when the history puts an entry back,
            // submit nothing; a press after a change asks for the new text.
            if (HIWORD(wParam) == EN_CHANGE) g_llSearchClickedAt = kNoSearchClick;
            return FALSE;
        default:
            return FALSE;
    }
}
