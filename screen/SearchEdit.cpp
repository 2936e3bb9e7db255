// The search screen's input side: creating the two bars, and the two frame
// steps that carry out what the bars recorded, a new search or a move through
// the query history.
#include "screen/SearchEdit.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "res/resource.h"
#include "screen/ScreenFonts.h"
#include "screen/ScreenGlobals.h"
#include "screen/ScreenLayout.h"

namespace {

// The fetched text always ends within its 300 bytes; the bound only keeps a
// missing terminator from running past the 350-byte entry.
constexpr int kHistoryCopyBound = 301;

// The folder searched until another is chosen, beside where the program
// starts.
constexpr char kDataFolder[] = "DATA";

// value * to / from, rounded; positions within a bar are never negative.
int Rescaled(int value, int to, int from) {
    return (value * to + from / 2) / from;
}

bool IsLabel(HWND hControl) {
    char szClass[16] = {};
    GetClassNameA(hControl, szClass, sizeof szClass);
    constexpr char kLabelClass[] = "static";
    for (int i = 0; i < static_cast<int>(sizeof kLabelClass); ++i) {
        if (std::tolower(static_cast<unsigned char>(szClass[i])) != kLabelClass[i]) return false;
    }
    return true;
}

void MoveTo(HWND hWnd, const RECT& rect) {
    MoveWindow(hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

// Each control of a bar is put where it stands at 100 %, scaled, and given
// the bars' font of that scale: the system lays the template out with the
// base units of the dialog font as it has it, at the monitor's scale, which
// may differ from those of 100 % at any scale (under Wine the buttons would
// run past the bar, whose size is fixed, already at 96 dots per inch) and
// are not those of the window's scale where the window is drawn smaller to
// fit the screen. The control's dialog units are read back through the bar's
// own base units and laid out with those of 100 %.
void LayOutControls(HWND hBar, HFONT hFont) {
    RECT units{0, 0, 4, 8};
    MapDialogRect(hBar, &units);
    if (units.right <= 0 || units.bottom <= 0) return;
    RECT bar;
    GetClientRect(hBar, &bar);
    for (HWND hControl = GetWindow(hBar, GW_CHILD); hControl != nullptr;
         hControl = GetWindow(hControl, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(hControl, &rect);
        MapWindowPoints(nullptr, hBar, reinterpret_cast<POINT*>(&rect), 2);
        const RECT atFull{Rescaled(rect.left, screen_layout::kDialogUnitX, units.right),
                          Rescaled(rect.top, screen_layout::kDialogUnitY, units.bottom),
                          Rescaled(rect.right, screen_layout::kDialogUnitX, units.right),
                          Rescaled(rect.bottom, screen_layout::kDialogUnitY, units.bottom)};
        RECT scaled = screen_layout::Scaled(atFull);
        // A label draws no frame: it may run on to the bar's right edge, as
        // its text in the face that the system has may need more room than
        // the template gives it.
        if (IsLabel(hControl)) scaled.right = std::max(scaled.right, bar.right);
        MoveTo(hControl, scaled);
        SendMessageA(hControl, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), TRUE);
    }
}

// The bar's rectangle is at 100 %; the bar stands at the window's scale.
void PlaceBar(HWND hBar, const RECT& rect, HFONT hFont) {
    MoveTo(hBar, screen_layout::Scaled(rect));
    LayOutControls(hBar, hFont);
}

void ShowBar(HWND hBar) {
    ShowWindow(hBar, SW_SHOW);
    SetActiveWindow(hBar);
}

void CopyQuery(char* pszEntry, const char* pszText) {
    int n = 0;
    while (n < kHistoryCopyBound && pszText[n] != '\0') {
        pszEntry[n] = pszText[n];
        ++n;
    }
    pszEntry[n] = '\0';
}

void ResetSearchState(CSearchEngin& engine) {
    engine.m_bNoHit = 0;
    engine.m_pszQuery = nullptr;
    engine.m_nWords = 0;
    engine.m_nWordIndex = 0;
    engine.m_nHits = 0;
    engine.m_nCandidates = 0;
    engine.m_nHoverItem = 0;
    engine.m_nHoverPage = 0;
    engine.m_nHoverArrow = 0;
}

}  // namespace

bool CSearchEdit::m_sub_Create(HWND hParent, HINSTANCE hInstance) {
    m_hSearchBar =
        CreateDialogParamA(hInstance, MAKEINTRESOURCEA(IDD_SEARCHBAR), hParent, SearchBarProc, 0);
    m_hHistoryBar =
        CreateDialogParamA(hInstance, MAKEINTRESOURCEA(IDD_HISTORYBAR), hParent, HistoryBarProc, 0);
    m_sub_ApplyScale();
    ShowBar(m_hSearchBar);
    ShowBar(m_hHistoryBar);

    ResetSearchState(m_engine);
    g_bSearchRequested = 0;
    g_nHistoryCommand = kHistoryNone;
    m_nHistory = 0;

    m_hParent = hParent;
    std::strcpy(m_run.folder, kDataFolder);
    m_accessible.m_sub_Attach(this, hParent);
    // A program started away from its DATA says so before the first search.
    m_sub_NoteFolderWithoutData();
    m_sub_ShowOptionMarks();
    // The keyboard starts in the search box, so that typing begins a query.
    SetFocus(GetDlgItem(m_hSearchBar, IDC_SEARCH_EDIT));
    return true;
}

void CSearchEdit::m_sub_ApplyScale() {
    const HFONT hOldBarFont = m_hBarFont;
    const HFONT hOldResultsFont = m_hResultsFont;
    m_hBarFont = MakeBarFont();
    m_hResultsFont = MakeResultsFont();
    PlaceBar(m_hSearchBar, screen_layout::kSearchBar, m_hBarFont);
    PlaceBar(m_hHistoryBar, screen_layout::kHistoryBar, m_hBarFont);
    // Only now that no control holds them may the fonts of the old scale go.
    if (hOldBarFont != nullptr) DeleteObject(hOldBarFont);
    if (hOldResultsFont != nullptr) DeleteObject(hOldResultsFont);
}

// While a search runs, this step follows it instead, and a request made
// meanwhile is dropped (the run itself refuses a second start).
int CSearchEdit::m_sub_CheckSearchRequest() {
    if (m_run.Running()) {
        m_sub_FollowSearch();
    } else if (g_bSearchRequested == 1) {
        // A full history gives up its oldest entry, so the newest query is
        // always kept and nothing is written past the last entry.
        if (m_nHistory == kHistoryEntries) {
            std::memmove(m_history[0], m_history[1], sizeof m_history - sizeof m_history[0]);
            --m_nHistory;
        }
        CopyQuery(m_history[m_nHistory], g_szSearchText);
        ++m_nHistory;
        m_nHistoryCursor = m_nHistory - 1;
        m_sub_StartSearch(m_history[m_nHistory - 1]);
    }
    g_bSearchRequested = 0;
    g_bSearchButtonPressed = 0;
    m_sub_TakeAskedFolder();
    m_sub_DropClickOnUnseen();
    return 0;
}

int CSearchEdit::m_sub_CheckHistoryCommand() {
    int nTarget = -1;
    if (m_run.Running()) {
        g_nHistoryCommand = kHistoryNone;
        return 0;
    }
    if (g_nHistoryCommand == kHistoryBack && m_nHistory > 0 && m_nHistoryCursor > 0) {
        nTarget = m_nHistoryCursor - 1;
    } else if (g_nHistoryCommand == kHistoryForward && m_nHistoryCursor < m_nHistory - 1) {
        // Forward goes as far as the newest entry, however long the history.
        nTarget = m_nHistoryCursor + 1;
    }

    if (nTarget >= 0) {
        // Setting the text does not submit it: the edit box's change
        // notification is not acted on by the search bar.
        SetWindowTextA(GetDlgItem(m_hSearchBar, IDC_SEARCH_EDIT), m_history[nTarget]);
        m_nHistoryCursor = nTarget;
        m_sub_StartSearch(m_history[nTarget]);
    }
    g_nHistoryCommand = kHistoryNone;
    m_sub_DropClickOnUnseen();
    return 0;
}
