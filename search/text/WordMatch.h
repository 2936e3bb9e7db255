// The match rule of the search: a word occurs in a text where its bytes stand
// at a character boundary of the code page 932 text. The folder scan's verdict
// and the marks that show the words on a row use this one rule.
#pragma once

#include <string_view>

#include <sorahiki/cp932.h>

namespace sjis {

// Calls `found(at)` for each byte offset where `word` occurs in `text` at a
// character boundary, in order, until it returns false. The word is looked
// for as plain bytes first; only where it turns up are the character
// boundaries counted, from the last one known. Gathered text holds whole
// characters only (a lead byte without its second byte is dropped while
// reading), so counting from its start finds every boundary. An empty word
// occurs nowhere.
template <typename Found>
void ForEachWordAt(std::string_view text, std::string_view word, Found found) {
    if (word.empty()) return;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    size_t boundary = 0;
    for (size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
        while (boundary < at) boundary += cp932::IsLeadByte(bytes[boundary]) ? 2 : 1;
        if (boundary == at && !found(at)) return;
    }
}

// The offset of the first occurrence of `word` in `text`, or -1.
inline int FindWord(std::string_view text, std::string_view word) {
    int first = -1;
    ForEachWordAt(text, word, [&](size_t at) {
        first = static_cast<int>(at);
        return false;
    });
    return first;
}

}  // namespace sjis
