// Whether the character found in a UTF-8 or UTF-16 file can be followed, in
// the text gathered from it, by the next character of a word (given as its
// code page 932 form): the character after it in the file is that one, or
// one the gathering drops (a blank, a line end, a form that begins with
// 0x81), or one whose form cannot be told here (no form, a surrogate, a
// character of four bytes, bytes that are no character). Only a character
// whose form is surely kept and differs rules the pair out. Read by the
// quick look's readers; written by no one.
//
// Internal linkage, as in Utf8RunPass.h: the AVX2 file includes it too.
#pragma once

namespace sjis::nextform {
namespace {

// Whether a character of form `form` may stand where the form `next` is
// wanted: it is that form, or it is dropped, or it has none.
inline bool MayStandFor(unsigned form, unsigned next) {
    return form <= 0x20 || form >> 8 == 0x81 || form == next;
}

inline bool MayFollowUtf8(const unsigned char* block, int at, int length, unsigned next,
                          const unsigned short* forms) {
    if (at >= length) return true;
    const unsigned lead = block[at];
    if (lead < 0x80) return MayStandFor(lead, next);
    int size = 0;
    unsigned c = 0;
    if ((lead & 0xE0) == 0xC0) {
        size = 2;
        c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        size = 3;
        c = lead & 0x0F;
    } else {
        return true;  // four bytes, or no character
    }
    if (at + size > length) return true;
    for (int i = 1; i < size; ++i) {
        if ((block[at + i] & 0xC0) != 0x80) return true;
        c = c << 6 | (block[at + i] & 0x3Fu);
    }
    // An overlong form or a surrogate is no character: the converter drops it.
    if (c < (size == 2 ? 0x80u : 0x800u) || (c >= 0xD800 && c <= 0xDFFF)) return true;
    return MayStandFor(forms[c], next);
}

inline bool MayFollowUtf16(const unsigned char* block, int at, int length, bool bigEndian,
                           unsigned next, const unsigned short* forms) {
    if (at + 1 >= length) return true;
    const unsigned unit = bigEndian ? unsigned{block[at]} << 8 | block[at + 1]
                                    : unsigned{block[at + 1]} << 8 | block[at];
    if (unit < 0x80) return MayStandFor(unit, next);
    if (unit >= 0xD800 && unit <= 0xDFFF) return true;
    return MayStandFor(forms[unit], next);
}

}  // namespace
}  // namespace sjis::nextform
