// Paging of the hits: the page map and the ten rows of the page shown, each
// row read again from its file (title and excerpt).
#include <cstdio>
#include <cstring>
#include <new>

#include <sorahiki/listing.h>

#include "search/BytesInRoom.h"
#include "search/FoldedQuery.h"
#include "search/HitPresence.h"
#include "search/readahead/ReadAhead.h"
#include "search/text/RowMarks.h"
#include "search/SearchControl.h"
#include "search/SearchEngin.h"
#include "search/text/SjisReader.h"

namespace {

using Reader = sjis::SjisCharReader<sjis::TextFileBytes>;

// The title: the first line with blanks and 0x81 characters dropped, at most
// `limit` bytes of whole characters. A NUL, the end or a line feed ends it and
// is consumed; a two-byte character that does not fit is left to be read next.
void ReadTitle(Reader& reader, char* title, int limit) {
    reader.ReadText(title, limit, true);
}

// The excerpt: the text after the title, running on over line breaks, with
// blanks, line feeds and 0x81 characters dropped; a NUL or the end ends it.
void ReadExcerpt(Reader& reader, char* excerpt, int limit) {
    reader.ReadText(excerpt, limit);
}

// The length of the longest run of whole characters from `text` that fits in
// `limit` bytes. Gathered text holds whole characters only.
int WholeCharacters(const char* text, int length, int limit) {
    int end = 0;
    while (end < length) {
        int next = end + (sjis::IsLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1);
        if (next > limit) break;
        end = next;
    }
    return end;
}

void ClearRow(ResultItem& item) {
    item.szTitle[0] = '\0';
    item.szContent[0] = '\0';
    item.szExtra[0] = '\0';
    item.szPath[0] = '\0';
    item.bPresent = 0;
    item.szContext[0] = '\0';
    std::memset(item.titleMarks, 0, sizeof item.titleMarks);
    std::memset(item.contentMarks, 0, sizeof item.contentMarks);
    std::memset(item.contextMarks, 0, sizeof item.contextMarks);
}

}  // namespace

int CSearchEngin::m_sub_MakePages() {
    std::memset(m_hitFlags, 0, sizeof m_hitFlags);
    for (int i = 0; i < m_nHits && i < kMaxHits; ++i) m_hitFlags[i] = 1;
    m_nPage = 0;
    m_sub_FillPage(true);
    m_sub_ForgetScanRows();
    m_bNoHit = m_nHits == 0 ? 1 : 0;
    return m_bNoHit;
}

int CSearchEngin::m_sub_LoadPage() {
    m_sub_FillPage(false);
    return 0;
}

// Keeps the title and the excerpt of hit `hit` as the search read them, when
// the hit will stand on the first page. `text` is the gathered text of the
// file and `firstLine` the bytes of it that come from the first line. When a
// NUL ends the first line within the title, the excerpt lies beyond the
// gathered text, and the row is read from the file. `context`, when the
// search found it already, is the text around the first word; else it is cut
// from `text`.
void CSearchEngin::m_sub_KeepScanRow(int hit, const char* text, int firstLine, bool nulEndsLine,
                                     const char* context) {
    if (hit < 0 || hit >= kRowsPerPage) return;
    ScanRow& row = m_scanRows[hit];
    int length = static_cast<int>(std::strlen(text));
    int title = WholeCharacters(text, firstLine, kTitleLimit);
    row.bKnown = !(nulEndsLine && title == firstLine && title < kTitleLimit);
    if (!row.bKnown) return;
    std::memcpy(row.szTitle, text, static_cast<size_t>(title));
    row.szTitle[title] = '\0';
    int excerpt = WholeCharacters(text + title, length - title, kExcerptLimit);
    std::memcpy(row.szContent, text + title, static_cast<size_t>(excerpt));
    row.szContent[excerpt] = '\0';
    if (context != nullptr) {
        std::memcpy(row.szContext, context, sizeof row.szContext);
        return;
    }
    row_marks::CutContext(std::string_view(text, static_cast<size_t>(length)), m_words[0],
                          row.szContext, kExcerptLimit);
}

void CSearchEngin::m_sub_ForgetScanRows() {
    for (ScanRow& row : m_scanRows) row.bKnown = false;
}

// Fills the rows of page m_nPage. Right after a search, with `fromScan`, the
// first page takes the rows that the search read; any other load reads the
// files as they are now.
void CSearchEngin::m_sub_FillPage(bool fromScan) {
    for (ResultItem& item : m_items) ClearRow(item);
    if (!IsPageInMap(m_nPage)) return;
    for (int row = 0; row < kRowsPerPage; ++row) {
        int hit = m_nPage * kRowsPerPage + row;
        if (!IsHitPresent(*this, hit)) break;
        m_sub_FillRow(m_items[row], hit, fromScan && m_nPage == 0);
    }
}

// Fills an emptied row with hit `hit`: from the text the search read when
// `fromScan` and it kept one, else from the file.
void CSearchEngin::m_sub_FillRow(ResultItem& item, int hit, bool fromScan) {
    item.bPresent = 1;
    listed::CopyPath(m_hitPaths[hit], item.szPath, sizeof item.szPath);
    if (fromScan && hit < kRowsPerPage && m_scanRows[hit].bKnown) {
        const ScanRow& row = m_scanRows[hit];
        std::memcpy(item.szTitle, row.szTitle, sizeof row.szTitle);
        std::memcpy(item.szContent, row.szContent, sizeof row.szContent);
        std::memcpy(item.szContext, row.szContext, sizeof row.szContext);
    } else {
        m_sub_LoadRow(item);
        m_sub_LoadContext(item);
    }
    m_sub_MarkRow(item);
}

// While a search runs beside a window (m_pControl), each row of page 0 is
// shown as soon as its file is known to hold every word: the scan's verdict
// tests them all. A later pass reads the file again and shows the row as it
// read it, which is the row of the finished search (the same, unless the
// file changed meanwhile). A row read here from its file is kept as the
// search's, so that the page made at the end shows the same texts.
void CSearchEngin::m_sub_ShowRow(int hit) {
    if (m_pControl == nullptr || hit >= kRowsPerPage) return;
    ResultItem item;
    ClearRow(item);
    m_sub_FillRow(item, hit, true);
    ScanRow& row = m_scanRows[hit];
    if (!row.bKnown) {
        std::memcpy(row.szTitle, item.szTitle, sizeof row.szTitle);
        std::memcpy(row.szContent, item.szContent, sizeof row.szContent);
        std::memcpy(row.szContext, item.szContext, sizeof row.szContext);
        row.bKnown = true;
    }
    m_pControl->rows.Put(hit, item);
}

// A later pass dropped the candidate that would have been hit `hit`, the
// `taken`th it took (its file changed since the scan, or can no longer be
// read): its row leaves page 0 at once, the rows after it move up, and the
// count loses it. Until the pass reaches them, the candidates after it keep
// the scan's verdict.
void CSearchEngin::m_sub_ShowDrop(int hit, int taken) {
    if (m_pControl == nullptr || m_nWordIndex == 0) return;
    if (hit < kRowsPerPage) m_pControl->rows.Remove(hit);
    m_pControl->hits.store(m_nHits + m_nCandidates - taken, std::memory_order_relaxed);
}

// A pass that ended for want of descriptors or memory drops the candidates
// it did not reach; one that was stopped keeps them (m_sub_KeepUntested).
void CSearchEngin::m_sub_ShowPassEnd() {
    if (m_pControl == nullptr) return;
    m_pControl->rows.Cut(m_nHits);
    m_pControl->hits.store(m_nHits, std::memory_order_relaxed);
}

// Marks the words of the last search in the three texts of a row: with
// folding, the characters a folded word matched, in the row's own forms.
void CSearchEngin::m_sub_MarkRow(ResultItem& item) const {
    if (FoldRulesOf(m_options).Any()) {
        const CFoldedQuery query(m_words, m_nWords, m_options);
        row_marks::MarkFoldedWords(item.szTitle, query.Words(), query.Rules(), item.titleMarks);
        row_marks::MarkFoldedWords(item.szContent, query.Words(), query.Rules(), item.contentMarks);
        row_marks::MarkFoldedWords(item.szContext, query.Words(), query.Rules(), item.contextMarks);
        return;
    }
    std::string_view words[kMaxWords];
    const int count = m_nWords < 0 ? 0 : (m_nWords > kMaxWords ? kMaxWords : m_nWords);
    for (int i = 0; i < count; ++i) words[i] = m_words[i];
    const std::span<const std::string_view> query(words, static_cast<size_t>(count));
    row_marks::MarkWords(item.szTitle, query, item.titleMarks);
    row_marks::MarkWords(item.szContent, query, item.contentMarks);
    row_marks::MarkWords(item.szContext, query, item.contextMarks);
}

// Fills the title and the excerpt of a row from its file. A file that cannot
// be opened leaves both empty; the row stays present with its path. Rows are
// read in the engine's own room (m_rowRoom), by the thread that has the
// engine: the search's while it runs, the window's for a page turn.
// A row that cannot have the memory its file needs stays empty too, and the
// record says that memory ran out.
void CSearchEngin::m_sub_LoadRow(ResultItem& item) {
    try {
        sjis::OpenFile file(item.szPath);
        if (!file.IsOpen()) return;
        CBytesInRoom bytes(m_rowRoom, file.Handle());
        Reader reader(*bytes);
        ReadTitle(reader, item.szTitle, kTitleLimit);
        ReadExcerpt(reader, item.szContent, kExcerptLimit);
    } catch (const std::bad_alloc&) {
        item.szTitle[0] = item.szContent[0] = '\0';
        m_bOutOfMemory = 1;
    }
}
