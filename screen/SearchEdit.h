// The search screen: the two bars, the query history and the engine.
//
// Threads: every field here is read and written by the window's thread only.
// The search itself runs in m_run on a thread of its own, into a record of
// its own; m_engine, which the painters and the pointer tracking read, is
// written by the frame step alone: while the search runs it copies in the
// rows of page 0 that changed since its last look, and when it sees the
// search ended it takes the whole result (CSearchRun).
#pragma once

#include <windows.h>

#include "screen/ResultsAccessible.h"
#include "search/SearchEngin.h"
#include "search/SearchRun.h"

class CDC;

// The line that says in which folder the walked folder, DATA or the one
// chosen, was not found (screen/SearchStatus.cpp), and the line under it that
// offers the folder picker.
void FormatMissingDataFolder(char* pszOut, int nSize, const char* pszName, const char* pszFolder);
inline constexpr char kFolderPickerHint[] =
    "「ファイル」→「フォルダを選択…」で、検索するフォルダを選べます。";

class CSearchEdit {
  public:
    static constexpr int kHistoryEntries = 150;
    static constexpr int kHistoryEntryBytes = 350;
    static constexpr int kFolderBytes = 1024;
    static constexpr int kNoticeBytes = kFolderBytes + 128;

    virtual ~CSearchEdit() {}

    bool m_sub_Create(HWND hParent, HINSTANCE hInstance);
    int m_sub_CheckSearchRequest();
    int m_sub_CheckHistoryCommand();
    // Makes the fonts and lays the two bars out for the window's scale, at
    // the start and after each change of it.
    void m_sub_ApplyScale();
    // Paints the results area and the hit-count box (screen/SearchStatus.cpp).
    void m_sub_DrawScreen(CDC& dc);
    // Whether the paint shows the usage page, and what the hit-count box
    // says, on one line (false when it is empty); for a screen reader.
    bool m_sub_ShowsUsagePage() const;
    bool m_sub_DescribeHitCount(char* pszOut, int nSize) const;

    // The keys that move between the window's places and its shortcuts, as a
    // dialog manager takes them before the message is dispatched: true when
    // the key was used up (screen/KeyboardModel.cpp).
    bool m_sub_TranslateKey(const MSG& msg);
    bool m_sub_CommandKey(int nPlace, WPARAM vk, bool bControl, bool bAlt);
    // The frame step of the keys, characters and menu requests that the main
    // window recorded (screen/ResultsKeys.cpp).
    int m_sub_CheckKeyboard();

    HWND m_hSearchBar;
    HWND m_hHistoryBar;
    HWND m_hParent;
    // At the window's scale: the bars' controls' font and the results' one.
    HFONT m_hBarFont;
    HFONT m_hResultsFont;
    CSearchEngin m_engine;
    char m_history[kHistoryEntries][kHistoryEntryBytes];
    int m_nHistory;
    int m_nHistoryCursor;

    // The search under way, and what the screen shows of it.
    CSearchRun m_run;
    char m_szShownQuery[CSearchRun::kQueryBytes];  // the query of the result shown
    int m_nProgressShown;                          // the count the box shows while searching
    long long m_llProgressShownAt;                 // when it was last changed, in milliseconds
    char m_szFolderWithoutData[kFolderBytes];      // where DATA was looked for and not found
    int m_nSearchesEnded = 0;                      // hand-overs so far, for a reader to hear each
    // Written by the frame step once the window is painted (m_sub_NoteRowsShown).
    unsigned char m_bResultUnpainted;  // 1 from a search's hand-over until its first paint
    int m_nRowsPainted;                // the rows present at the last paint
    // The paths of those rows, as they were painted.
    char m_szPaintedPaths[CSearchEngin::kRowsPerPage][sizeof ResultItem::szPath];
    // What a screen reader reads of the results area (WM_GETOBJECT).
    CResultsAccessible m_accessible;

    // Where the search walks and how it matches. The folder is kept as the
    // current folder (its parent) and m_run.folder (its name, DATA from the
    // start, as the rows' paths begin), the options
    // as m_run.options; all are written only by the calls below, on the
    // window's thread (screen/SearchFolder.cpp, screen/OptionItems.cpp).
    // From now on searches walk this folder; a search under way is stopped
    // first and the folder taken once it has ended. A folder that cannot be
    // searched is refused with a box and the folder searched stays.
    void m_sub_AskFolder(const char* pszPath);
    // Asks the system's folder picker, and takes the folder chosen.
    void m_sub_ChooseFolder();
    // The command of an option's check item: turns that option over.
    void m_sub_ToggleOption(UINT nId);
    // The folder searched as the caption names it; empty for DATA.
    char m_szFolderShown[kFolderBytes];
    // A folder asked for while a search ran, taken when it has ended.
    char m_szFolderAsked[kFolderBytes];

  private:
    // screen/SearchFolder.cpp
    void m_sub_TakeAskedFolder();
    bool m_sub_EnterFolder(const char* pszPath);
    void m_sub_ShowCaption();
    // screen/OptionItems.cpp
    void m_sub_ShowOptionMarks();

    // screen/SearchProgress.cpp
    void m_sub_StartSearch(const char* pszQuery);
    void m_sub_FollowSearch();
    void m_sub_ShowLiveRows();
    void m_sub_EndSearch();
    void m_sub_ShowProgress();
    void m_sub_NoteFolderWithoutData();
    void m_sub_DropClickOnUnseen();
    bool m_sub_RowSeen(int nRow) const;
    void m_sub_NoteRowsShown();

    // screen/KeyboardModel.cpp
    int m_sub_PlaceOf(HWND hWnd) const;
    bool m_sub_PlaceAvailable(int nPlace) const;
    void m_sub_FocusPlace(int nPlace);
    void m_sub_FocusSearchBox(bool bSelectAll);
    void m_sub_SelectRow(int nRow);
    // screen/ResultsKeys.cpp
    void m_sub_RowKey(int nKey);
    void m_sub_StripKey(int nKey);
    void m_sub_TurnPage(int nPage, int nRow);
    void m_sub_HandOverCharacter(WPARAM ch);
    // screen/SearchStatus.cpp
    void m_sub_DrawKeyboardFocus(HDC hDC) const;
    // screen/RowMenu.cpp
    void m_sub_ShowRowMenu(int nRequest);
};
