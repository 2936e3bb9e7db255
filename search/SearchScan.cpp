// The folder scan, the gathering of a file's text and the match test. The
// walk runs on the searching thread and alone writes the record; the reader
// threads of the read-ahead gather files and write their verdicts in the
// engine's slots (FileVerdict), which the walk reads when it takes the files
// back, in order. With a session store (m_pStore), the walk alone records
// folders and keeps files in it, as it lists them and takes them back; the
// readers only ask it, under its lock (store/SessionStore.h).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>

#include <sorahiki/listing.h>

#include "search/BytesInRoom.h"
#include "search/FoldedQuery.h"
#include "search/walk/FolderListing.h"
#include "search/walk/FolderWarmer.h"
#include "search/readahead/ReadAhead.h"
#include "search/text/RowMarks.h"
#include "search/SearchControl.h"
#include "search/SearchEngin.h"
#include "search/text/SjisReader.h"
#include "search/text/WordMatch.h"
#include "search/PassLooks.h"
#include "search/text/QuickLook.h"
#include "search/text/WordStream.h"
#include "search/store/SessionStore.h"

namespace {

// The text of a file as the match test sees it: blanks, line feeds and
// characters whose first byte is 0x81 are dropped, a NUL ends it, and at most
// `limit` bytes of whole characters are kept. The first line is read on its
// own, so that the row of a hit can be cut from the same text.
struct FileText {
    int firstLine = 0;                // bytes of the text that come from the first line
    bool nulEndsLine = false;         // a NUL ends the first line (and the text)
    bool passedOver = false;          // not gathered: the words cannot be in it
    DWORD readError = ERROR_SUCCESS;  // a read failed: the text is not the file's
};

using FileReader = sjis::SjisCharReader<sjis::TextFileBytes>;

// Reads the first line, then the rest, into `text`: its length.
int ReadStart(FileReader& reader, char* text, int limit, FileText& gathered) {
    gathered.firstLine = reader.ReadText(text, limit, true);
    gathered.nulEndsLine = reader.Stop() == sjis::TextStop::kNul;
    if (reader.Stop() != sjis::TextStop::kLineFeed) return gathered.firstLine;
    return gathered.firstLine +
           reader.ReadText(text + gathered.firstLine, limit - gathered.firstLine);
}

// True when the file is passed over, its text empty.
bool PassOver(char* text, FileText& gathered, DWORD readError) {
    text[0] = '\0';
    gathered.passedOver = true;
    gathered.readError = readError;
    return true;
}

bool PassedOver(const sjis::TextFileBytes& bytes, const sjis::QuickLook& look, int limit,
                char* text, FileText& gathered, sjis::QuickLook::Utf16Seen& seen) {
    if (look.MayHoldWords(bytes, limit, seen)) return false;
    return PassOver(text, gathered, bytes.ReadError());
}

// The state of an open file, as filestate::ReadFileState gives it by path.
bool StateOfOpenFile(HANDLE file, filestate::FileState& state) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) return false;
    auto joined = [](DWORD high, DWORD low) {
        return (static_cast<unsigned long long>(high) << 32) | low;
    };
    state.volume = info.dwVolumeSerialNumber;
    state.index = joined(info.nFileIndexHigh, info.nFileIndexLow);
    state.size = joined(info.nFileSizeHigh, info.nFileSizeLow);
    state.writeTime =
        joined(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
    state.changeTime =
        joined(info.ftCreationTime.dwHighDateTime, info.ftCreationTime.dwLowDateTime);
    state.links = info.nNumberOfLinks;
    return true;
}

// A look that read `bytes` past the first block and did not pass the file
// over moves it back by them, to where the decoder goes on reading; a move
// that fails leaves `moveError`, the file then unread.
void MoveBack(HANDLE file, long long bytes, bool passedOver, DWORD& moveError) {
    LARGE_INTEGER back{};
    back.QuadPart = -bytes;
    if (!passedOver && bytes > 0 && !SetFilePointerEx(file, back, nullptr, FILE_CURRENT)) {
        moveError = GetLastError();
    }
}

// The look at a UTF-16 file's first two blocks, where the first could not
// tell (QuickLook::LooksFurtherAt, from what the first look saw): true when
// they show that the text lacks a word. The second block is read into
// `ahead` (MoveBack). A read that fails says nothing here: the gathering
// reads the file as ever and tells of it.
bool NextBlockRulesOut(HANDLE file, const sjis::TextFileBytes& bytes, const sjis::QuickLook& look,
                       int limit, const sjis::QuickLook::Utf16Seen& seen,
                       unsigned char (&ahead)[CReadRoom::kAheadBytes], DWORD& moveError) {
    if (!look.LooksFurtherAt(bytes, seen)) return false;
    const CTextDecoder::FirstBlock first = bytes.FirstBlock();
    if (first.length > CTextDecoder::kBlockBytes) return false;
    std::memcpy(ahead, first.bytes, first.length);
    const DWORD want = CTextDecoder::kBlockBytes;
    DWORD got = 0;
    const int from = static_cast<int>(first.length);
    const bool lacks = ReadFile(file, ahead + first.length, want, &got, nullptr) &&
                       !look.MayHoldWordsInUtf16(ahead, static_cast<int>(first.length + got),
                                                 got < want, first.marked, limit, seen, from);
    MoveBack(file, got, lacks, moveError);
    return lacks;
}

// False when the file cannot be opened. A file whose first block shows that
// it cannot hold the words of `look` is passed over, its text empty. With
// `state`, the file's state as it was opened goes there (its volume 0 when
// it could not be had).
bool GatherText(const char* path, char* text, int limit, FileText& gathered, CReadRoom& room,
                const sjis::QuickLook& look, filestate::FileState* state = nullptr) {
    sjis::OpenFile file(path);
    if (!file.IsOpen()) return false;
    if (state != nullptr && !StateOfOpenFile(file.Handle(), *state)) *state = {};
    CBytesInRoom bytes(room, file.Handle());
    sjis::QuickLook::Utf16Seen seen;
    if (PassedOver(*bytes, look, limit, text, gathered, seen)) return true;
    DWORD moveError = ERROR_SUCCESS;
    if (NextBlockRulesOut(file.Handle(), *bytes, look, limit, seen, room.ahead, moveError)) {
        return PassOver(text, gathered, (*bytes).ReadError());
    }
    if (moveError != ERROR_SUCCESS) return PassOver(text, gathered, moveError);
    FileReader reader(*bytes);
    ReadStart(reader, text, limit, gathered);
    gathered.readError = (*bytes).ReadError();
    return true;
}

// A limit of the quick look beyond any file's text: reading whole files, a
// file is passed over only where its text ends within the first block.
constexpr int kWholeFileLook = 1 << 30;

// Puts a mark of the file's end after the `length` bytes of its last part
// in `buffer` (`room` bytes), where there is room, and returns the bytes to
// look at: a DEL, a character that gathering keeps and that a pair of a word
// hardly ever wants next. A pair's first character found at the end of the
// bytes may be followed by the part after them; at the file's end nothing
// follows it, and the mark tells the look so (a word that holds a DEL is
// only looked at as if the file went on).
int MarkFileEnd(unsigned char* buffer, int length, int room, TextEncoding encoding) {
    constexpr unsigned char kDel = 0x7F;
    const bool utf16 = encoding == TextEncoding::kUtf16Le || encoding == TextEncoding::kUtf16Be;
    const int bytes = utf16 ? 2 : 1;
    if (room - length < bytes) return length;
    buffer[length] = encoding == TextEncoding::kUtf16Be ? 0 : kDel;
    if (utf16) buffer[length + 1] = encoding == TextEncoding::kUtf16Be ? kDel : 0;
    return length + bytes;
}

// Reading a whole file, the quick look at every part of it, not at its first
// block alone: true when a probe stands in no part, so that its text cannot
// hold the words (code page 932 by the probes' pairs, UTF-8 and UTF-16 by
// the pairs' first characters in every form, followed as the text could
// follow them). The parts after the first block are read into `buffer`
// (`room` bytes; MoveBack). A read that fails says nothing here: the
// gathering reads the file as ever and tells of it.
bool WholeFileLacksWords(HANDLE file, sjis::TextFileBytes& bytes, const sjis::QuickLook& look,
                         unsigned char* buffer, int room, DWORD& moveError) {
    constexpr int kOverlap = sjis::QuickLook::kPartOverlap;
    if (!look.LooksForAnything()) return false;
    // The block as it stands in the file, taken before its encoding is told:
    // telling converts a block of UTF-8 without a mark.
    const CTextDecoder::FirstBlock first = bytes.FirstBlock();
    if (first.bytes == nullptr || first.fileEnds) return false;
    const TextEncoding encoding = sjis::QuickLook::EncodingOf(bytes, first);
    auto foundIn = [&](const unsigned char* part, int length, unsigned found) {
        return look.FoundInPart(part, length, encoding, found);
    };
    auto allFound = [&](unsigned found) { return look.AllFound(encoding, found); };
    // Whether a probe not in `found` is missing from the part: each is
    // looked for alone, the others taken as found.
    const unsigned probes = look.AllProbes(encoding);
    auto lacksOneIn = [&](const unsigned char* part, int length, unsigned found) {
        for (unsigned left = probes & ~found; left != 0; left &= left - 1) {
            if (!allFound(foundIn(part, length, probes & ~(left & -left)))) return true;
        }
        return false;
    };
    int length = static_cast<int>(first.length);
    unsigned found = foundIn(first.bytes, length, 0);
    int kept = std::min(kOverlap, length);
    std::memcpy(buffer, first.bytes + length - kept, static_cast<size_t>(kept));
    long long readPastFirst = 0;
    bool lacks = !allFound(found);
    while (lacks) {
        const DWORD wanted = static_cast<DWORD>(room - kept);
        DWORD got = 0;
        if (!ReadFile(file, buffer + kept, wanted, &got, nullptr)) {
            lacks = false;
            break;
        }
        readPastFirst += got;
        if (got == 0) break;  // the file's end: its last part was looked at
        length = kept + static_cast<int>(got);
        // A file gives fewer bytes than asked only at its end, as the decoder
        // takes it. In its last part each probe still missing is looked for
        // alone, and the first one missing there too rules the file out: most
        // files lack a word's rarest pair, whose look then costs alone.
        if (got < wanted) {
            lacks = lacksOneIn(buffer, MarkFileEnd(buffer, length, room, encoding), found);
            break;
        }
        found = foundIn(buffer, length, found);
        lacks = !allFound(found);
        kept = std::min(kOverlap, length);
        std::memmove(buffer, buffer + length - kept, static_cast<size_t>(kept));
    }
    MoveBack(file, readPastFirst, lacks, moveError);
    return lacks;
}

// Reading whole files, the look at the first block alone tells only where
// the text ends in it: the file ends there, or a NUL or 0x1A stands in it
// (in UTF-16, almost always). Elsewhere the look at every part tells, and a
// look at the first block before it would look at those bytes twice.
bool FirstBlockTellsAlone(const sjis::TextFileBytes& bytes) {
    const CTextDecoder::FirstBlock first = bytes.FirstBlock();
    if (first.bytes == nullptr || first.fileEnds) return true;
    return std::memchr(first.bytes, 0, first.length) != nullptr ||
           std::memchr(first.bytes, 0x1A, first.length) != nullptr;
}

// As GatherText, and the text goes on into `stream` as well: to the file's
// end with `whole`, until `enough()` tells that the rest cannot change what
// the stream found.
template <typename Enough>
bool GatherIntoStream(const char* path, char* text, int limit, FileText& gathered, CReadRoom& room,
                      const sjis::QuickLook& look, bool whole, CWordStream& stream, Enough enough) {
    sjis::OpenFile file(path);
    if (!file.IsOpen()) return false;
    CBytesInRoom bytes(room, file.Handle());
    sjis::QuickLook::Utf16Seen seen;
    if ((!whole || FirstBlockTellsAlone(*bytes)) &&
        PassedOver(*bytes, look, whole ? kWholeFileLook : limit, text, gathered, seen)) {
        return true;
    }
    DWORD moveError = ERROR_SUCCESS;
    if (whole && WholeFileLacksWords(file.Handle(), *bytes, look, room.parts,
                                     static_cast<int>(CReadRoom::kPartBytes), moveError)) {
        return PassOver(text, gathered, (*bytes).ReadError());
    }
    if (moveError != ERROR_SUCCESS) return PassOver(text, gathered, moveError);
    FileReader reader(*bytes);
    const int length = ReadStart(reader, text, limit, gathered);
    bool more = whole && reader.Stop() == sjis::TextStop::kFull;
    std::memcpy(stream.Room(), text, static_cast<size_t>(length));
    stream.Take(length, more);
    while (more && !enough()) {
        const int taken = reader.ReadText(stream.Room(), CWordStream::kBlock);
        more = reader.Stop() == sjis::TextStop::kFull;
        stream.Take(taken, more);
    }
    gathered.readError = (*bytes).ReadError();
    return true;
}

bool IsOutOfMemory(DWORD error) {
    return error == ERROR_NOT_ENOUGH_MEMORY || error == ERROR_OUTOFMEMORY;
}

// Failures that say nothing of the file: the walk tries again or ends.
bool IsWantOfResources(DWORD error) {
    return error == ERROR_TOO_MANY_OPEN_FILES || IsOutOfMemory(error);
}

// A second look, after an open or a read failed, at the entry the listing
// gave: true when it is gone, or is no longer of the kind it was listed as (a
// file replaced by a folder opens, and its reading fails). Such an entry is
// no fault: the folder as it now stands has no such file or folder. When the
// look itself fails, the entry is taken to be there.
bool GoneSinceListed(const char* path, bool folder) {
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    try {
        attributes = GetFileAttributesA(path);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    return ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != folder;
}

// The match rule (search/text/WordMatch.h): true when `word` occurs in `text` at a
// character boundary.
bool HoldsWord(const char* text, int textLength, const char* word) {
    return sjis::FindWord(std::string_view(text, static_cast<size_t>(textLength)), word) >= 0;
}

}  // namespace

// What the reading of one queued file yields: whether it could be opened and
// read, the verdict on it and the text a hit's row is cut from. Kept in slots
// of the engine's own, one for each slot of the read-ahead's ring and at the
// same index, shared like the read-ahead (one search at a time per process):
// whoever fills a file writes its slot, and the walk reads it when it takes
// the file back.
namespace {

struct FileVerdict {
    DWORD dwError;      // why the file could not be opened or read
    bool bKeep;         // the file holds the words
    int nFirstLine;     // bytes of szText that come from the file's first line
    bool bNulEndsLine;  // a NUL ends the first line
    char szText[limits::kTextBuffer];
    // With options, the text around the first word as the stream found it
    // (it may lie beyond szText); without, the row cuts it from szText.
    bool bContextKnown;
    char szContext[limits::kExcerptBytes + 1];
    // With a session store: the file was read whole and without fault in
    // `state`, and `pairs` are its text's, for the walk to keep.
    bool bKeepState;
    filestate::FileState state;
    store::CPairSet pairs;
};

FileVerdict* SharedVerdicts() {
    static FileVerdict verdicts[CReadAhead::kSlots];
    return verdicts;
}

// The looks of the query searched last, shared like the read-ahead: one
// search at a time per process.
CPassLooks& SharedPassLooks() {
    static CPassLooks looks;
    return looks;
}

// A look that passes over no file: folded words may stand in the file in
// other forms than the ones written.
const sjis::QuickLook& EveryFileLook() {
    static const sjis::QuickLook look;
    return look;
}

}  // namespace

// The engine as the client of the read-ahead for one pass: whoever reads a
// file gathers its text and gives the verdict on it; the walk records the
// hits in its own order.
class CSearchEngin::PassReader final : public CReadAheadClient {
  public:
    // The quick look passes over a file that cannot hold the words the
    // verdict asks for: every word in the scan, the pass's word later. It
    // looks for the words as written, so with folding it passes over none.
    explicit PassReader(CSearchEngin& engine)
        : m_engine(engine),
          m_bOptions(engine.m_options.AnyOn()),
          m_query(engine.m_words, engine.m_nWords, engine.m_options),
          m_look(m_query.Rules().Any() ? EveryFileLook()
                                       : SharedPassLooks().For(engine.m_words, engine.m_nWords,
                                                               engine.m_nWordIndex)) {
        // The words the verdict asks for: every word in the scan, the pass's
        // word later.
        const bool scan = engine.m_nWordIndex == 0;
        const int first = scan ? 0 : engine.m_nWordIndex;
        const int end = scan ? engine.m_nWords : first + 1;
        for (int i = first; i < end; ++i) m_wanted[m_nWanted++] = engine.m_words[i];
    }

    Filled m_sub_Fill(int nSlot, const char* pszPath, CReadRoom& room) const override {
        FileVerdict& verdict = m_verdicts[nSlot];
        verdict.bKeep = false;
        verdict.szText[0] = '\0';
        verdict.dwError = ERROR_SUCCESS;
        verdict.bContextKnown = false;
        verdict.bKeepState = false;
        // A stopped walk takes no more files: the reads still queued are
        // passed over, so that the walk need not wait for the disk.
        if (m_engine.m_sub_StopAsked()) return Filled::kRead;
        // The file layer may need memory (names, conversions); when none can
        // be had the file counts as unread, and the walk ends.
        try {
            if (m_bOptions) {
                FillWithOptions(verdict, pszPath, room);
            } else if (m_engine.m_bStoreOn) {
                FillWithStore(verdict, pszPath, room);
            } else {
                FillFromFile(verdict, pszPath, room, m_look);
            }
        } catch (const std::bad_alloc&) {
            verdict.bKeep = false;
            verdict.dwError = ERROR_NOT_ENOUGH_MEMORY;
        }
        return verdict.dwError == ERROR_TOO_MANY_OPEN_FILES ? Filled::kShortOfDescriptors
                                                            : Filled::kRead;
    }

    // A file that could not be opened for want of a descriptor, even with
    // no other read in flight, or for want of memory, ends the walk: the
    // answer would be partial. One that cannot be opened or read for any
    // other reason is left out, and the search says so.
    bool m_sub_Take(int nSlot, const char* pszPath) override {
        if (m_engine.m_sub_WalkFailed()) return false;
        if (m_engine.m_sub_StopAsked()) {
            m_engine.m_sub_NoteStop(m_nTaken);
            return false;
        }
        ++m_nTaken;
        const int hit = m_engine.m_nHits;
        if (!m_sub_TakeVerdict(m_verdicts[nSlot], pszPath)) return false;
        if (m_engine.m_nHits > hit) {
            m_engine.m_sub_ShowRow(hit);
        } else {
            m_engine.m_sub_ShowDrop(hit, m_nTaken);
        }
        if (m_engine.m_nHits < kMaxHits) return true;
        // The scan ends here, whatever files are left: they may hold hits.
        if (m_engine.m_nWordIndex == 0) m_engine.m_bHitCap = 1;
        return false;
    }

    void m_sub_ReleaseDescriptors() override { SharedFolderWarmer().m_sub_Release(); }

  private:
    // Records the file as a hit when the verdict keeps it; false when the
    // walk must end.
    bool m_sub_TakeVerdict(const FileVerdict& verdict, const char* pszPath) {
        if (verdict.dwError != ERROR_SUCCESS) {
            if (verdict.dwError == ERROR_TOO_MANY_OPEN_FILES) {
                m_engine.m_sub_NoteTooManyOpenFiles(pszPath);
                return false;
            }
            if (IsOutOfMemory(verdict.dwError)) {
                m_engine.m_sub_NoteOutOfMemory(pszPath);
                return false;
            }
            m_engine.m_sub_LeaveOut(pszPath, verdict.dwError);
            return true;
        }
        if (verdict.bKeepState) m_engine.m_pStore->Keep(pszPath, verdict.state, verdict.pairs);
        listed::CopyPath(pszPath, m_engine.m_szPath, sizeof m_engine.m_szPath);
        const int hit = m_engine.m_nHits;
        if (verdict.bKeep) m_engine.m_sub_RecordHit();
        if (m_engine.m_nHits > hit) {
            m_engine.m_sub_KeepScanRow(hit, verdict.szText, verdict.nFirstLine,
                                       verdict.bNulEndsLine,
                                       verdict.bContextKnown ? verdict.szContext : nullptr);
        }
        return true;
    }

    // True when the file's text was gathered whole and without fault.
    bool FillFromFile(FileVerdict& verdict, const char* pszPath, CReadRoom& room,
                      const sjis::QuickLook& look, filestate::FileState* state = nullptr) const {
        FileText gathered;
        const bool bOpened =
            GatherText(pszPath, verdict.szText, kTextLimit, gathered, room, look, state);
        Settle(verdict, pszPath, bOpened, gathered,
               [&] { return m_engine.m_sub_Keeps(verdict.szText); });
        return bOpened && gathered.readError == ERROR_SUCCESS && !gathered.passedOver;
    }

    // With a session store: a file kept in the state it has now is read only
    // when every word asked for may stand in it; a file not kept is gathered
    // with nothing passed over, and goes to the walk to keep when it was read
    // whole in a state that had settled before the search began.
    void FillWithStore(FileVerdict& verdict, const char* pszPath, CReadRoom& room) const {
        const store::CSessionStore& kept = *m_engine.m_pStore;
        if (kept.Knows(pszPath)) {
            filestate::FileState now;
            if (!filestate::ReadFileState(pszPath, now)) {
                FillFromFile(verdict, pszPath, room, m_look);
                return;
            }
            switch (kept.Ask(pszPath, now, m_wanted, m_nWanted)) {
                case store::CSessionStore::Answer::kSurelyNot:
                    return;
                case store::CSessionStore::Answer::kMayHold:
                    FillFromFile(verdict, pszPath, room, m_look);
                    return;
                case store::CSessionStore::Answer::kUnknown:
                    break;
            }
        }
        filestate::FileState state;
        if (!FillFromFile(verdict, pszPath, room, EveryFileLook(), &state) || state.volume == 0 ||
            !kept.Settled(state)) {
            return;
        }
        verdict.pairs.Fill(verdict.szText);
        verdict.state = state;
        verdict.bKeepState = true;
    }

    // The verdict on a file once its reading ended: kept when it was read
    // whole and `holds()`; a failure on a file gone since it was listed is
    // none.
    template <typename Holds>
    static void Settle(FileVerdict& verdict, const char* pszPath, bool bOpened,
                       const FileText& gathered, Holds holds) {
        verdict.dwError = bOpened ? gathered.readError : GetLastError();
        verdict.bKeep =
            bOpened && verdict.dwError == ERROR_SUCCESS && !gathered.passedOver && holds();
        if (verdict.dwError != ERROR_SUCCESS && !IsWantOfResources(verdict.dwError) &&
            GoneSinceListed(pszPath, false)) {
            verdict.dwError = ERROR_SUCCESS;
        }
        verdict.nFirstLine = gathered.firstLine;
        verdict.bNulEndsLine = gathered.nulEndsLine;
    }

    // As FillFromFile, with the words looked for in a stream of the text
    // (whole, or the first kTextLimit bytes) as the options fold it.
    void FillWithOptions(FileVerdict& verdict, const char* pszPath, CReadRoom& room) const {
        FileText gathered;
        CWordStream stream(m_query.Words(), m_query.Rules(), kExcerptLimit);
        const bool bOpened =
            GatherIntoStream(pszPath, verdict.szText, kTextLimit, gathered, room, m_look,
                             m_engine.m_options.bWholeFile, stream,
                             [&] { return HoldsWanted(stream) && stream.ContextSettled(); });
        Settle(verdict, pszPath, bOpened, gathered, [&] { return HoldsWanted(stream); });
        std::memcpy(verdict.szContext, stream.Context(), sizeof verdict.szContext);
        verdict.bContextKnown = true;
    }

    // The verdict's rule (m_sub_Keeps) over what the stream found.
    bool HoldsWanted(const CWordStream& stream) const {
        if (m_engine.m_nWordIndex != 0) return stream.Found(m_engine.m_nWordIndex);
        for (int i = 0; i < m_engine.m_nWords; ++i) {
            if (!stream.Found(i)) return false;
        }
        return true;
    }

    CSearchEngin& m_engine;
    FileVerdict* const m_verdicts = SharedVerdicts();
    const bool m_bOptions;  // the search has an option on
    const CFoldedQuery m_query;
    const sjis::QuickLook& m_look;
    const char* m_wanted[kMaxWords] = {};
    int m_nWanted = 0;
    int m_nTaken = 0;  // the walk's: files taken back so far
};

// Queues the file; whoever reads it gives the verdict.
void CSearchEngin::m_sub_TestFileInTurn(const char* pszPath, CReadAhead* pReadAhead) {
    pReadAhead->m_sub_Push(pszPath);
}

// Runs `walk` with the read-ahead: with no reader thread, the walk reads each
// file itself as it takes it back.
template <typename Walk>
void CSearchEngin::m_sub_RunPass(Walk walk) {
    CReadAhead& readAhead = SharedReadAhead();
    PassReader reader(*this);
    readAhead.m_sub_Begin(reader);
    walk(&readAhead);
    readAhead.m_sub_End();
}

// The folders on the current walk, outermost first: should the table of
// walked folders fail to grow, a folder reached again through a link while it
// is being walked is still not entered a second time.
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
    m_walked.Begin();
    int result = 0;
    m_sub_RunPass([&](CReadAhead* readAhead) {
        FolderTrail trail;
        trail.readAhead = readAhead;
        SharedFolderWarmer().m_sub_Begin(pszFolder);
        result = m_sub_ScanFolder(pszFolder, trail);
        SharedFolderWarmer().m_sub_End();
    });
    return result;
}

void CSearchEngin::m_sub_TestCandidates() {
    m_nStoppedAt = -1;
    m_sub_RunPass([&](CReadAhead* readAhead) {
        for (int j = 0; j < m_nCandidates; ++j) {
            if (!readAhead->m_sub_Push(m_candPaths[j])) break;
        }
    });
    if (m_nStoppedAt >= 0) m_sub_KeepUntested(m_nStoppedAt);
    m_sub_ShowPassEnd();
}

// A pass stopped at candidate `first`: the candidates from there on were not
// read again, and keep the verdict of the scan, which found every word in
// them. So a stop during the passes cuts no hit. Their rows as the scan read
// them move along with them.
void CSearchEngin::m_sub_KeepUntested(int first) {
    for (int j = first; j < m_nCandidates; ++j) {
        const ScanRow row = j < kRowsPerPage ? m_scanRows[j] : ScanRow{};
        const int hit = m_nHits;
        listed::CopyPath(m_candPaths[j], m_szPath, sizeof m_szPath);
        m_sub_RecordHit();
        if (hit < kRowsPerPage && m_nHits > hit) m_scanRows[hit] = row;
    }
}

// A stop was seen when the walk took back its `taken`th file: in the scan the
// files left unread cut the hits short; in a pass the rest keep the scan's
// verdict.
void CSearchEngin::m_sub_NoteStop(int taken) {
    if (m_nWordIndex == 0) {
        m_bStopped = 1;
    } else if (m_nStoppedAt < 0) {
        m_nStoppedAt = taken;
    }
}

// Each folder is walked once per search, where the walk first reaches it;
// later links to it are passed over, so no file shows twice and a lattice of
// links costs no more than its folders.
int CSearchEngin::m_sub_ScanFolder(const char* pszFolder, FolderTrail& trail) {
    FolderId id;
    if (!ReadFolderId(pszFolder, id) &&
        !(m_sub_FreeDescriptors(trail) && ReadFolderId(pszFolder, id))) {
        m_sub_ReportFolderFailure(pszFolder, trail);
        return 1;
    }
    if (trail.Holds(id) || trail.depth == kMaxFolderDepth) return 1;
    const CWalkedFolders::Marked marked = m_walked.Mark(id);
    if (marked == CWalkedFolders::Marked::kAlready) return 0;
    // Without a record of the folder, a link back to it would be walked
    // again and its files shown twice.
    if (marked == CWalkedFolders::Marked::kNoRoom) {
        m_sub_NoteOutOfMemory(pszFolder);
        return 1;
    }
    trail.folders[trail.depth++] = id;
    int result = m_sub_ListFolder(pszFolder, trail);
    --trail.depth;
    return result;
}

void CSearchEngin::m_sub_ReportReadFailure(const char* pszPath) const {
    if (m_pfnOnReadFailure != nullptr) m_pfnOnReadFailure(pszPath, GetLastError());
}

// An entry that is there but that the search could not take in: counted,
// named while the record has room, and reported in its turn.
void CSearchEngin::m_sub_LeaveOut(const char* pszPath, DWORD dwError) {
    const bool bTooLong = dwError == ERROR_FILENAME_EXCED_RANGE;
    if (m_leftOut.Count() < limits::kNamedLeftOut) {
        LeftOutEntries::Named& named = m_leftOut.named[m_leftOut.Count()];
        std::snprintf(named.szPath, sizeof named.szPath, "%s", pszPath);
        named.bTooLong = bTooLong ? 1 : 0;
    }
    ++(bTooLong ? m_leftOut.nTooLong : m_leftOut.nUnreadable);
    SetLastError(dwError);
    m_sub_ReportReadFailure(pszPath);
}

// Not even one descriptor, or no memory, could be had: the walk ends, and
// the failure is reported once.
void CSearchEngin::m_sub_NoteTooManyOpenFiles(const char* pszPath) {
    if (m_sub_WalkFailed()) return;
    m_bTooManyOpenFiles = 1;
    SetLastError(ERROR_TOO_MANY_OPEN_FILES);
    m_sub_ReportReadFailure(pszPath);
}

void CSearchEngin::m_sub_NoteOutOfMemory(const char* pszPath) {
    if (m_sub_WalkFailed()) return;
    m_bOutOfMemory = 1;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    m_sub_ReportReadFailure(pszPath);
}

// After a folder could not be read for want of a descriptor: every read in
// flight is let finish and the warmer lets go of its folders; true when the
// folder is worth trying again.
bool CSearchEngin::m_sub_FreeDescriptors(FolderTrail& trail) {
    if (GetLastError() != ERROR_TOO_MANY_OPEN_FILES || m_sub_WalkFailed()) return false;
    trail.readAhead->m_sub_QuietReads();
    return true;
}

// The files queued before the folder are handed back first, so that their
// failures are reported before the folder's, in the order of a plain walk.
void CSearchEngin::m_sub_ReportFolderFailure(const char* pszFolder, FolderTrail& trail) {
    DWORD error = GetLastError();
    trail.readAhead->m_sub_Drain();
    if (error == ERROR_TOO_MANY_OPEN_FILES) {
        m_sub_NoteTooManyOpenFiles(pszFolder);
        return;
    }
    if (IsOutOfMemory(error)) {
        m_sub_NoteOutOfMemory(pszFolder);
        return;
    }
    if (GoneSinceListed(pszFolder, true)) return;
    m_sub_LeaveOut(pszFolder, error);
}

// An entry whose path does not fit a path slot is left out in its turn: the
// files queued before it are handed back first.
void CSearchEngin::m_sub_ReportTooLong(const char* pszFolder, const char* pszName,
                                       FolderTrail& trail) {
    trail.readAhead->m_sub_Drain();
    char path[limits::kLongPathBytes];
    std::snprintf(path, sizeof path, "%s/%s", pszFolder, pszName);
    m_sub_LeaveOut(path, ERROR_FILENAME_EXCED_RANGE);
}

// Walks the entries of one folder in listing order, sub-folders at once where
// they stand, and stops once the hit list is full or descriptors ran out. The
// warmer lists the folders ahead while the disk is slow. With a session
// store, a folder unchanged since it was listed whole is walked as the store
// holds it (m_sub_ReplayFolder); any other is listed, and the store records
// the listing.
int CSearchEngin::m_sub_ListFolder(const char* pszFolder, FolderTrail& trail) {
    SharedFolderWarmer().m_sub_Reached(trail.readAhead->m_sub_WarmerRuns());
    if (m_bStoreOn && m_sub_ReplayFolder(pszFolder, trail)) return 0;
    const int record =
        m_bStoreOn ? m_pStore->StartFolder(pszFolder, trail.folders[trail.depth - 1]) : -1;
    CFolderListing listing(pszFolder);
    if (!listing.m_sub_Opened() && m_sub_FreeDescriptors(trail)) listing.m_sub_Open();
    if (!listing.m_sub_Opened()) {
        m_sub_ReportFolderFailure(pszFolder, trail);
        return 1;
    }
    bool bListedWhole = false;
    while (m_nHits < kMaxHits && !m_sub_WalkFailed()) {
        if (!listing.m_sub_Next()) {
            bListedWhole = !listing.m_sub_Failed();
            break;
        }
        if (m_sub_StopAsked()) {
            m_sub_NoteStop(0);
            break;
        }
        if (listing.m_sub_TooLong()) {
            if (m_bStoreOn) m_pStore->Spoil(record);
            m_sub_ReportTooLong(pszFolder, listing.m_sub_Name(), trail);
        } else if (listing.m_sub_IsFolder()) {
            if (m_bStoreOn) m_pStore->AddFolder(record, listing.m_sub_Path());
            m_sub_ScanFolder(listing.m_sub_Path(), trail);
        } else {
            if (m_bStoreOn) m_pStore->AddFile(record, listing.m_sub_Path(), listing.m_sub_IsLink());
            m_sub_TestFileInTurn(listing.m_sub_Path(), trail.readAhead);
        }
    }
    if (bListedWhole && m_bStoreOn) m_pStore->FinishFolder(record);
    // A listing cut short (no memory for an entry's name) would leave files
    // out unseen.
    if (listing.m_sub_Failed() && !m_sub_WalkFailed()) {
        trail.readAhead->m_sub_Drain();
        m_sub_NoteOutOfMemory(pszFolder);
    }
    return 0;
}

// The folder as the session store holds it, when nothing in it changed since
// it was listed whole: its entries in the order listed, of its files only
// those the store cannot rule out queued to be read (a file ruled out holds
// no word, so it would be no hit and no fault). False, doing nothing, when
// the folder must be listed.
bool CSearchEngin::m_sub_ReplayFolder(const char* pszFolder, FolderTrail& trail) {
    const int folder = m_pStore->CleanFolder(pszFolder, trail.folders[trail.depth - 1]);
    if (folder < 0) return false;
    const char* words[kMaxWords];
    for (int i = 0; i < m_nWords; ++i) words[i] = m_words[i];
    for (int i = 0; m_nHits < kMaxHits && !m_sub_WalkFailed(); ++i) {
        const store::CSessionStore::Entry entry = m_pStore->EntryAt(folder, i, words, m_nWords);
        if (entry.path == nullptr) break;
        if (m_sub_StopAsked()) {
            m_sub_NoteStop(0);
            break;
        }
        if (entry.folder) {
            m_sub_ScanFolder(entry.path, trail);
        } else if (entry.read) {
            m_sub_TestFileInTurn(entry.path, trail.readAhead);
        }
    }
    return true;
}

// Tests the word of the current pass against one file, as a pass of that
// one file: the text is gathered and judged as for any file of a walk.
int CSearchEngin::m_sub_TestFile(const char* pszPath) {
    m_sub_RunPass([pszPath](CReadAhead* readAhead) { readAhead->m_sub_Push(pszPath); });
    return 0;
}

// The verdict on a file's text, the one every path takes: in the folder scan
// a file is kept only when its text holds every word of the query, so the hit
// list never fills with files that hold the first word alone; in a later
// pass, when it holds the pass's word. Safe on any thread, since the words do
// not change during a search.
bool CSearchEngin::m_sub_Keeps(const char* pszText) const {
    int textLength = static_cast<int>(std::strlen(pszText));
    if (!HoldsWord(pszText, textLength, m_words[m_nWordIndex])) return false;
    if (m_nWordIndex != 0) return true;
    for (int i = 1; i < m_nWords; ++i) {
        if (!HoldsWord(pszText, textLength, m_words[i])) return false;
    }
    return true;
}

int CSearchEngin::m_sub_MatchWord(const char* pszText, const char* pszWord) {
    if (pszWord[0] == '\0') return -1;
    if (!HoldsWord(pszText, static_cast<int>(std::strlen(pszText)), pszWord)) return 0;
    m_sub_RecordHit();
    return 1;
}

// Appends m_szPath, with the keys of its marked parts, to both lists. Beyond
// kMaxHits hits, or for a path that does not fit a slot, nothing is recorded.
void CSearchEngin::m_sub_RecordHit() {
    size_t size = listed::PathSize(m_szPath);
    if (m_nHits >= kMaxHits || size > static_cast<size_t>(kPathSlot)) return;
    if (m_nHits < kRowsPerPage) m_scanRows[m_nHits].bKnown = false;
    std::memcpy(m_hitPaths[m_nHits], m_szPath, size);
    std::memcpy(m_candPaths[m_nHits], m_szPath, size);
    ++m_nHits;
    // The filter passes count the hits again from zero: only the scan's
    // count is progress.
    if (m_pControl != nullptr && m_nWordIndex == 0) {
        m_pControl->hits.store(m_nHits, std::memory_order_relaxed);
    }
}

// The scan and the passes both end at a stop; a stopped pass keeps the
// scan's verdict on the files it did not reach (m_sub_KeepUntested).
bool CSearchEngin::m_sub_StopAsked() const {
    return m_pControl != nullptr && m_pControl->stop.load(std::memory_order_relaxed);
}

// The text around the first word for a row loaded after the search: the
// file's text is gathered again as the search gathered it, in the engine's
// own room.
void CSearchEngin::m_sub_LoadContext(ResultItem& item) const {
    item.szContext[0] = '\0';
    char text[kTextBuffer];
    FileText gathered;
    const sjis::QuickLook everyFile;  // no word: nothing is passed over
    try {
        if (m_nWords <= 0) return;
        if (m_options.AnyOn()) {
            m_sub_LoadContextWithOptions(item);
            return;
        }
        if (!GatherText(item.szPath, text, kTextLimit, gathered, m_rowRoom, everyFile)) {
            return;
        }
    } catch (const std::bad_alloc&) {
        return;  // the row shows without it
    }
    row_marks::CutContext(text, m_words[0], item.szContext, kExcerptLimit);
}

// The text around the first word as a search with options finds it: the
// file is streamed until that word's line is cut.
void CSearchEngin::m_sub_LoadContextWithOptions(ResultItem& item) const {
    char text[kTextBuffer];
    FileText gathered;
    const CFoldedQuery query(m_words, 1, m_options);
    CWordStream stream(query.Words(), query.Rules(), kExcerptLimit);
    if (!GatherIntoStream(item.szPath, text, kTextLimit, gathered, m_rowRoom, EveryFileLook(),
                          m_options.bWholeFile, stream, [&] { return stream.ContextSettled(); })) {
        return;
    }
    std::memcpy(item.szContext, stream.Context(), sizeof item.szContext);
}
