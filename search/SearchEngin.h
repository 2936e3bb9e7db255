// The search engine and its state: the parsed words, the hit lists of the
// passes, the page map and the ten rows of the page shown. The engine's own
// members are defined in this folder, its painting and pointer tracking in
// screen/. Every buffer is a fixed array inside the object, so a search
// allocates nothing. One thread at a time uses the record; while a search
// runs on a thread of its own, another may only stop it, read its count and
// copy the rows of page 0 as the search knows them so far (m_pControl).
#pragma once

#include <windows.h>

#include "search/Limits.h"
#include "search/SearchOptions.h"
#include "search/readahead/ReadRoom.h"
#include "search/walk/WalkedFolders.h"

class CDC;
class CReadAhead;
struct CSearchControl;
namespace store {
class CSessionStore;
}

// One row of the page shown.
struct ResultItem {
    char szTitle[210];    // the file's first line
    char szContent[610];  // the excerpt that follows the title
    char szExtra[610];    // cleared with the row, never filled
    char szPath[1010];    // the file's path as the folder walk found it
    unsigned char bPresent;
    // Where the words of the query stand in the title and the excerpt: 1
    // under each of their bytes, 0 elsewhere.
    unsigned char titleMarks[82];
    unsigned char contentMarks[86];
    // "…" and the text around the first occurrence of the first word in the
    // file's searched text, at most 85 bytes of whole characters; empty when
    // the word is not found there. Its marks as for the title.
    char szContext[86];
    unsigned char contextMarks[86];
};

// The files and folders under DATA that the last search left out although
// they are there: those that could not be opened or read, and those whose
// paths do not fit a path slot. The answer may lack them. The first ones met
// are named, with their paths as the walk met them (keys left off).
struct LeftOutEntries {
    int nUnreadable;
    int nTooLong;
    struct Named {
        char szPath[limits::kLongPathBytes];
        unsigned char bTooLong;
    } named[limits::kNamedLeftOut];

    int Count() const { return nUnreadable + nTooLong; }
    int NamedCount() const {
        return Count() < limits::kNamedLeftOut ? Count() : limits::kNamedLeftOut;
    }
};

// The part of the engine's record that a search writes and that paging,
// painting and pointer tracking read: everything but the pointer's hover. A
// search on a thread of its own hands it to the record that a window shows
// as one copy (CSearchRun::HandOver), so a field added here cannot be left
// behind.
struct CSearchRecord {
    // What the caller asks before a search, which the search and the pages
    // of its result then read: the options, and the folder walked (its path
    // as the rows' paths begin, relative to the current folder; empty for
    // "DATA").
    SearchOptions m_options;
    char m_szFolder[limits::kPathBytes];

    unsigned char m_bNoHit;
    const char* m_pszQuery;
    int m_nWords;
    int m_nChar;
    char m_szPath[2000];
    int m_nWordIndex;
    char m_words[limits::kWords][limits::kWordSlot];
    char m_hitPaths[limits::kHits][limits::kPathBytes];
    int m_nHits;
    char m_candPaths[limits::kHits][limits::kPathBytes];
    int m_nCandidates;
    ResultItem m_items[limits::kRows];
    unsigned char m_hitFlags[limits::kHits];
    int m_nPage;

    // Set when the last search ended early because not even one file
    // descriptor could be had (reported once, with ERROR_TOO_MANY_OPEN_FILES):
    // its hits are then incomplete.
    unsigned char m_bTooManyOpenFiles;
    // Set when the last search ended early because memory could not be had
    // (reported once, with ERROR_NOT_ENOUGH_MEMORY): its hits are incomplete.
    unsigned char m_bOutOfMemory;
    // What the last search left out, each reported with the system's error
    // as it was met (ERROR_ACCESS_DENIED, ERROR_READ_FAULT,
    // ERROR_FILENAME_EXCED_RANGE and the like). A file gone, or a folder, by
    // the time it is read is not among them: the folder as it now stands has
    // no such file.
    LeftOutEntries m_leftOut;
    // Set when a stop asked from another thread (m_pControl) cut the folder
    // scan short, so that files were left unread. A stop that comes once the
    // scan has ended cuts nothing: the hits are then complete.
    unsigned char m_bStopped;
    // Set when the folder scan ended because its hit list was full: files
    // beyond the last one read may hold the words too, so the count is not
    // the total of the folder.
    unsigned char m_bHitCap;
};

class CSearchEngin : public CSearchRecord {
  public:
    // The limits of search/Limits.h under the names the engine's callers use.
    static constexpr int kMaxWords = limits::kWords;
    static constexpr int kWordSlot = limits::kWordSlot;
    static constexpr int kMaxWordBytes = limits::kWordBytes;
    static constexpr int kMaxHits = limits::kHits;
    static constexpr int kPathSlot = limits::kPathBytes;
    static constexpr int kRowsPerPage = limits::kRows;
    static constexpr int kMaxPages = limits::kPages;
    static constexpr int kTextLimit = limits::kTextBytes;
    static constexpr int kTitleLimit = limits::kTitleBytes;
    static constexpr int kExcerptLimit = limits::kExcerptBytes;

    virtual ~CSearchEngin() {}

    // The search (query parsing, folder scan and filter passes).
    bool m_sub_Search(const char* pszQuery);
    // The folder a search walks: m_szFolder, or "DATA".
    const char* m_sub_Folder() const { return m_szFolder[0] != '\0' ? m_szFolder : "DATA"; }
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

    int m_nHoverItem;
    int m_nHoverPage;
    int m_nHoverArrow;

    // Called, when set, for each folder or file that the walk cannot read,
    // with its path and the system's error code. The window leaves it unset.
    using ReadFailureHook = void (*)(const char* pszPath, DWORD dwError);
    ReadFailureHook m_pfnOnReadFailure;
    // When set, a search that runs on a thread of its own can be watched,
    // stopped and shown while it runs from another (see CSearchControl). The
    // CLI leaves it unset.
    CSearchControl* m_pControl;
    // When set, what earlier searches learned of the folder answers for the
    // files that have not changed since (search/store/SessionStore.h); the
    // answer is the one a walk reading every file would give. The window's
    // search run sets it; the CLI leaves it unset.
    store::CSessionStore* m_pStore;

  private:
    static constexpr int kTextBuffer = limits::kTextBuffer;
    // The room in which rows are read after a search (their titles,
    // excerpts and context lines): the engine's own, used by the thread that
    // has the engine, never the read-ahead's walk room, which the store's
    // fill may be using on its own thread at the same time.
    mutable CReadRoom m_rowRoom;
    // A walk of paths shorter than kPathSlot bytes is never deeper than this.
    static constexpr int kMaxFolderDepth = kPathSlot / 2;

    struct FolderTrail;
    class PassReader;

    // The title and the excerpt of a hit on the first page as the search read
    // them, so that the rows shown right after a search need no second read.
    struct ScanRow {
        char szTitle[kTitleLimit + 1];
        char szContent[kExcerptLimit + 1];
        char szContext[kExcerptLimit + 1];
        bool bKnown;
    };
    ScanRow m_scanRows[kRowsPerPage];

    int m_sub_GetQueryChar();
    bool m_sub_ReadForms();
    void m_sub_ParseWords();
    void m_sub_ApplyFilterPasses();
    int m_sub_ScanFolder(const char* pszFolder, FolderTrail& trail);
    int m_sub_ListFolder(const char* pszFolder, FolderTrail& trail);
    bool m_sub_ReplayFolder(const char* pszFolder, FolderTrail& trail);
    template <typename Walk>
    void m_sub_RunPass(Walk walk);
    void m_sub_TestFileInTurn(const char* pszPath, CReadAhead* pReadAhead);
    void m_sub_TestCandidates();
    bool m_sub_Keeps(const char* pszText) const;
    void m_sub_RecordHit();
    bool m_sub_StopAsked() const;
    void m_sub_LoadRow(ResultItem& item);
    void m_sub_LoadContext(ResultItem& item) const;
    void m_sub_LoadContextWithOptions(ResultItem& item) const;
    void m_sub_MarkRow(ResultItem& item) const;
    void m_sub_FillPage(bool fromScan);
    void m_sub_FillRow(ResultItem& item, int hit, bool fromScan);
    void m_sub_ShowRow(int hit);
    void m_sub_ShowDrop(int hit, int taken);
    void m_sub_ShowPassEnd();
    void m_sub_KeepScanRow(int hit, const char* text, int firstLine, bool nulEndsLine,
                           const char* context);
    void m_sub_ForgetScanRows();
    void m_sub_ReportReadFailure(const char* pszPath) const;
    void m_sub_LeaveOut(const char* pszPath, DWORD dwError);
    void m_sub_NoteTooManyOpenFiles(const char* pszPath);
    void m_sub_NoteOutOfMemory(const char* pszPath);
    // The walk ended for want of descriptors or memory.
    bool m_sub_WalkFailed() const { return m_bTooManyOpenFiles || m_bOutOfMemory; }
    void m_sub_NoteStop(int taken);
    void m_sub_KeepUntested(int first);
    bool m_sub_FreeDescriptors(FolderTrail& trail);
    void m_sub_ReportFolderFailure(const char* pszFolder, FolderTrail& trail);
    void m_sub_ReportTooLong(const char* pszFolder, const char* pszName, FolderTrail& trail);

    CWalkedFolders m_walked;  // the folders this search has walked
    int m_nStoppedAt;         // the candidate a stopped pass ended at; -1 for none
    bool m_bStoreOn;          // this search asks m_pStore and keeps in it
};

static_assert(sizeof ResultItem::titleMarks == CSearchEngin::kTitleLimit + 1 &&
              sizeof ResultItem::contentMarks == CSearchEngin::kExcerptLimit + 1 &&
              sizeof ResultItem::szContext == CSearchEngin::kExcerptLimit + 1 &&
              sizeof ResultItem::contextMarks == CSearchEngin::kExcerptLimit + 1);
