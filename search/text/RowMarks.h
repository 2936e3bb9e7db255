// What a row shows of the words of a query: marks under the bytes of every
// occurrence in its texts, and the text around the first word where it first
// occurs in the file, for a row whose title and excerpt hold none of them.
#pragma once

#include <span>
#include <string_view>

#include "search/text/TextFold.h"

namespace row_marks {

// "…" in code page 932: the text around a word begins with it.
inline constexpr char kEllipsis[] = "\x81\x63";

// Sets marks[i] (i < marks.size()) to 1 where byte i of `text` belongs to an
// occurrence of one of `words` at a character boundary, else to 0. True when
// some word occurs.
bool MarkWords(std::string_view text, std::span<const std::string_view> words,
               std::span<unsigned char> marks);

// As MarkWords, for words folded with `rules` (TextFold.h): the text is
// folded alike, and the marks stand under the bytes of its own characters
// that a word's match folded from. Texts of at most kMarkedTextBytes bytes.
inline constexpr int kMarkedTextBytes = 256;
bool MarkFoldedWords(std::string_view text, std::span<const std::string_view> foldedWords,
                     text_fold::FoldRules rules, std::span<unsigned char> marks);

// Writes "…" and the text around the first occurrence of `word` in `text`
// (a file's searched text, whole characters) into `context`: at most `limit`
// bytes of whole characters and a NUL, always the whole word, with some text
// before the word when there is some. Empty when the word does not occur.
void CutContext(std::string_view text, std::string_view word, char* context, int limit);

// As CutContext, around the word that stands at bytes [at, wordEnd) of `text`.
void CutContextAround(std::string_view text, int at, int wordEnd, char* context, int limit);

}  // namespace row_marks
