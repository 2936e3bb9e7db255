// Paging of the hits: the page map and the ten rows of the page shown, each
// row read again from its file (title and excerpt).
#include <cstdio>
#include <cstring>

#include "search/SearchEngin.h"
#include "search/SjisReader.h"

namespace {

using Reader = sjis::SjisCharReader<sjis::TextFileBytes>;

// The title: the first line with blanks and 0x81 characters dropped, at most
// `limit` bytes of whole characters. A NUL, the end or a line feed ends it and
// is consumed; a two-byte character that does not fit is left to be read next.
void ReadTitle(Reader& reader, char* title, int limit) {
    int length = 0;
    while (length < limit) {
        sjis::SjisChar c = reader.Next();
        if (c.kind == sjis::CharKind::kEnd || c.kind == sjis::CharKind::kNul ||
            c.kind == sjis::CharKind::kLineFeed) {
            break;
        }
        if (c.kind != sjis::CharKind::kText) continue;
        if (!sjis::AppendChar(title, length, limit, c)) {
            reader.PutBack(c);
            break;
        }
    }
    title[length] = '\0';
}

// The excerpt: the text after the title, running on over line breaks, with
// blanks, line feeds and 0x81 characters dropped; a NUL or the end ends it.
void ReadExcerpt(Reader& reader, char* excerpt, int limit) {
    reader.ReadText(excerpt, limit);
}

void ClearRow(ResultItem& item) {
    item.szTitle[0] = '\0';
    item.szContent[0] = '\0';
    item.szExtra[0] = '\0';
    item.szPath[0] = '\0';
    item.bPresent = 0;
}

}  // namespace

int CSearchEngin::m_sub_MakePages() {
    std::memset(m_hitFlags, 0, sizeof m_hitFlags);
    for (int i = 0; i < m_nHits && i < kMaxHits; ++i) m_hitFlags[i] = 1;
    m_nPage = 0;
    m_sub_LoadPage();
    m_bNoHit = m_nHits == 0 ? 1 : 0;
    return m_bNoHit;
}

int CSearchEngin::m_sub_LoadPage() {
    for (ResultItem& item : m_items) ClearRow(item);
    if (m_nPage < 0 || m_nPage >= kMaxPages) return 0;
    for (int row = 0; row < kRowsPerPage; ++row) {
        int hit = m_nPage * kRowsPerPage + row;
        if (m_hitFlags[hit] != 1) break;
        ResultItem& item = m_items[row];
        item.bPresent = 1;
        std::snprintf(item.szPath, sizeof item.szPath, "%s", m_hitPaths[hit]);
        m_sub_LoadRow(item);
    }
    return 0;
}

// Fills the title and the excerpt of a row from its file. A file that cannot
// be opened leaves both empty; the row stays present with its path.
void CSearchEngin::m_sub_LoadRow(ResultItem& item) {
    sjis::OpenFile file(item.szPath);
    if (!file.IsOpen()) return;
    sjis::TextFileBytes bytes(file.Handle());
    Reader reader(bytes);
    ReadTitle(reader, item.szTitle, kTitleLimit);
    ReadExcerpt(reader, item.szContent, kExcerptLimit);
}
