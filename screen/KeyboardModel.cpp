// The keyboard model of the window, taken by the frame loop before a key is
// dispatched, as a dialog manager would: Tab and Shift+Tab go round the
// search box, 「検索」, 「前へ」, 「次へ」, the rows and the page strip; ↓ in the
// search box goes to the first row; Ctrl+L and Ctrl+F put the cursor in the
// search box with its text selected, Ctrl+A selects that text; Alt+← and
// Alt+→ walk the history; Enter presses a focused button; Shift+F10 and the
// menu key ask for the selected row's menu; Escape, F5, Ctrl+C and
// Ctrl+Insert as m_sub_CommandKey says. Keys for the rows and the page
// strip themselves reach the main window's procedure, which records them for
// the frame step (screen/ResultsKeys.cpp).
#include "res/resource.h"
#include "screen/KeyboardFocus.h"
#include "screen/RowHitTest.h"
#include "screen/ScreenGlobals.h"
#include "screen/ScreenLayout.h"
#include "screen/SearchEdit.h"
#include "screen/ShellOpen.h"
#include "search/HitPresence.h"

namespace {

// The places in Tab order.
enum Place { kPlaceEdit, kPlaceSearchButton, kPlaceBack, kPlaceForward, kPlaceRows, kPlaceStrip };
constexpr int kPlaces = 6;
constexpr int kNoPlace = -1;

bool Held(int vk) {
    return GetKeyState(vk) < 0;
}

bool IsKeyDown(const MSG& msg) {
    return msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
}

bool IsKeyUp(const MSG& msg) {
    return msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP;
}

// Shift+F10 and the menu key ask for a context menu; their release is used
// up with them, so that F10's own release does not open the menu bar.
bool IsMenuKey(const MSG& msg) {
    return msg.wParam == VK_APPS || (msg.wParam == VK_F10 && Held(VK_SHIFT));
}

}  // namespace

int CSearchEdit::m_sub_PlaceOf(HWND hWnd) const {
    if (hWnd == m_hParent) return g_nClientFocusPlace == kFocusPageStrip ? kPlaceStrip : kPlaceRows;
    if (hWnd == GetDlgItem(m_hSearchBar, IDC_SEARCH_EDIT)) return kPlaceEdit;
    if (hWnd == GetDlgItem(m_hSearchBar, IDC_SEARCH_BUTTON)) return kPlaceSearchButton;
    if (hWnd == GetDlgItem(m_hHistoryBar, IDC_HISTORY_BACK)) return kPlaceBack;
    if (hWnd == GetDlgItem(m_hHistoryBar, IDC_HISTORY_FORWARD)) return kPlaceForward;
    return kNoPlace;
}

// The rows take the keyboard when there are rows, the strip when there are
// pages; a control while it exists.
bool CSearchEdit::m_sub_PlaceAvailable(int nPlace) const {
    switch (nPlace) {
        case kPlaceRows:
            return m_engine.m_items[0].bPresent == 1;
        case kPlaceStrip:
            return IsPagePresent(m_engine, m_engine.m_nPage);
        case kPlaceEdit:
            return GetDlgItem(m_hSearchBar, IDC_SEARCH_EDIT) != nullptr;
        case kPlaceSearchButton:
            return GetDlgItem(m_hSearchBar, IDC_SEARCH_BUTTON) != nullptr;
        case kPlaceBack:
            return GetDlgItem(m_hHistoryBar, IDC_HISTORY_BACK) != nullptr;
        case kPlaceForward:
            return GetDlgItem(m_hHistoryBar, IDC_HISTORY_FORWARD) != nullptr;
        default:
            return false;
    }
}

void CSearchEdit::m_sub_FocusPlace(int nPlace) {
    switch (nPlace) {
        case kPlaceEdit:
            m_sub_FocusSearchBox(true);
            return;
        case kPlaceSearchButton:
            SetFocus(GetDlgItem(m_hSearchBar, IDC_SEARCH_BUTTON));
            return;
        case kPlaceBack:
            SetFocus(GetDlgItem(m_hHistoryBar, IDC_HISTORY_BACK));
            return;
        case kPlaceForward:
            SetFocus(GetDlgItem(m_hHistoryBar, IDC_HISTORY_FORWARD));
            return;
        case kPlaceRows: {
            GiveKeyboardToRows();
            const bool bThisPage =
                g_nKeyboardRowPage == m_engine.m_nPage && IsRowPresent(m_engine, g_nKeyboardRow);
            m_sub_SelectRow(bThisPage ? g_nKeyboardRow : 0);
            SetFocus(m_hParent);
            return;
        }
        case kPlaceStrip:
            GiveKeyboardToStrip();
            SetFocus(m_hParent);
            screen_layout::InvalidateResultsBand(m_hParent);
            return;
        default:
            return;
    }
}

void CSearchEdit::m_sub_FocusSearchBox(bool bSelectAll) {
    HWND hEdit = GetDlgItem(m_hSearchBar, IDC_SEARCH_EDIT);
    SetFocus(hEdit);
    if (bSelectAll) SendMessageA(hEdit, EM_SETSEL, 0, -1);
}

// The keyboard's row: highlighted with its focus frame until the pointer moves.
void CSearchEdit::m_sub_SelectRow(int nRow) {
    m_engine.m_nHoverItem = nRow;
    NoteKeyboardRow(nRow, m_engine.m_nPage);
    screen_layout::InvalidateResultsBand(m_hParent);
}

// Keys that stand for a command: Escape in the search box stops a running
// search (with none running the box has it, as ever), F5 searches the box's
// text again, Ctrl+C and Ctrl+Insert on the rows copy the selected row's path
// as its menu does. F5 is Enter in the box and Ctrl+C the menu's action, so
// that their rules stay theirs; the search's end follows a stop as it
// follows 「中止」.
bool CSearchEdit::m_sub_CommandKey(int nPlace, WPARAM vk, bool bControl, bool bAlt) {
    const bool bRunning = m_run.Running();
    if (vk == VK_ESCAPE && nPlace == kPlaceEdit && bRunning && !bAlt && !bControl) {
        m_run.Stop();
        return true;
    }
    if (vk == VK_F5 && !bAlt && !bControl) {
        SendMessageA(GetDlgItem(m_hSearchBar, IDC_SEARCH_EDIT), WM_KEYDOWN, VK_RETURN, 1);
        return true;
    }
    if (bControl && !bAlt && (vk == 'C' || vk == VK_INSERT) && nPlace == kPlaceRows) {
        const int nRow = SelectedRow(m_engine);
        if (m_sub_RowSeen(nRow)) CopyPathToClipboard(m_hParent, m_engine.m_items[nRow].szPath);
        return true;
    }
    return false;
}

bool CSearchEdit::m_sub_TranslateKey(const MSG& msg) {
    const int nPlace = m_sub_PlaceOf(msg.hwnd);
    if (nPlace == kNoPlace) return false;
    const bool bResults = nPlace == kPlaceRows || nPlace == kPlaceStrip;
    if (IsKeyUp(msg)) return bResults && IsMenuKey(msg);
    if (!IsKeyDown(msg)) return false;

    const WPARAM vk = msg.wParam;
    const bool bControl = Held(VK_CONTROL);
    const bool bAlt = Held(VK_MENU);
    if (vk == VK_TAB && !bControl && !bAlt) {
        // The focus frames show from the first Tab on, as in a dialog.
        SendMessageA(m_hParent, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        const int nStep = Held(VK_SHIFT) ? kPlaces - 1 : 1;
        int nNext = (nPlace + nStep) % kPlaces;
        for (int n = 1; n < kPlaces && !m_sub_PlaceAvailable(nNext); ++n) {
            nNext = (nNext + nStep) % kPlaces;
        }
        if (m_sub_PlaceAvailable(nNext)) m_sub_FocusPlace(nNext);
        return true;
    }
    if (bControl && !bAlt && (vk == 'L' || vk == 'F')) {
        m_sub_FocusSearchBox(true);
        return true;
    }
    if (bControl && !bAlt && vk == 'A' && nPlace == kPlaceEdit) {
        SendMessageA(msg.hwnd, EM_SETSEL, 0, -1);
        return true;
    }
    if (m_sub_CommandKey(nPlace, vk, bControl, bAlt)) return true;
    if (bAlt && !bControl && (vk == VK_LEFT || vk == VK_RIGHT)) {
        // Recorded as the history bar's buttons record; the key still goes
        // on, so that the release of Alt is not taken for a lone Alt.
        g_nHistoryCommand = vk == VK_LEFT ? kHistoryBack : kHistoryForward;
        return false;
    }
    if (vk == VK_DOWN && nPlace == kPlaceEdit && !bControl && !bAlt &&
        m_sub_PlaceAvailable(kPlaceRows)) {
        GiveKeyboardToRows();
        m_sub_SelectRow(0);
        SetFocus(m_hParent);
        return true;
    }
    if (vk == VK_RETURN && !bAlt &&
        (nPlace == kPlaceSearchButton || nPlace == kPlaceBack || nPlace == kPlaceForward)) {
        SendMessageA(msg.hwnd, BM_CLICK, 0, 0);
        return true;
    }
    if (bResults && IsMenuKey(msg)) {
        SendMessageA(m_hParent, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hParent), -1);
        return true;
    }
    return false;
}
