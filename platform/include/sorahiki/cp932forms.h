// The code page 932 form of every character of the Basic Multilingual Plane,
// as the system's own converter gives it, for text that arrives in UTF-8 or
// UTF-16. One call asks the converter about all 65,536 code units at once, so
// a caller builds its table once and converts without the system after that.
#pragma once

constexpr int kBmpSize = 0x10000;

// Pairs of characters with one code page 932 form between them, which
// converts back to the second: "〜" U+301C takes 0x81 0x60, which is "～"
// U+FF5E. Text and names give both characters of a pair that one form.
struct SharedCp932Form {
    char16_t alone;         // its form converts back to the other character
    char16_t convertsBack;  // the character the form converts back to
};
inline constexpr SharedCp932Form kSharedCp932Forms[] = {
    {0x301C, 0xFF5E}, {0x2212, 0xFF0D}, {0x2016, 0x2225}, {0x2014, 0x2015},
    {0x00A2, 0xFFE0}, {0x00A3, 0xFFE1}, {0x00AC, 0xFFE2},
};

// Writes forms[c] for every code unit c: 0 when the character has no form
// (no best-fit substitute is ever taken, a surrogate has none), the byte when
// the form is one byte, (first << 8) | second when it is two.
void ReadCp932Forms(unsigned short forms[kBmpSize]);
