// The search engine and its state: the parsed words, the hit lists of the
// passes, the page map and the ten rows of the page shown. The engine's own
// members are defined in this folder, its painting and pointer tracking in
// screen/. Every buffer is a
// fixed array inside the object, so a search allocates nothing. One thread
// at a time uses the record; while a search runs on a thread of its own,
// another may only stop it and read its count (m_pControl).
#pragma once

#include <windows.h>

class CDC;
class CReadAhead;
struct CSearchControl;

// One row of the page shown.
struct ResultItem {
    char szTitle[210];    // the file's first line
    char szContent[610];  // the excerpt that follows the title
    char szExtra[610];    // cleared with the row, never filled
    char szPath[1010];    // the file's path as the folder walk found it
    unsigned char bPresent;
};

class CSearchEngin {
  public:
    static constexpr int kMaxWords = 10;
    static constexpr int kWordSlot = 250;
    static constexpr int kMaxWordBytes = 20;
    static constexpr int kMaxHits = 1010;
    static constexpr int kPathSlot = 210;
    static constexpr int kRowsPerPage = 10;
    static constexpr int kMaxPages = kMaxHits / kRowsPerPage;
    static constexpr int kTextLimit = 2001;
    static constexpr int kTitleLimit = 81;
    static constexpr int kExcerptLimit = 85;

    virtual ~CSearchEngin() {}

    // The search (query parsing, folder scan and filter passes).
    bool m_sub_Search(const char* pszQuery);
    int m_sub_ScanFolder(const char* pszFolder);
    int m_sub_TestFile(const char* pszPath);
    int m_sub_MatchWord(const char* pszText, const char* pszWord);

    // Paging of the hits into rows.
    int m_sub_MakePages();
    int m_sub_LoadPage();

    // The results screen and the pointer tracking over it, defined with the
    // search screen: screen/ResultsPainter.cpp and screen/PointerTracker.cpp.
    bool m_sub_DrawResults(CDC& dc);
    int m_sub_TrackPointer(HWND hWnd);

    unsigned char m_bNoHit;
    const char* m_pszQuery;
    int m_nWords;
    int m_nChar;
    char m_szPath[2000];
    int m_nWordIndex;
    char m_words[kMaxWords][kWordSlot];
    char m_hitPaths[kMaxHits][kPathSlot];
    int m_nHits;
    char m_candPaths[kMaxHits][kPathSlot];
    int m_nCandidates;
    ResultItem m_items[kRowsPerPage];
    unsigned char m_hitFlags[kMaxHits];
    int m_nPage;
    int m_nHoverItem;
    int m_nHoverPage;
    int m_nHoverArrow;

    // Called, when set, for each folder or file that the walk cannot read,
    // with its path and the system's error code. The window leaves it unset.
    using ReadFailureHook = void (*)(const char* pszPath, DWORD dwError);
    ReadFailureHook m_pfnOnReadFailure;

    // When set, a search that runs on a thread of its own can be watched and
    // stopped from another (see CSearchControl). The CLI leaves it unset.
    CSearchControl* m_pControl;

  private:
    static constexpr int kTextBuffer = 2100;
    // A walk of paths shorter than kPathSlot bytes is never deeper than this.
    static constexpr int kMaxFolderDepth = kPathSlot / 2;
    // The folders one search walks are remembered up to kMaxWalked, in an
    // open-addressing table kept at most half full.
    static constexpr int kMaxWalked = 8192;
    static constexpr int kWalkedSlots = 2 * kMaxWalked;

    struct FolderTrail;
    class PassReader;

    // The title and the excerpt of a hit on the first page as the search read
    // them, so that the rows shown right after a search need no second read.
    struct ScanRow {
        char szTitle[kTitleLimit + 1];
        char szContent[kExcerptLimit + 1];
        bool bKnown;
    };
    ScanRow m_scanRows[kRowsPerPage];

    // What identifies a folder, however it was reached; `search` tells which
    // search filled the slot, so the table needs no clearing between searches.
    struct WalkedFolder {
        DWORD volume;
        DWORD indexHigh;
        DWORD indexLow;
        DWORD search;
    };

    int m_sub_GetQueryChar();
    void m_sub_ParseWords();
    void m_sub_ApplyFilterPasses();
    int m_sub_ScanFolder(const char* pszFolder, FolderTrail& trail);
    int m_sub_ListFolder(const char* pszFolder, FolderTrail& trail);
    template <typename Walk>
    void m_sub_RunPass(Walk walk);
    void m_sub_TestFileInTurn(const char* pszPath, CReadAhead* pReadAhead);
    void m_sub_TestCandidates();
    bool m_sub_Keeps(const char* pszText) const;
    bool m_sub_HoldsOtherWords(const char* pszText) const;
    void m_sub_RecordHit();
    bool m_sub_StopAsked() const;
    void m_sub_LoadRow(ResultItem& item);
    void m_sub_FillPage(bool fromScan);
    void m_sub_KeepScanRow(int hit, const char* text, int firstLine, bool nulEndsLine);
    void m_sub_ForgetScanRows();
    void m_sub_BeginWalk();
    bool m_sub_MarkWalked(const WalkedFolder& folder);
    void m_sub_ReportReadFailure(const char* pszPath) const;
    void m_sub_ReportFolderFailure(const char* pszFolder, FolderTrail& trail);

    WalkedFolder m_walked[kWalkedSlots];
    int m_nWalked;
    DWORD m_dwWalkSearch;
};
