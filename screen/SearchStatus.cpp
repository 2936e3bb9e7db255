// What the main window's paint draws of the search screen: the results or the
// usage page, the line that says where no DATA folder was found, and over the
// hit-count box the progress of a search under way or the mark of one that
// was stopped.
#include <cstdio>

#include "screen/HitCountBox.h"
#include "screen/KeyboardFocus.h"
#include "screen/RowHitTest.h"
#include "screen/PageLabels.h"
#include "screen/ScreenLayout.h"
#include "screen/ScreenText.h"
#include "screen/SearchEdit.h"
#include "screen/UsagePage.h"
#include "window/DC.h"

namespace {

constexpr int kNoticeX = 20;
constexpr int kNoticeY = 50;
constexpr int kNoticeLineHeight = 24;

// One line in place of the results and the usage page, so that a person who
// started the program in another folder sees where it looked, from the start
// on; the count of 0 once a search has looked there.
// The line under it offers the folder picker.
void DrawMissingDataFolder(HDC hDC, const char* pszName, const char* pszFolder, bool bSearched) {
    if (bSearched) DrawHitCount(hDC, 0, false);
    char szLine[CSearchEdit::kNoticeBytes];
    FormatMissingDataFolder(szLine, sizeof szLine, pszName, pszFolder);
    DrawString(hDC, kNoticeX, kNoticeY, szLine);
    DrawFixedText(hDC, kNoticeX, kNoticeY + kNoticeLineHeight, kFolderPickerHint);
}

RECT Inset(RECT rect) {
    rect.left += screen_layout::kFocusFrameInset;
    rect.top += screen_layout::kFocusFrameInset;
    rect.right -= screen_layout::kFocusFrameInset;
    rect.bottom -= screen_layout::kFocusFrameInset;
    return rect;
}

RECT StripElementRect(int nElement) {
    if (nElement == kStripPrevLabel) return screen_layout::kPrevLabel;
    if (nElement == kStripNextLabel) return screen_layout::kNextLabel;
    return screen_layout::PageCellRect(nElement);
}

}  // namespace

// While the main window has the keyboard, a dotted frame marks where: the
// selected row once a key moved it, or the chosen page link or label.
void CSearchEdit::m_sub_DrawKeyboardFocus(HDC hDC) const {
    if (GetFocus() != m_hParent || m_nHistory == 0 || m_szFolderWithoutData[0] != '\0') return;
    if (g_nClientFocusPlace == kFocusPageStrip) {
        const int nElement = g_nStripFocus;
        if (IsStripElementActive(m_engine, nElement)) {
            const RECT frame = screen_layout::Scaled(Inset(StripElementRect(nElement)));
            DrawFocusRect(hDC, &frame);
        }
        return;
    }
    const int nRow = SelectedRow(m_engine);
    if (!g_bKeyboardMovedLast || nRow < 0) return;
    const RECT frame = screen_layout::Scaled(Inset(screen_layout::RowRect(nRow)));
    DrawFocusRect(hDC, &frame);
}

void FormatMissingDataFolder(char* pszOut, int nSize, const char* pszName, const char* pszFolder) {
    std::snprintf(pszOut, static_cast<size_t>(nSize),
                  "%s という名前のフォルダーが見つかりません（探した場所：%s）", pszName,
                  pszFolder);
}

// Follows the choices of m_sub_DrawScreen below and of m_sub_DrawResults.
bool CSearchEdit::m_sub_ShowsUsagePage() const {
    if (m_szFolderWithoutData[0] != '\0') return false;
    return m_nHistory == 0 || (m_engine.m_nHits <= 0 && m_engine.m_bNoHit == 1);
}

bool CSearchEdit::m_sub_DescribeHitCount(char* pszOut, int nSize) const {
    const char* pszCaption = "総ヒット数";
    int nCount = m_engine.m_nHits;
    const char* pszMark = m_engine.m_bHitCap != 0 ? "以上" : "";
    if (m_run.Running()) {
        pszCaption = "検索中";
        nCount = m_nProgressShown;
        pszMark = "";
    } else if (m_run.WasStopped()) {
        pszMark = "（中止）";
    } else if (m_szFolderWithoutData[0] != '\0') {
        if (m_nHistory == 0) return false;
        nCount = 0;
        pszMark = "";
    } else if (m_engine.m_nHits <= 0 && m_engine.m_bNoHit != 1) {
        return false;
    }
    std::snprintf(pszOut, static_cast<size_t>(nSize), "%s %d　件%s", pszCaption, nCount, pszMark);
    return true;
}

void CSearchEdit::m_sub_DrawScreen(CDC& dc) {
    const HGDIOBJ hSystemFont = SelectObject(dc.m_hDC, m_hResultsFont);
    if (m_szFolderWithoutData[0] != '\0') {
        DrawMissingDataFolder(dc.m_hDC, m_run.folder, m_szFolderWithoutData, m_nHistory > 0);
    } else {
        m_engine.m_sub_DrawResults(dc);
        // Before the first search the results area shows how to use it; a
        // search under way shows its rows as they come, on a blank area.
        if (m_nHistory == 0) DrawUsagePage(dc);
        m_sub_DrawKeyboardFocus(dc.m_hDC);
    }
    if (m_run.Running()) {
        DrawSearchProgress(dc.m_hDC, m_nProgressShown);
    } else if (m_run.WasStopped()) {
        DrawStoppedCount(dc.m_hDC, m_engine.m_nHits);
    }
    SelectObject(dc.m_hDC, hSystemFont);
}
