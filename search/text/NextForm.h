// Whether the character found in a UTF-8 or UTF-16 file can be followed, in
// the text gathered from it, by the next character of a word (given as its
// code page 932 form): the first character after it in the file that the
// gathering keeps is that one, or one whose form cannot be told here (no
// form, a surrogate, a character of four bytes, bytes that are no
// character). Only a character whose form is surely kept and differs rules
// the pair out. Read by the quick look's readers; written by no one.
//
// Internal linkage, as in Utf8RunPass.h: the AVX2 file includes it too.
#pragma once

namespace sjis::nextform {
namespace {

// How a character of form `form` stands where the form `next` is wanted:
// the gathering drops it (a blank, a line feed, a form that begins with
// 0x81), so the character after it decides; it is a CR, dropped before a
// line feed and kept before anything else; it may be that one (it is, it
// has no form, or the text may end there: a NUL or 0x1A); or it surely is
// not.
enum class Stands { kDropped, kCarriageReturn, kMay, kNot };

inline Stands StandsFor(unsigned form, unsigned next) {
    if (form == next || form == 0 || form == 0x1A) return Stands::kMay;
    if (form == '\r') return Stands::kCarriageReturn;
    if (form == ' ' || form == '\n' || form >> 8 == 0x81) return Stands::kDropped;
    return Stands::kNot;
}

// Passes over what the gathering drops from `at` on, each character's form
// and size given by `charAt` (false where it cannot be told), and tells
// whether the first one kept may be `next`. A CR found just before a line
// feed is dropped, no character: that is told at once, so every character
// is passed after one character found at most, and a look costs no more
// than the characters it passes.
template <typename CharAt>
bool MayFollow(int at, bool afterCarriageReturn, unsigned next, CharAt charAt) {
    unsigned first = 0;
    int firstSize = 0;
    if (afterCarriageReturn && charAt(at, first, firstSize) && first == '\n') return false;
    for (;;) {
        unsigned form = 0;
        int size = 0;
        if (!charAt(at, form, size)) return true;
        switch (StandsFor(form, next)) {
            case Stands::kMay:
                return true;
            case Stands::kNot:
                return false;
            case Stands::kDropped:
                break;
            case Stands::kCarriageReturn: {
                unsigned after = 0;
                int afterSize = 0;
                // A character after it with no form may be dropped itself,
                // and a line feed follow.
                if (!charAt(at + size, after, afterSize) || after == 0) return true;
                if (after != '\n') return false;
                break;
            }
        }
        at += size;
    }
}

// The character of a UTF-8 sequence at `at`: its form and its bytes in
// `size`; false where it cannot be told (past the bytes, four bytes, bytes
// that are no character, an overlong form, a surrogate).
inline bool Utf8CharAt(const unsigned char* block, int at, int length, const unsigned short* forms,
                       unsigned& form, int& size) {
    if (at >= length) return false;
    const unsigned lead = block[at];
    if (lead < 0x80) {
        form = lead;
        size = 1;
        return true;
    }
    unsigned c = 0;
    if ((lead & 0xE0) == 0xC0) {
        size = 2;
        c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        size = 3;
        c = lead & 0x0F;
    } else {
        return false;
    }
    if (at + size > length) return false;
    for (int i = 1; i < size; ++i) {
        if ((block[at + i] & 0xC0) != 0x80) return false;
        c = c << 6 | (block[at + i] & 0x3Fu);
    }
    // An overlong form or a surrogate is no character: the converter drops it.
    if (c < (size == 2 ? 0x80u : 0x800u) || (c >= 0xD800 && c <= 0xDFFF)) return false;
    form = forms[c];
    return true;
}

inline bool MayFollowUtf8(const unsigned char* block, int at, int length, unsigned next,
                          const unsigned short* forms) {
    // The character found ends at `at`; only a CR ends with 0x0D.
    const bool afterCarriageReturn = at > 0 && block[at - 1] == '\r';
    return MayFollow(at, afterCarriageReturn, next, [&](int where, unsigned& form, int& size) {
        return Utf8CharAt(block, where, length, forms, form, size);
    });
}

inline bool MayFollowUtf16(const unsigned char* block, int at, int length, bool bigEndian,
                           unsigned next, const unsigned short* forms) {
    auto unitAt = [&](int where) {
        return bigEndian ? unsigned{block[where]} << 8 | block[where + 1]
                         : unsigned{block[where + 1]} << 8 | block[where];
    };
    // The unit found is the two bytes before `at`.
    const bool afterCarriageReturn = at >= 2 && at <= length && unitAt(at - 2) == '\r';
    return MayFollow(at, afterCarriageReturn, next, [&](int where, unsigned& form, int& size) {
        if (where + 1 >= length) return false;
        const unsigned unit = unitAt(where);
        if (unit >= 0xD800 && unit <= 0xDFFF) return false;
        form = unit < 0x80 ? unit : forms[unit];
        size = 2;
        return true;
    });
}

}  // namespace
}  // namespace sjis::nextform
