// The search bar's dialog procedure: the "検索" button fetches the edit text
// and asks the frame step for a search when the text is not blank.
#include "screen/ScreenGlobals.h"

#include <sorahiki/cp932.h>

#include "res/resource.h"

namespace {

constexpr unsigned char kBlank = 0x20;
// The word parser separates words on these characters too.
constexpr unsigned char kBlankLead = cp932::kSeparatorLead;

void FetchSearchRequest(HWND hDlg) {
    GetWindowTextA(GetDlgItem(hDlg, IDC_SEARCH_EDIT), g_szSearchText, kSearchTextBytes);
    g_bSearchRequested = HasNonBlankByte(g_szSearchText) ? 1 : 0;
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
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_COMMAND) return FALSE;

    Sleep(1);
    switch (LOWORD(wParam)) {
        case IDC_SEARCH_BUTTON:
            FetchSearchRequest(hDlg);
            return TRUE;
        case IDCANCEL:
            DestroyWindow(hDlg);
            return TRUE;
        default:
            // The edit box's notifications, among them the change that
            // SetWindowTextA causes when the history puts an entry back.
            return FALSE;
    }
}
