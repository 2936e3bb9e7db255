// The code page 932 form of every character of the Basic Multilingual Plane,
// as the system's own converter gives it, for text that arrives in UTF-8 or
// UTF-16. One call asks the converter about all 65,536 code units at once, so
// a caller builds its table once and converts without the system after that.
#pragma once

constexpr int kBmpSize = 0x10000;

// Writes forms[c] for every code unit c: 0 when the character has no form
// (no best-fit substitute is ever taken, a surrogate has none), the byte when
// the form is one byte, (first << 8) | second when it is two.
void ReadCp932Forms(unsigned short forms[kBmpSize]);
