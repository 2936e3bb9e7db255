// The words of a query looked for in a file's gathered text as it comes, a
// block at a time, with no buffer of the whole text: for a search that reads
// whole files or folds forms. The text and the words are folded alike
// (TextFold.h); a word may stand across the border of two blocks, and is
// found only at a character boundary of the file's own text. Owned by one
// thread: whoever gathers the file writes and reads it.
#pragma once

#include <span>
#include <string_view>

#include "search/text/TextFold.h"

class CWordStream {
  public:
    // Gathered bytes taken at once, and those kept from the text before so
    // that a word, and the text shown around it, can stand across a border.
    static constexpr int kBlock = 4096;
    static constexpr int kCarry = 256;
    // At most so many words, and so long a text around the first.
    static constexpr int kMaxWords = 16;
    static constexpr int kMaxContext = kCarry / 2;

    // `words` are folded with `rules` already. The text around the first
    // occurrence of words[0] is cut as row_marks::CutContext cuts it, at
    // most `contextLimit` bytes (up to kMaxContext).
    CWordStream(std::span<const std::string_view> words, text_fold::FoldRules rules,
                int contextLimit);

    // Where the next gathered bytes go: room for kBlock bytes and a NUL.
    char* Room() { return m_source + m_length; }
    // `length` bytes were written at Room(); `more` when the text may go on.
    void Take(int length, bool more);

    bool Found(int word) const { return m_found[word]; }
    // The text around words[0]: settled once it is cut, or the text ended
    // without it (then empty).
    bool ContextSettled() const { return m_settled; }
    const char* Context() const { return m_context; }

  private:
    static constexpr int kSource = kCarry + kBlock;

    void LookFor(std::string_view folded);
    int SourceEnd(int foldedEnd) const;
    void CutContext(bool more);
    void KeepCarry(int consumed);

    std::span<const std::string_view> m_words;
    text_fold::FoldRules m_rules;
    int m_contextLimit;
    bool m_found[kMaxWords] = {};
    bool m_settled = false;  // the context is cut, or will never be
    int m_contextAt = -1;    // where words[0] stands in m_source, until cut
    int m_contextEnd = -1;
    char m_context[kMaxContext + 1] = {};
    int m_length = 0;  // bytes in m_source
    char m_source[kSource + 1];
    char m_folded[2 * kSource + 1];
    unsigned short m_sourceAt[2 * kSource + 1];
};
