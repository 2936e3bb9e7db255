// The query's words as a search with options matches them: folded by the
// rules its options ask for (search/text/TextFold.h). Made by whoever needs
// them from the record, which does not change while a search runs: the walk
// for its readers, the rows' loading and marking for theirs.
#pragma once

#include <span>
#include <string_view>

#include "search/Limits.h"
#include "search/SearchOptions.h"
#include "search/text/TextFold.h"

inline text_fold::FoldRules FoldRulesOf(const SearchOptions& options) {
    return text_fold::FoldRules{options.bFoldCase, options.bFoldWidth, options.bFoldKana};
}

class CFoldedQuery {
  public:
    CFoldedQuery(const char (*words)[limits::kWordSlot], int count, const SearchOptions& options)
        : m_rules(FoldRulesOf(options)),
          m_count(count < 0 ? 0 : (count > limits::kWords ? limits::kWords : count)) {
        for (int i = 0; i < m_count; ++i) {
            text_fold::FoldWord(words[i], m_rules, m_folded[i]);
            m_views[i] = m_folded[i];
        }
    }
    CFoldedQuery(const CFoldedQuery&) = delete;
    CFoldedQuery& operator=(const CFoldedQuery&) = delete;

    text_fold::FoldRules Rules() const { return m_rules; }
    std::span<const std::string_view> Words() const {
        return std::span<const std::string_view>(m_views, static_cast<size_t>(m_count));
    }

  private:
    text_fold::FoldRules m_rules;
    int m_count;
    char m_folded[limits::kWords][2 * limits::kWordBytes + 1];
    std::string_view m_views[limits::kWords];
};
