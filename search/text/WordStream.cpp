#include "search/text/WordStream.h"

#include <algorithm>
#include <cstring>

#include <sorahiki/cp932.h>

#include "search/text/RowMarks.h"
#include "search/text/WordMatch.h"

namespace {

// The first character boundary of `text` at or after `from`. The text holds
// whole characters from its start, so the byte after one that cannot lead a
// character ends one: counting starts there, not at the text's start.
int BoundaryFrom(const char* text, int from) {
    int at = from;
    while (at > 0 && cp932::IsLeadByte(static_cast<unsigned char>(text[at - 1]))) --at;
    while (at < from) at += cp932::IsLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1;
    return at;
}

}  // namespace

CWordStream::CWordStream(std::span<const std::string_view> words, text_fold::FoldRules rules,
                         int contextLimit)
    : m_words(words.first(std::min<size_t>(words.size(), kMaxWords))),
      m_rules(rules),
      m_contextLimit(std::min(contextLimit, kMaxContext)) {}

void CWordStream::Take(int length, bool more) {
    m_length += length;
    m_source[m_length] = '\0';
    int consumed = m_length;
    if (m_rules.Any()) {
        const std::string_view source(m_source, static_cast<size_t>(m_length));
        const text_fold::FoldedText done =
            text_fold::FoldText(source, m_rules, more, m_folded, m_sourceAt);
        consumed = done.consumed;
        LookFor(std::string_view(m_folded, static_cast<size_t>(done.length)));
    } else {
        LookFor(std::string_view(m_source, static_cast<size_t>(m_length)));
    }
    if (m_contextAt >= 0) CutContext(more);
    if (!more) {
        m_settled = true;
        return;
    }
    KeepCarry(consumed);
}

// A word not found yet that occurs in the text so far was not seen before:
// the carry holds only what the earlier blocks could not yet complete.
void CWordStream::LookFor(std::string_view folded) {
    for (size_t i = 0; i < m_words.size(); ++i) {
        if (m_found[i]) continue;
        const int at = sjis::FindWord(folded, m_words[i]);
        if (at < 0) continue;
        m_found[i] = true;
        if (i != 0) continue;
        const int end = at + static_cast<int>(m_words[i].size());
        m_contextAt = m_rules.Any() ? m_sourceAt[at] : at;
        m_contextEnd = SourceEnd(end);
    }
}

// The end in the source of the character that folded byte `foldedEnd - 1`
// comes from.
int CWordStream::SourceEnd(int foldedEnd) const {
    if (!m_rules.Any()) return foldedEnd;
    const int last = m_sourceAt[foldedEnd - 1];
    const std::string_view rest(m_source + last, static_cast<size_t>(m_length - last));
    return last + text_fold::FoldAt(rest, m_rules).taken;
}

// The text around the word is cut once the text after it fills the line, or
// the text ends: only then is it the line a whole text would give.
void CWordStream::CutContext(bool more) {
    if (more && m_length - m_contextAt <= m_contextLimit) return;
    row_marks::CutContextAround(std::string_view(m_source, static_cast<size_t>(m_length)),
                                m_contextAt, m_contextEnd, m_context, m_contextLimit);
    m_contextAt = -1;
    m_settled = true;
}

// Keeps the last kCarry bytes, from a character boundary, and any letter
// the folding left for the next block.
void CWordStream::KeepCarry(int consumed) {
    const int from = std::min(BoundaryFrom(m_source, std::max(0, m_length - kCarry)), consumed);
    std::memmove(m_source, m_source + from, static_cast<size_t>(m_length - from));
    m_length -= from;
    if (m_contextAt >= 0) {
        m_contextAt -= from;
        m_contextEnd -= from;
    }
}
