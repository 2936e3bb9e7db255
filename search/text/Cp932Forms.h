// The code page 932 bytes of each Unicode character, for text that arrives in
// UTF-8 or UTF-16. Built once from the system's converter, with the same
// choices on every system:
// - characters that come in two Unicode forms where code page 932 has one
//   (〜 and ～, − and －, ‖ and ∥, — and ―, ¢ and ￠, £ and ￡, ¬ and ￢)
//   give the same bytes, whichever form one system's converter knows;
// - a one-byte form is kept only for ASCII, as itself, and for half-width
//   katakana: a look-alike such as ¥ for "\" is no form, nor is a byte that
//   is no character of code page 932.
#pragma once

namespace cp932 {

// The form of `c`: 0 when it has none, else the byte, or (first << 8) | second.
unsigned short FormOf(char32_t c);

// The table itself, for converters that look up every character. While the
// system's converter cannot be had (a process short of file descriptors
// cannot load it), a table without forms.
const unsigned short* Forms();
// Reads the table when it is not read yet; true once it is.
bool FormsRead();

}  // namespace cp932
