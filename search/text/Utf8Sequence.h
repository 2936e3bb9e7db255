// UTF-8 sequences, one at a time, by the rules of well-formed UTF-8: no
// overlong form, no surrogate, nothing above U+10FFFF.
#pragma once

namespace utf8seq {

enum class SequenceKind : unsigned char {
    kValid,    // a whole character
    kInvalid,  // bytes that begin no character: the longest start of one
    kCut,      // the start of a character that the end of the bytes cuts off
};

struct Sequence {
    SequenceKind kind;
    unsigned char length;  // bytes taken (kInvalid: to drop; kCut: present)
    char32_t codePoint;    // for kValid
};

// Reads the sequence at `p`, with `end` past the last byte (p < end).
inline Sequence ReadSequence(const unsigned char* p, const unsigned char* end) {
    unsigned char lead = p[0];
    if (lead < 0x80) return {SequenceKind::kValid, 1, lead};
    int trailing;
    char32_t codePoint;
    unsigned char low = 0x80, high = 0xBF;  // the range of the next byte
    if (lead < 0xC2) {
        return {SequenceKind::kInvalid, 1, 0};
    } else if (lead < 0xE0) {
        trailing = 1;
        codePoint = lead & 0x1F;
    } else if (lead < 0xF0) {
        trailing = 2;
        codePoint = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;   // overlong below U+0800
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead < 0xF5) {
        trailing = 3;
        codePoint = lead & 0x07;
        if (lead == 0xF0) low = 0x90;   // overlong below U+10000
        if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
        return {SequenceKind::kInvalid, 1, 0};
    }
    for (int i = 1; i <= trailing; ++i) {
        if (p + i == end) return {SequenceKind::kCut, static_cast<unsigned char>(i), 0};
        unsigned char next = p[i];
        if (next < low || next > high) {
            return {SequenceKind::kInvalid, static_cast<unsigned char>(i), 0};
        }
        low = 0x80;
        high = 0xBF;
        codePoint = codePoint << 6 | (next & 0x3F);
    }
    return {SequenceKind::kValid, static_cast<unsigned char>(trailing + 1), codePoint};
}

}  // namespace utf8seq
