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
// the gathering drops it (a blank, a line end, a form that begins with 0x81;
// a CR, dropped before a line feed, counts too, which at worst costs a
// gathering), so the character after it decides; it may be that one (it is,
// it has no form, or the text may end there: a NUL or 0x1A); or it surely
// is not.
enum class Stands { kDropped, kMay, kNot };

inline Stands StandsFor(unsigned form, unsigned next) {
    if (form == next || form == 0 || form == 0x1A) return Stands::kMay;
    if (form == ' ' || form == '\n' || form == '\r' || form >> 8 == 0x81) return Stands::kDropped;
    return Stands::kNot;
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
    for (;;) {
        unsigned form = 0;
        int size = 0;
        if (!Utf8CharAt(block, at, length, forms, form, size)) return true;
        const Stands stands = StandsFor(form, next);
        if (stands != Stands::kDropped) return stands == Stands::kMay;
        at += size;
    }
}

inline bool MayFollowUtf16(const unsigned char* block, int at, int length, bool bigEndian,
                           unsigned next, const unsigned short* forms) {
    for (;; at += 2) {
        if (at + 1 >= length) return true;
        const unsigned unit = bigEndian ? unsigned{block[at]} << 8 | block[at + 1]
                                        : unsigned{block[at + 1]} << 8 | block[at];
        if (unit >= 0xD800 && unit <= 0xDFFF) return true;
        const Stands stands = StandsFor(unit < 0x80 ? unit : forms[unit], next);
        if (stands != Stands::kDropped) return stands == Stands::kMay;
    }
}

}  // namespace
}  // namespace sjis::nextform
