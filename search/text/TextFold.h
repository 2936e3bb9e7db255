// Folding of gathered code page 932 text, for searches that match forms
// alike: each character is folded to one form, the query's words and the
// file's text alike, and the words are then matched byte for byte. Plain
// functions over the caller's buffers; any thread.
//
// The order is fixed, so that every form of a word folds to one text:
// 1. width: half-width katakana become full-width katakana, a voiced or
//    semi-voiced mark that follows joining its letter (ｶﾞ → ガ, ﾊﾟ → パ,
//    ｳﾞ → ヴ); full-width digits and Latin letters become ASCII;
// 2. kana: hiragana become katakana;
// 3. case: Latin capitals become small letters, ASCII and full-width.
// A character whose folded form begins with 0x81 (the half-width ｰ ｡ ｢ ｣ ､ ･
// and a mark on its own) is dropped, as gathering drops such characters, so
// ｶﾚｰ, かれー and カレー all fold to カレ. The full-width blank and the
// full-width punctuation are 0x81 characters: gathering has dropped them
// already.
#pragma once

#include <string_view>

namespace text_fold {

struct FoldRules {
    bool bCase = false;
    bool bWidth = false;
    bool bKana = false;

    bool Any() const { return bCase || bWidth || bKana; }
};

// The folded form of the character (or letter and mark) at the start of a
// text: `length` bytes (0 when it is dropped) standing for `taken` bytes of
// the text.
struct FoldedChar {
    unsigned char bytes[2];
    unsigned char length;
    unsigned char taken;
};

// Folds the character at the start of `text`, which holds whole characters
// and is not empty.
FoldedChar FoldAt(std::string_view text, FoldRules rules);

// How far a text was folded.
struct FoldedText {
    int length;    // folded bytes written
    int consumed;  // bytes of the text they stand for
};

// Folds `text` into `out`, which has room for 2 × text.size() bytes and a
// NUL, and sets sourceAt[i] to the offset in `text` of the character that
// folded byte i comes from, sourceAt[length] to where the folding stopped.
// With `more` (text may follow), a last half-width letter that could still
// take a mark is left unfolded.
FoldedText FoldText(std::string_view text, FoldRules rules, bool more, char* out,
                    unsigned short* sourceAt);

// Folds a query's word (whole characters, no blank or 0x81 character) into
// `out`, which has room for twice its bytes and a NUL.
void FoldWord(const char* word, FoldRules rules, char* out);

}  // namespace text_fold
