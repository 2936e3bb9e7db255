// The same text as the files of each encoding the search reads hold it:
// Shift-JIS, UTF-8 and UTF-16 in either byte order, for tests that hold the
// engine to one answer whatever a file's encoding.
#pragma once

#include <utf8.h>

#include <string>

#include <sorahiki/codepage.h>

namespace encoded_files {

inline std::string Cp932(const std::string& utf8Text) {
    std::string out;
    Utf8ToCp932(utf8Text, out);
    return out;
}

// With its byte order mark.
inline std::string Utf16(const std::string& utf8Text, bool bigEndian) {
    std::u16string units = utf8::utf8to16(utf8Text);
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : units) {
        char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

}  // namespace encoded_files
