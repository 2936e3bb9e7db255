// A plain reading of the search's options over Unicode text, which the
// engine's tests hold it to: the text gathered from a file (whole, or its
// first 2,001 bytes) and the folding of case, width and kana. Written from
// the rules, not from the engine's code. Named, since the tests are built as
// one unit.
#pragma once

#include <utf8.h>

#include <iterator>
#include <map>
#include <string>

#include "search/SearchOptions.h"
#include "tests/engine/text/EncodedFiles.h"

namespace options_reading {

using encoded_files::Cp932;
using encoded_files::Utf16;

inline std::string Utf8(const std::u32string& text) {
    std::string out;
    utf8::utf32to8(text.begin(), text.end(), std::back_inserter(out));
    return out;
}

inline std::u32string Utf32(const std::string& utf8Text) {
    std::u32string out;
    utf8::utf8to32(utf8Text.begin(), utf8Text.end(), std::back_inserter(out));
    return out;
}

// The bytes of a character in code page 932.
inline size_t Cp932Size(char32_t c) {
    static std::map<char32_t, std::string> forms;
    auto [at, added] = forms.try_emplace(c);
    if (added) at->second = Cp932(Utf8(std::u32string(1, c)));
    return at->second.size();
}

// A separator: its code page 932 form begins with 0x81, and no text keeps it.
inline bool IsSeparator(char32_t c) {
    static std::map<char32_t, bool> separators;
    auto [at, added] = separators.try_emplace(c);
    if (added) at->second = static_cast<unsigned char>(Cp932(Utf8({c}))[0]) == 0x81;
    return at->second;
}

// The searched text of a file that holds `text`: a NUL or 0x1A ends it, a CR
// before a LF, blanks, line feeds and separators are dropped; without
// `whole`, only the characters that fit in 2,001 bytes count.
inline std::u32string Gathered(const std::u32string& text, bool whole) {
    std::u32string out;
    size_t bytes = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c == 0 || c == 0x1A) break;
        if (c == U' ' || c == U'\n' ||
            (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') || IsSeparator(c)) {
            continue;
        }
        if (!whole && bytes + Cp932Size(c) > 2001) break;
        bytes += Cp932Size(c);
        out += c;
    }
    return out;
}

// U+FF61 to U+FF9F in full width.
inline const std::u32string kHalfWidth =
    U"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
    U"ハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
inline const std::u32string kTakeVoiced = U"カキクケコサシスセソタチツテトハヒフヘホ";
inline const std::u32string kTakeSemiVoiced = U"ハヒフヘホ";

// Width, then kana, then case; what folds to a separator is dropped.
inline std::u32string Folded(const std::u32string& text, const SearchOptions& o) {
    std::u32string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        const char32_t next = i + 1 < text.size() ? text[i + 1] : 0;
        if (o.bFoldWidth && c >= 0xFF01 && c <= 0xFF5E) {
            c -= 0xFEE0;
        } else if (o.bFoldWidth && c >= 0xFF61 && c <= 0xFF9F) {
            c = kHalfWidth[c - 0xFF61];
            if (next == 0xFF9E && c == U'ウ') {
                c = U'ヴ', ++i;
            } else if (next == 0xFF9E && kTakeVoiced.find(c) != std::u32string::npos) {
                c += 1, ++i;
            } else if (next == 0xFF9F && kTakeSemiVoiced.find(c) != std::u32string::npos) {
                c += 2, ++i;
            }
        }
        if (o.bFoldKana && c >= 0x3041 && c <= 0x3093) c += 0x60;
        if (o.bFoldCase && ((c >= U'A' && c <= U'Z') || (c >= 0xFF21 && c <= 0xFF3A))) c += 0x20;
        if (!IsSeparator(c)) out += c;
    }
    return out;
}

// Options from four bits: whole file, case, width, kana.
inline SearchOptions OptionsOf(int bits) {
    SearchOptions o;
    o.bWholeFile = (bits & 1) != 0;
    o.bFoldCase = (bits & 2) != 0;
    o.bFoldWidth = (bits & 4) != 0;
    o.bFoldKana = (bits & 8) != 0;
    return o;
}

}  // namespace options_reading
