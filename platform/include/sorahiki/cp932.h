// The byte rules of code page 932 that the engine, the command-line tool and
// the code page conversion share. Both builds include it.
#pragma once

namespace cp932 {

// A byte that begins a two-byte character when it stands at a character
// boundary; the byte after it belongs to the same character, whatever it is.
constexpr bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// A byte that can stand second in a two-byte character.
constexpr bool IsTrailByte(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// The lead byte of the full-width blank and the Japanese punctuation
// (、。・ ...): such characters separate words and are never text.
constexpr unsigned char kSeparatorLead = 0x81;

}  // namespace cp932
