// The search screen's input side: creating the two bars, and the two frame
// steps that carry out what the bars recorded, a new search or a move through
// the query history.
#include "screen/SearchEdit.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "res/resource.h"
#include "screen/ScreenGlobals.h"
#include "screen/ScreenLayout.h"

namespace {

// The fetched text always ends within its 300 bytes; the bound only keeps a
// missing terminator from running past the 350-byte entry.
constexpr int kHistoryCopyBound = 301;

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

// At another scale than 100 % each control of a bar is put where it stands at
// 100 %, scaled: the system lays the template out with the base units of the
// dialog font at its own scale, which grow out of step with the scale (under
// Wine at 150 % the buttons would run past the bar, whose size is fixed).
// The control's dialog units are read back through the bar's own base units
// and laid out with those of 100 %.
void ScaleControls(HWND hBar) {
    RECT units{0, 0, 4, 8};
    MapDialogRect(hBar, &units);
    if (units.right <= 0 || units.bottom <= 0) return;
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
        // A label draws no frame that could run past the bar: it keeps the
        // width that the system gave it for its text at this scale.
        if (IsLabel(hControl)) {
            scaled.right = std::max(scaled.right, scaled.left + (rect.right - rect.left));
        }
        MoveTo(hControl, scaled);
    }
}

// The bar's rectangle is at 100 %; the bar stands at the window's scale.
void PlaceBar(HWND hBar, const RECT& rect) {
    MoveTo(hBar, screen_layout::Scaled(rect));
    if (g_nScreenDpi != screen_layout::kBaseDpi) ScaleControls(hBar);
}

HWND CreateBar(HWND hParent, HINSTANCE hInstance, int nTemplate, DLGPROC pProc, const RECT& rect) {
    HWND hBar = CreateDialogParamA(hInstance, MAKEINTRESOURCEA(nTemplate), hParent, pProc, 0);
    PlaceBar(hBar, rect);
    ShowWindow(hBar, SW_SHOW);
    SetActiveWindow(hBar);
    return hBar;
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
        CreateBar(hParent, hInstance, IDD_SEARCHBAR, SearchBarProc, screen_layout::kSearchBar);
    m_hHistoryBar =
        CreateBar(hParent, hInstance, IDD_HISTORYBAR, HistoryBarProc, screen_layout::kHistoryBar);

    ResetSearchState(m_engine);
    g_bSearchRequested = 0;
    g_nHistoryCommand = kHistoryNone;
    m_nHistory = 0;

    m_hParent = hParent;
    m_accessible.m_sub_Attach(this, hParent);
    // A program started away from its DATA says so before the first search.
    m_sub_NoteFolderWithoutData();
    // The keyboard starts in the search box, so that typing begins a query.
    SetFocus(GetDlgItem(m_hSearchBar, IDC_SEARCH_EDIT));
    return true;
}

void CSearchEdit::m_sub_PlaceBars() {
    PlaceBar(m_hSearchBar, screen_layout::kSearchBar);
    PlaceBar(m_hHistoryBar, screen_layout::kHistoryBar);
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
