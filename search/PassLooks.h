// The quick looks of one query, made once per query rather than once per pass
// or per file tested: one for the scan (every word) and one for each later
// pass (its word alone), each made when first asked for. The walking thread
// asks before a pass begins, so it alone writes them, while no reader runs;
// the readers of that pass only read the look it was given.
#pragma once

#include <cstring>

#include "search/Limits.h"
#include "search/text/QuickLook.h"

class CPassLooks {
  public:
    using Words = char[limits::kWords][limits::kWordSlot];

    // The look of the pass over word `wordIndex` of `words`, or of the scan
    // (every word) for index 0.
    const sjis::QuickLook& For(const Words& words, int count, int wordIndex) {
        if (!SameQuery(words, count)) Begin(words, count);
        if (!m_made[wordIndex]) Make(wordIndex);
        return m_looks[wordIndex];
    }

  private:
    // The scan's look in place 0, where the first word's own would be: the
    // first word has no pass of its own.
    static constexpr int kLooks = limits::kWords;

    bool SameQuery(const Words& words, int count) const {
        if (count != m_count) return false;
        for (int i = 0; i < count; ++i) {
            if (std::strcmp(words[i], m_words[i]) != 0) return false;
        }
        return true;
    }

    void Begin(const Words& words, int count) {
        m_count = count;
        for (int i = 0; i < count; ++i) std::strcpy(m_words[i], words[i]);
        for (bool& made : m_made) made = false;
    }

    void Make(int wordIndex) {
        sjis::QuickLook& look = m_looks[wordIndex];
        look = sjis::QuickLook{};
        if (wordIndex == 0) {
            for (int i = 0; i < m_count; ++i) look.Add(m_words[i]);
        } else {
            look.Add(m_words[wordIndex]);
        }
        m_made[wordIndex] = true;
    }

    Words m_words = {};
    int m_count = -1;  // no query yet
    bool m_made[kLooks] = {};
    sjis::QuickLook m_looks[kLooks];
};
