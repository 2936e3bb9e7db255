// Words cut from a code page 932 text, and the match at a character
// boundary that the generated-input tests hold the quick look and the
// reader to.
#pragma once

#include <string>

#include "search/text/SjisReader.h"

namespace word_samples {

inline size_t CharLength(const std::string& text, size_t at) {
    return sjis::IsLeadByte(text[at]) ? 2u : 1u;
}

// Whole characters of `text` from about `start` on: at most `maxChars` of
// them in at most `maxBytes` bytes.
inline std::string WordAt(const std::string& text, size_t start, int maxChars, size_t maxBytes) {
    size_t at = 0;
    while (at < start && at < text.size()) at += CharLength(text, at);
    std::string word;
    for (int n = 0; n < maxChars && at < text.size(); ++n, at += CharLength(text, at)) {
        if (word.size() + CharLength(text, at) > maxBytes) break;
        word.append(text, at, CharLength(text, at));
    }
    return word;
}

inline bool HoldsAtBoundary(const std::string& text, const std::string& word) {
    for (size_t at = 0; at < text.size(); at += CharLength(text, at)) {
        if (text.compare(at, word.size(), word) == 0) return true;
    }
    return false;
}

}  // namespace word_samples
