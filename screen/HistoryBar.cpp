// The history bar's dialog procedure: "前へ" and "次へ" only record a command
// that the frame step carries out. A reader hears them as the history's, not
// as the page strip's 「前へ」 and 「次へ」.
#include "screen/ReaderNamedButton.h"
#include "screen/ScreenGlobals.h"

#include "res/resource.h"

INT_PTR CALLBACK HistoryBarProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    if (message == WM_INITDIALOG) {
        NameButtonForReaders(GetDlgItem(hDlg, IDC_HISTORY_BACK), "前の検索ワード");
        NameButtonForReaders(GetDlgItem(hDlg, IDC_HISTORY_FORWARD), "次の検索ワード");
        return TRUE;
    }
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
