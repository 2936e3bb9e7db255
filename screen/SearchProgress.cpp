// A search while the window goes on: its start from the frame step, the rows
// of page 0 as it finds them, the progress in the hit-count box, the stop, the
// hand-over of its results, and a word when it ended short, left entries out
// or found no DATA.
// All of it runs on the window's thread; the search's own thread touches
// nothing here (see CSearchRun).
#include <cstdio>
#include <cstring>

#include <sorahiki/listing.h>

#include "res/resource.h"
#include "screen/FolderPaths.h"
#include "screen/KeyboardFocus.h"
#include "screen/RowHitTest.h"
#include "screen/ScreenGlobals.h"
#include "screen/ScreenLayout.h"
#include "screen/SearchEdit.h"
#include "screen/SteadyClock.h"
#include "window/Window.h"

namespace {

// The count so far is shown again at most this often, at least four times a
// second while it grows.
constexpr long long kProgressPeriodMs = 100;

// The pointer says that work goes on in the background; it changes at once,
// and the main window's procedure keeps it so while the pointer moves.
void ShowSearchPointer(bool bSearching) {
    SetCursor(LoadCursorA(nullptr, bSearching ? IDC_APPSTARTING : IDC_ARROW));
}

void InvalidateResultsAndCount(HWND hWnd) {
    screen_layout::InvalidateResultsBand(hWnd);
    screen_layout::InvalidateHitCount(hWnd);
}

// The folder where the walked folder (DATA, or the one chosen) was looked
// for when it is not there, else an empty text.
void NoteFolderWithoutData(const char* pszWalked, char* pszFolder, int nBytes) {
    pszFolder[0] = '\0';
    if (!FolderMissing(pszWalked)) return;
    const DWORD nLength =
        GetFullPathNameA(pszWalked, static_cast<DWORD>(nBytes), pszFolder, nullptr);
    if (nLength == 0 || nLength >= static_cast<DWORD>(nBytes)) {
        std::strcpy(pszFolder, ".");
        return;
    }
    CutLastName(pszFolder);
}

// Why a search ended early for want of descriptors or memory, or nullptr:
// the rows show the hits found until then, and the box says they are not all.
const char* CutShortReason(const CSearchEngin& engine) {
    if (engine.m_bTooManyOpenFiles) return "開いているファイルが多すぎる";
    if (engine.m_bOutOfMemory) return "メモリーが足りない";
    return nullptr;
}

// Room for the paths a record names and the lines around them.
constexpr size_t kFaultTextBytes = limits::kNamedLeftOut * (limits::kLongPathBytes + 32) + 512;
using FaultText = char[kFaultTextBytes];

template <typename... Args>
void Append(FaultText& szText, const char* pszFormat, Args... args) {
    const size_t nUsed = std::strlen(szText);
    std::snprintf(szText + nUsed, kFaultTextBytes - nUsed, pszFormat, args...);
}

const char* LeftOutReason(bool bTooLong) {
    return bTooLong ? "パスが長すぎる" : "読めなかった";
}

// What the search left out: how many of each kind, the first ones by their
// paths as the rows show them and why, and how many more.
void DescribeLeftOut(const LeftOutEntries& leftOut, FaultText& szText) {
    Append(szText, "次の %d 件は検索できなかったため、結果に入っていません（", leftOut.Count());
    const char* pszSeparator = "";
    if (leftOut.nUnreadable > 0) {
        Append(szText, "%s %d 件", LeftOutReason(false), leftOut.nUnreadable);
        pszSeparator = "、";
    }
    if (leftOut.nTooLong > 0) {
        Append(szText, "%s%s %d 件", pszSeparator, LeftOutReason(true), leftOut.nTooLong);
    }
    Append(szText, "%s", "）。");
    for (int i = 0; i < leftOut.NamedCount(); ++i) {
        const LeftOutEntries::Named& named = leftOut.named[i];
        Append(szText, "\n%s（%s）", named.szPath, LeftOutReason(named.bTooLong != 0));
    }
    const int nUnnamed = leftOut.Count() - leftOut.NamedCount();
    if (nUnnamed > 0) Append(szText, "\nほか %d 件", nUnnamed);
}

// Whatever the CLI would warn of is said once the search has ended, in one
// box: an end for want of descriptors or memory, and the entries left out.
void ReportFaults(HWND hOwner, const CSearchEngin& engine) {
    const char* pszCutShort = CutShortReason(engine);
    if (pszCutShort == nullptr && engine.m_leftOut.Count() == 0) return;
    FaultText szText = "";
    if (pszCutShort != nullptr) {
        Append(szText,
               "%sため、検索を途中で終えました。\n"
               "表示しているのは、それまでに見つかったファイルだけです。",
               pszCutShort);
    }
    if (pszCutShort != nullptr && engine.m_leftOut.Count() > 0) Append(szText, "%s", "\n\n");
    if (engine.m_leftOut.Count() > 0) DescribeLeftOut(engine.m_leftOut, szText);
    MessageBoxA(hOwner, szText, "エラーメッセージ", MB_OK);
}

}  // namespace

// The rows of the last result leave at once: the shown record is emptied,
// and fills with the new search's rows as they are found.
void CSearchEdit::m_sub_StartSearch(const char* pszQuery) {
    if (!m_run.Start(pszQuery)) return;
    static_cast<CSearchRecord&>(m_engine) = CSearchRecord{};
    m_nRowsPainted = 0;
    // A keyboard user's selection starts again on the first row to come.
    ForgetKeyboardRow();
    if (g_bKeyboardMovedLast) m_sub_SelectRow(0);
    g_bSearchButtonPressed = 0;  // the press that asked for this search
    SetWindowTextA(GetDlgItem(m_hSearchBar, IDC_SEARCH_BUTTON), "中止");
    ShowSearchPointer(true);
    m_nProgressShown = 0;
    m_llProgressShownAt = MillisecondsNow();
    m_sub_NoteFolderWithoutData();
    InvalidateResultsAndCount(m_hParent);
    // A search that could not have a thread has ended already.
    m_sub_FollowSearch();
}

// The button, pressed while a search runs, reads "中止" and stops it.
void CSearchEdit::m_sub_FollowSearch() {
    // A press that stops is no search click: a press soon after may search.
    if (g_bSearchButtonPressed == 1) {
        m_run.Stop();
        g_llSearchClickedAt = kNoSearchClick;
    }
    g_bSearchButtonPressed = 0;
    if (m_run.HandOver(m_engine, m_szShownQuery)) {
        m_sub_EndSearch();
        return;
    }
    m_sub_ShowLiveRows();
    m_sub_ShowProgress();
}

// While the search runs the shown record holds the rows of page 0 as the
// search knows them, and counts them as its hits, so that they are drawn,
// numbered and highlighted as the rows of a finished search are. A row that a
// later word drops goes at once and the rows after it move up. The hit-count
// box shows the progress instead.
void CSearchEdit::m_sub_ShowLiveRows() {
    int nRows = 0;
    if (!m_run.CopyLiveRows(m_engine.m_items, nRows)) return;
    for (int r = 0; r < CSearchEngin::kRowsPerPage; ++r) m_engine.m_hitFlags[r] = r < nRows ? 1 : 0;
    m_engine.m_nHits = nRows;
    screen_layout::InvalidateResultsBand(m_hParent);
}

// While a search runs, and from its hand-over until its result is painted,
// a row acts only when the file painted there is still there: a row moved up
// by a drop, or one not painted yet, waits for its paint. Page links and
// labels wait for the painted result: their pages are not made before.
bool CSearchEdit::m_sub_RowSeen(int nRow) const {
    if (!m_run.Running() && !m_bResultUnpainted) return nRow >= 0;
    return nRow >= 0 && nRow < m_nRowsPainted &&
           listed::SamePath(m_engine.m_items[nRow].szPath, m_szPaintedPaths[nRow]);
}

// Once nothing of the main window waits to be painted, the rows present are
// on screen: the frame step notes it, after the paint and before any input
// that follows it; painting itself writes nothing that input reads.
void CSearchEdit::m_sub_NoteRowsShown() {
    if (GetUpdateRect(m_hParent, nullptr, FALSE)) return;
    m_bResultUnpainted = 0;
    m_nRowsPainted = PresentRowCount(m_engine);
    for (int r = 0; r < m_nRowsPainted; ++r) {
        listed::CopyPath(m_engine.m_items[r].szPath, m_szPaintedPaths[r],
                         sizeof m_szPaintedPaths[r]);
    }
}

void CSearchEdit::m_sub_DropClickOnUnseen() {
    m_sub_NoteRowsShown();
    if (!m_run.Running() && !m_bResultUnpainted) return;
    if (!m_sub_RowSeen(PresentRowAt(m_engine, POINT{g_nMouseX, g_nMouseY}))) g_bLeftClick = 0;
}

void CSearchEdit::m_sub_ShowProgress() {
    const int nHits = m_run.HitsSoFar();
    const long long llNow = MillisecondsNow();
    if (nHits == m_nProgressShown || llNow - m_llProgressShownAt < kProgressPeriodMs) return;
    m_nProgressShown = nHits;
    m_llProgressShownAt = llNow;
    screen_layout::InvalidateHitCount(m_hParent);
}

void CSearchEdit::m_sub_EndSearch() {
    ++m_nSearchesEnded;
    SetWindowTextA(GetDlgItem(m_hSearchBar, IDC_SEARCH_BUTTON), "検索");
    ShowSearchPointer(false);
    m_sub_NoteFolderWithoutData();
    m_bResultUnpainted = 1;
    InvalidateResultsAndCount(m_hParent);
    // The box's own loop paints the result behind it.
    ReportFaults(m_hParent, m_engine);
}

void CSearchEdit::m_sub_NoteFolderWithoutData() {
    NoteFolderWithoutData(m_run.folder, m_szFolderWithoutData, kFolderBytes);
}
