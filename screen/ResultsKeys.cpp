// The frame step of the keyboard on the main window's own client area: ↑ and
// ↓ move the selected row (turning the page at its ends), PageUp and
// PageDown turn pages, Home and End go to the first and the last page, Enter
// opens the selected row's file; on the page strip ← and → choose a page
// link or label and Enter or Space follows it. A character typed there goes
// to the search box, and a row's menu asked for opens.
#include "res/resource.h"
#include "screen/KeyboardFocus.h"
#include "screen/PageLabels.h"
#include "screen/RowHitTest.h"
#include "screen/ScreenLayout.h"
#include "screen/SearchEdit.h"
#include "screen/ShellOpen.h"

namespace {

namespace layout = screen_layout;

int LastPage(const CSearchEngin& engine) {
    int nPage = engine.m_nPage;
    while (IsPagePresent(engine, nPage + 1)) ++nPage;
    return nPage;
}

// The page a key asks for, from the page shown; -1 for a key that turns none.
int PageForKey(const CSearchEngin& engine, int nKey) {
    switch (nKey) {
        case VK_PRIOR:
            return engine.m_nPage > 0 ? engine.m_nPage - 1 : -1;
        case VK_NEXT:
            return IsNextLabelActive(engine) ? engine.m_nPage + 1 : -1;
        case VK_HOME:
            return 0;
        case VK_END:
            return LastPage(engine);
        default:
            return -1;
    }
}

}  // namespace

int CSearchEdit::m_sub_CheckKeyboard() {
    const int nKey = g_nResultsKey;
    const WPARAM ch = g_nTypedChar;
    const int nMenuRequest = g_nRowMenuRequest;
    g_nResultsKey = 0;
    g_nTypedChar = 0;
    g_nRowMenuRequest = kRowMenuNone;
    // Space follows a page link: its character is no text for the box.
    if (ch != 0 && !(ch == ' ' && g_nClientFocusPlace == kFocusPageStrip)) {
        m_sub_HandOverCharacter(ch);
    }
    if (nKey != 0 && (g_nResultsKeyModifiers & kModAlt) == 0) {
        if (g_nClientFocusPlace == kFocusPageStrip) {
            m_sub_StripKey(nKey);
        } else {
            m_sub_RowKey(nKey);
        }
    }
    if (nMenuRequest != kRowMenuNone) m_sub_ShowRowMenu(nMenuRequest);
    return 0;
}

// Pages are made only once a search has handed its result over: while it
// runs the rows shown are its first ones, and no page turns.
void CSearchEdit::m_sub_TurnPage(int nPage, int nRow) {
    if (m_run.Running() || nPage < 0 || !IsPagePresent(m_engine, nPage)) return;
    TurnToPage(m_engine, nPage, m_hParent);
    if (nRow >= 0) {
        const int nRows = PresentRowCount(m_engine);
        m_sub_SelectRow(nRow < nRows ? nRow : nRows - 1);
    }
}

void CSearchEdit::m_sub_RowKey(int nKey) {
    const int nRows = PresentRowCount(m_engine);
    if (nRows == 0) return;
    const int nSelected = m_engine.m_nHoverItem;
    const bool bSelected = nSelected >= 0 && nSelected < nRows;
    const int nPage = m_engine.m_nPage;
    switch (nKey) {
        case VK_DOWN:
            if (!bSelected) {
                m_sub_SelectRow(0);
            } else if (nSelected + 1 < nRows) {
                m_sub_SelectRow(nSelected + 1);
            } else if (IsNextLabelActive(m_engine)) {
                m_sub_TurnPage(nPage + 1, 0);
            }
            return;
        case VK_UP:
            if (!bSelected) {
                m_sub_SelectRow(0);
            } else if (nSelected > 0) {
                m_sub_SelectRow(nSelected - 1);
            } else if (nPage > 0) {
                m_sub_TurnPage(nPage - 1, layout::kRows - 1);
            }
            return;
        case VK_RETURN:
            if (bSelected && m_sub_RowSeen(nSelected)) {
                OpenWithShell(m_hParent, m_engine.m_items[nSelected].szPath);
            }
            return;
        case VK_HOME:
            m_sub_TurnPage(0, 0);
            return;
        case VK_END:
            m_sub_TurnPage(LastPage(m_engine), layout::kRows - 1);
            return;
        default:
            m_sub_TurnPage(PageForKey(m_engine, nKey), bSelected ? nSelected : 0);
            return;
    }
}

// The strip's elements in their order on the screen: "前へ", the page cells,
// "次へ"; ← and → pass over those that are not active.
void CSearchEdit::m_sub_StripKey(int nKey) {
    int nFocus = g_nStripFocus;
    if (nKey == VK_LEFT || nKey == VK_RIGHT) {
        const int nStep = nKey == VK_LEFT ? -1 : 1;
        for (int n = nFocus + nStep; n >= kStripPrevLabel && n <= kStripNextLabel; n += nStep) {
            if (!IsStripElementActive(m_engine, n)) continue;
            nFocus = n;
            break;
        }
    } else if (nKey == VK_RETURN || nKey == VK_SPACE) {
        if (!IsStripElementActive(m_engine, nFocus)) return;
        const int nPage = nFocus == kStripPrevLabel   ? m_engine.m_nPage - 1
                          : nFocus == kStripNextLabel ? m_engine.m_nPage + 1
                                                      : m_engine.m_nPage + nFocus;
        m_sub_TurnPage(nPage, -1);
        // A page link stands for another page once the strip has moved on:
        // the keyboard goes to the link of the page now shown.
        if (nFocus != kStripPrevLabel && nFocus != kStripNextLabel) nFocus = 0;
    } else {
        m_sub_TurnPage(PageForKey(m_engine, nKey), -1);
    }
    if (!IsStripElementActive(m_engine, nFocus)) nFocus = 0;
    if (nFocus != g_nStripFocus) {
        MoveStripFocus(nFocus);
        layout::InvalidateResultsBand(m_hParent);
    }
}

// A character typed while the results had the keyboard starts the search
// box's text from there: the box takes the keyboard, with the caret after
// its text, and the character.
void CSearchEdit::m_sub_HandOverCharacter(WPARAM ch) {
    HWND hEdit = GetDlgItem(m_hSearchBar, IDC_SEARCH_EDIT);
    if (hEdit == nullptr) return;
    if (GetFocus() != hEdit) {
        SetFocus(hEdit);
        const int nEnd = GetWindowTextLengthA(hEdit);
        SendMessageA(hEdit, EM_SETSEL, static_cast<WPARAM>(nEnd), nEnd);
    }
    SendMessageA(hEdit, WM_CHAR, ch, 1);
}
