// The search: the query parser and the passes over the folder searched
// ("DATA" unless the caller names another).
#include <new>

#include "search/text/Cp932Forms.h"
#include "search/SearchEngin.h"
#include "search/store/SessionStore.h"

#include "search/text/SjisReader.h"

namespace {

// The query as a byte source for the character reader; a NUL or a line feed
// ends the query (the search bar never delivers a line feed).
template <typename Read>
class QueryBytes {
  public:
    explicit QueryBytes(Read read) : m_read(read) {}
    int Next() {
        int c = m_read();
        return c == 0 || c == '\n' ? sjis::kEndOfInput : (c & 0xFF);
    }

  private:
    Read m_read;
};

}  // namespace

bool CSearchEngin::m_sub_Search(const char* pszQuery) {
    m_nWords = 0;
    m_nHits = 0;
    m_nCandidates = 0;
    m_bTooManyOpenFiles = 0;
    m_bOutOfMemory = 0;
    m_leftOut.nUnreadable = 0;
    m_leftOut.nTooLong = 0;
    m_bStopped = 0;
    m_bHitCap = 0;
    m_pszQuery = pszQuery;
    m_sub_ForgetScanRows();
    m_sub_ParseWords();
    // A query without a word finds nothing; the word slots that an earlier
    // search left are never searched for.
    if (m_nWords > 0) {
        // The forms of UTF-8 and UTF-16 text are read before any file is
        // opened: reading them loads the system's converter, which takes a
        // file descriptor that a reader holding its file might not find.
        m_nWordIndex = 0;
        if (m_sub_ReadForms()) {
            m_bStoreOn = m_pStore != nullptr && m_pStore->Begin(m_sub_Folder(), m_options);
            m_sub_ScanFolder(m_sub_Folder());
            m_sub_ApplyFilterPasses();
        }
    }
    m_sub_MakePages();
    return true;
}

// False, with the search failed, when the forms cannot have their memory.
bool CSearchEngin::m_sub_ReadForms() {
    try {
        cp932::FormsRead();
        return true;
    } catch (const std::bad_alloc&) {
        m_sub_NoteOutOfMemory(m_sub_Folder());
        return false;
    }
}

int CSearchEngin::m_sub_GetQueryChar() {
    char c = *m_pszQuery;
    if (c != '\0' && c != '\n') ++m_pszQuery;
    return static_cast<signed char>(c);
}

// Splits the query into at most ten words. Blanks and characters whose first
// byte is 0x81 (the full-width blank, Japanese punctuation) separate words; a
// word holds at most 20 bytes of whole characters, and a character that would
// not fit ends the word and is dropped.
void CSearchEngin::m_sub_ParseWords() {
    auto readByte = [this] { return m_sub_GetQueryChar(); };
    QueryBytes<decltype(readByte)> bytes(readByte);
    sjis::SjisCharReader reader(bytes);
    auto readChar = [&] {
        sjis::SjisChar c = reader.Next();
        char first = c.length > 0 ? static_cast<char>(c.bytes[0]) : *m_pszQuery;
        m_nChar = static_cast<signed char>(first);
        return c;
    };
    while (m_nWords < kMaxWords) {
        sjis::SjisChar c = readChar();
        if (c.kind == sjis::CharKind::kEnd) return;
        if (c.kind != sjis::CharKind::kText) continue;
        char* word = m_words[m_nWords];
        int length = 0;
        sjis::AppendChar(word, length, kMaxWordBytes, c);
        do {
            c = readChar();
        } while (c.kind == sjis::CharKind::kText &&
                 sjis::AppendChar(word, length, kMaxWordBytes, c));
        word[length] = '\0';
        ++m_nWords;
    }
}

// Narrows the hits of the folder scan by each further word in turn. A hit is
// written at index m_nHits, never above the candidate under test, so the
// candidate list is compacted in place and keeps its order.
void CSearchEngin::m_sub_ApplyFilterPasses() {
    m_nWordIndex = 1;
    m_nCandidates = m_nHits;
    if (m_nHits == 0) return;
    while (m_nWordIndex < m_nWords && !m_sub_WalkFailed() && !m_sub_StopAsked()) {
        m_nHits = 0;
        m_sub_TestCandidates();
        m_nCandidates = m_nHits;
        ++m_nWordIndex;
        if (m_nHits == 0) return;
    }
}
