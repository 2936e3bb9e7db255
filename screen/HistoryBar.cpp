// The history bar's dialog procedure: "前へ" and "次へ" only record a command
// that the frame step carries out.
#include "screen/ScreenGlobals.h"

#include "res/resource.h"

INT_PTR CALLBACK HistoryBarProc(HWND /*hDlg*/, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_COMMAND) return FALSE;

    Sleep(1);
    switch (LOWORD(wParam)) {
        case IDC_HISTORY_BACK:
            g_nHistoryCommand = kHistoryBack;
            return TRUE;
        case IDC_HISTORY_FORWARD:
            g_nHistoryCommand = kHistoryForward;
            return TRUE;
        default:
            return FALSE;
    }
}
