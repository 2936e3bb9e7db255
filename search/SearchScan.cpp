// The folder scan, the gathering of a file's text and the match test.
#include <cstdio>
#include <cstring>
#include <string_view>

#include "search/FolderListing.h"
#include "search/FolderWarmer.h"
#include "search/ReadAhead.h"
#include "search/SearchControl.h"
#include "search/SearchEngin.h"
#include "search/SjisReader.h"
#include "search/WordProbe.h"

namespace {

// The text of a file as the match test sees it: blanks, line feeds and
// characters whose first byte is 0x81 are dropped, a NUL ends it, and at most
// `limit` bytes of whole characters are kept. The first line is read on its
// own, so that the row of a hit can be cut from the same text.
struct FileText {
    int firstLine = 0;         // bytes of the text that come from the first line
    bool nulEndsLine = false;  // a NUL ends the first line (and the text)
    bool passedOver = false;   // not gathered: the words cannot be in it
};

bool MayHoldWords(const sjis::TextFileBytes& bytes, const sjis::WordProbes& probes, int limit) {
    DWORD length = 0;
    bool fileEnds = false;
    const unsigned char* block = bytes.PlainFirstBlock(length, fileEnds);
    return block == nullptr || probes.MayAllOccur(block, static_cast<int>(length), fileEnds, limit);
}

// False when the file cannot be opened. With `probes`, a file whose first
// block shows that it cannot hold the words is passed over, its text empty.
bool GatherText(const char* path, char* text, int limit, FileText& gathered,
                const sjis::WordProbes* probes = nullptr) {
    sjis::OpenFile file(path);
    if (!file.IsOpen()) return false;
    sjis::TextFileBytes bytes(file.Handle());
    if (probes != nullptr && !MayHoldWords(bytes, *probes, limit)) {
        text[0] = '\0';
        gathered.passedOver = true;
        return true;
    }
    sjis::SjisCharReader reader(bytes);
    gathered.firstLine = reader.ReadText(text, limit, true);
    gathered.nulEndsLine = reader.Stop() == sjis::TextStop::kNul;
    if (reader.Stop() == sjis::TextStop::kLineFeed) {
        reader.ReadText(text + gathered.firstLine, limit - gathered.firstLine);
    }
    return true;
}

// True when `word` occurs in `text` at a character boundary. The word is
// looked for as plain bytes first; only where it turns up are the character
// boundaries counted, from the last one known. Gathered text holds whole
// characters only (a lead byte without its second byte is dropped while
// reading), so counting from its start finds every boundary.
bool ContainsWord(const char* text, int textLength, const char* word, int wordLength) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    std::string_view haystack(text, static_cast<size_t>(textLength));
    std::string_view needle(word, static_cast<size_t>(wordLength));
    size_t boundary = 0;
    for (size_t at = haystack.find(needle); at != std::string_view::npos;
         at = haystack.find(needle, at + 1)) {
        while (boundary < at) boundary += sjis::IsLeadByte(bytes[boundary]) ? 2 : 1;
        if (boundary == at) return true;
    }
    return false;
}

}  // namespace

// The engine as the client of the read-ahead for one pass: the reader threads
// gather each file's text and decide whether it holds the words; the walk
// records the hits in its own order, as a plain walk does.
class CSearchEngin::PassReader final : public CReadAheadClient {
    static_assert(CReadSlot::kPathBytes == kPathSlot && CReadSlot::kTextBytes >= kTextBuffer);

  public:
    // The scan keeps a file that holds every word, a later pass one that
    // holds the pass's word.
    explicit PassReader(CSearchEngin& engine) : m_engine(engine) {
        if (engine.m_nWordIndex != 0) {
            m_probes.Add(engine.m_words[engine.m_nWordIndex]);
            return;
        }
        for (int i = 0; i < engine.m_nWords; ++i) m_probes.Add(engine.m_words[i]);
    }

    void m_sub_Fill(CReadSlot& slot) const override {
        FileText gathered;
        // A stopped scan takes no more files: the reads still queued are
        // passed over, so that the walk need not wait for the disk.
        if (m_engine.m_sub_StopAsked()) {
            slot.bOpened = true;
            slot.bKeep = false;
            slot.szText[0] = '\0';
            return;
        }
        slot.bOpened = GatherText(slot.szPath, slot.szText, kTextLimit, gathered, &m_probes);
        slot.dwError = slot.bOpened ? ERROR_SUCCESS : GetLastError();
        slot.bKeep = slot.bOpened && !gathered.passedOver && m_engine.m_sub_Keeps(slot.szText);
        slot.nFirstLine = gathered.firstLine;
        slot.bNulEndsLine = gathered.nulEndsLine;
    }

    bool m_sub_Take(const CReadSlot& slot) override {
        if (!slot.bOpened) {
            SetLastError(slot.dwError);
            m_engine.m_sub_ReportReadFailure(slot.szPath);
            return true;
        }
        std::memcpy(m_engine.m_szPath, slot.szPath, std::strlen(slot.szPath) + 1);
        int hit = m_engine.m_nHits;
        if (slot.bKeep) m_engine.m_sub_RecordHit();
        if (m_engine.m_nHits > hit) {
            m_engine.m_sub_KeepScanRow(hit, slot.szText, slot.nFirstLine, slot.bNulEndsLine);
        }
        return m_engine.m_nHits < kMaxHits && !m_engine.m_sub_StopAsked();
    }

  private:
    CSearchEngin& m_engine;
    sjis::WordProbes m_probes;
};

// Tests the file at once when no reader threads are wanted, else queues it.
void CSearchEngin::m_sub_TestFileInTurn(const char* pszPath, CReadAhead* pReadAhead) {
    if (pReadAhead == nullptr) {
        m_sub_TestFile(pszPath);
    } else {
        pReadAhead->m_sub_Push(pszPath);
    }
}

// Runs `walk` with the read-ahead when reader threads are wanted.
template <typename Walk>
void CSearchEngin::m_sub_RunPass(Walk walk) {
    CReadAhead& readAhead = SharedReadAhead();
    if (readAhead.m_sub_Readers() == 0) {
        walk(nullptr);
        return;
    }
    PassReader reader(*this);
    readAhead.m_sub_Begin(reader);
    walk(&readAhead);
    readAhead.m_sub_End();
}

// The folders on the current walk, outermost first: once the table of walked
// folders is full, a folder reached again through a link while it is being
// walked is still not entered a second time.
struct CSearchEngin::FolderTrail {
    FolderId folders[kMaxFolderDepth];
    int depth = 0;
    CReadAhead* readAhead = nullptr;

    bool Holds(const FolderId& id) const {
        for (int i = 0; i < depth; ++i) {
            if (folders[i] == id) return true;
        }
        return false;
    }
};

int CSearchEngin::m_sub_ScanFolder(const char* pszFolder) {
    m_sub_BeginWalk();
    int result = 0;
    m_sub_RunPass([&](CReadAhead* readAhead) {
        FolderTrail trail;
        trail.readAhead = readAhead;
        if (readAhead != nullptr) SharedFolderWarmer().m_sub_Begin(pszFolder);
        result = m_sub_ScanFolder(pszFolder, trail);
        if (readAhead != nullptr) SharedFolderWarmer().m_sub_End();
    });
    return result;
}

void CSearchEngin::m_sub_TestCandidates() {
    m_sub_RunPass([&](CReadAhead* readAhead) {
        for (int j = 0; j < m_nCandidates; ++j) m_sub_TestFileInTurn(m_candPaths[j], readAhead);
    });
}

// Each folder is walked once per search, where the walk first reaches it;
// later links to it are passed over, so no file shows twice and a lattice of
// links costs no more than its folders.
int CSearchEngin::m_sub_ScanFolder(const char* pszFolder, FolderTrail& trail) {
    FolderId id;
    if (!ReadFolderId(pszFolder, id)) {
        m_sub_ReportFolderFailure(pszFolder, trail);
        return 1;
    }
    if (trail.Holds(id) || trail.depth == kMaxFolderDepth) return 1;
    if (!m_sub_MarkWalked(WalkedFolder{id.volume, id.indexHigh, id.indexLow, m_dwWalkSearch})) {
        return 0;
    }
    trail.folders[trail.depth++] = id;
    int result = m_sub_ListFolder(pszFolder, trail);
    --trail.depth;
    return result;
}

// The first search writes the whole table before a look-up reads it: a page
// read first and written later faults twice, and the second fault stops the
// reader threads' processors to flush their address caches. After 2^32
// searches the marks of old searches could pass for new, so the table is
// cleared then too.
void CSearchEngin::m_sub_BeginWalk() {
    m_nWalked = 0;
    if (++m_dwWalkSearch <= 1) {
        std::memset(m_walked, 0, sizeof m_walked);
        m_dwWalkSearch = 1;
    }
}

// Records a folder as walked in this search. False when it was walked
// already; true for a new folder, also when the table is full and it cannot
// be remembered.
bool CSearchEngin::m_sub_MarkWalked(const WalkedFolder& folder) {
    unsigned long long key =
        (static_cast<unsigned long long>(folder.indexHigh) << 32 | folder.indexLow) ^
        (static_cast<unsigned long long>(folder.volume) << 17);
    key *= 0x9E3779B97F4A7C15ull;
    auto slot = static_cast<int>(key >> 40) & (kWalkedSlots - 1);
    for (;; slot = (slot + 1) & (kWalkedSlots - 1)) {
        WalkedFolder& entry = m_walked[slot];
        if (entry.search != folder.search) break;
        if (entry.volume == folder.volume && entry.indexHigh == folder.indexHigh &&
            entry.indexLow == folder.indexLow) {
            return false;
        }
    }
    if (m_nWalked < kMaxWalked) {
        m_walked[slot] = folder;
        ++m_nWalked;
    }
    return true;
}

void CSearchEngin::m_sub_ReportReadFailure(const char* pszPath) const {
    if (m_pfnOnReadFailure != nullptr) m_pfnOnReadFailure(pszPath, GetLastError());
}

// The files queued before the folder are handed back first, so that their
// failures are reported before the folder's, in the order of a plain walk.
void CSearchEngin::m_sub_ReportFolderFailure(const char* pszFolder, FolderTrail& trail) {
    DWORD error = GetLastError();
    if (trail.readAhead != nullptr) trail.readAhead->m_sub_Drain();
    SetLastError(error);
    m_sub_ReportReadFailure(pszFolder);
}

// Walks the entries of one folder in listing order, sub-folders at once where
// they stand, and stops once the hit list is full. With reader threads, the
// warmer lists the folders ahead while the disk is slow.
int CSearchEngin::m_sub_ListFolder(const char* pszFolder, FolderTrail& trail) {
    static_assert(CFolderListing::kPathBytes == kPathSlot);
    if (trail.readAhead != nullptr) {
        SharedFolderWarmer().m_sub_Reached(trail.readAhead->m_sub_ReadsWait());
    }
    CFolderListing listing(pszFolder);
    if (!listing.m_sub_Opened()) {
        m_sub_ReportFolderFailure(pszFolder, trail);
        return 1;
    }
    while (m_nHits < kMaxHits && !m_sub_StopAsked() && listing.m_sub_Next()) {
        if (listing.m_sub_IsFolder()) {
            m_sub_ScanFolder(listing.m_sub_Path(), trail);
        } else {
            m_sub_TestFileInTurn(listing.m_sub_Path(), trail.readAhead);
        }
    }
    return 0;
}

// Tests the word of the current pass against the file's text. In the folder
// scan a file is kept only when its text holds every word of the query, so the
// hit list never fills with files that hold the first word alone. A file that
// cannot be opened is no hit.
int CSearchEngin::m_sub_TestFile(const char* pszPath) {
    char text[kTextBuffer];
    FileText gathered;
    if (!GatherText(pszPath, text, kTextLimit, gathered)) {
        m_sub_ReportReadFailure(pszPath);
        return 0;
    }
    std::snprintf(m_szPath, sizeof m_szPath, "%s", pszPath);
    if (m_nWordIndex == 0 && !m_sub_HoldsOtherWords(text)) return 0;
    int hit = m_nHits;
    m_sub_MatchWord(text, m_words[m_nWordIndex]);
    if (m_nHits > hit) {
        m_sub_KeepScanRow(hit, text, gathered.firstLine, gathered.nulEndsLine);
    }
    return 0;
}

// What m_sub_TestFile decides, without recording: safe on any thread, since
// the words do not change during a search.
bool CSearchEngin::m_sub_Keeps(const char* pszText) const {
    if (m_nWordIndex == 0 && !m_sub_HoldsOtherWords(pszText)) return false;
    const char* word = m_words[m_nWordIndex];
    int wordLength = static_cast<int>(std::strlen(word));
    int textLength = static_cast<int>(std::strlen(pszText));
    if (wordLength == 0 || wordLength > textLength) return false;
    return ContainsWord(pszText, textLength, word, wordLength);
}

bool CSearchEngin::m_sub_HoldsOtherWords(const char* pszText) const {
    int textLength = static_cast<int>(std::strlen(pszText));
    for (int i = 1; i < m_nWords; ++i) {
        int wordLength = static_cast<int>(std::strlen(m_words[i]));
        if (wordLength > 0 && !ContainsWord(pszText, textLength, m_words[i], wordLength)) {
            return false;
        }
    }
    return true;
}

int CSearchEngin::m_sub_MatchWord(const char* pszText, const char* pszWord) {
    int wordLength = static_cast<int>(std::strlen(pszWord));
    if (wordLength == 0) return -1;
    int textLength = static_cast<int>(std::strlen(pszText));
    if (wordLength > textLength) return 0;
    if (!ContainsWord(pszText, textLength, pszWord, wordLength)) return 0;
    m_sub_RecordHit();
    return 1;
}

// Appends m_szPath to both lists. Beyond kMaxHits hits, or for a path that
// does not fit a slot, nothing is recorded.
void CSearchEngin::m_sub_RecordHit() {
    size_t length = std::strlen(m_szPath);
    if (m_nHits >= kMaxHits || length >= static_cast<size_t>(kPathSlot)) return;
    if (m_nHits < kRowsPerPage) m_scanRows[m_nHits].bKnown = false;
    std::memcpy(m_hitPaths[m_nHits], m_szPath, length + 1);
    std::memcpy(m_candPaths[m_nHits], m_szPath, length + 1);
    ++m_nHits;
    // The filter passes count the hits again from zero: only the scan's
    // count is progress.
    if (m_pControl != nullptr && m_nWordIndex == 0) {
        m_pControl->hits.store(m_nHits, std::memory_order_relaxed);
    }
}

// Only the folder scan stops early: the filter passes that follow read again
// just the hits found, so a stopped search still shows files that hold every
// word.
bool CSearchEngin::m_sub_StopAsked() const {
    return m_pControl != nullptr && m_nWordIndex == 0 &&
           m_pControl->stop.load(std::memory_order_relaxed);
}
