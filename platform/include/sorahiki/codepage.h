// Conversion between code page 932 (Shift-JIS as Windows has it, the program's
// own code page) and UTF-8.
//
// Both functions convert the whole input and return false when some of it had
// no form in the target:
// - Cp932ToUtf8: a byte that does not begin a valid code page 932 character
//   (a stray second byte, a lead byte followed by a byte that cannot follow
//   it, a lead byte at the end) becomes U+FFFD, and conversion goes on with
//   the next byte; the result is false.
// - Utf8ToCp932: a character with no code page 932 form, or a byte that is not
//   valid UTF-8, becomes "?" (no best-fit substitute is ever chosen); the
//   result is false.
// NUL bytes are converted like any other character.
#pragma once

#include <string>
#include <string_view>

bool Cp932ToUtf8(std::string_view in, std::string& out);
bool Utf8ToCp932(std::string_view in, std::string& out);

// The file system's own path of a path that a listing gave, in UTF-8 with
// "/" between its parts: each part with the mark 〓 (a name with no form of
// its own) found by its key after the path's NUL, and each part whose form
// converts back to another name found as the name listed. A path no longer
// found is converted as it is.
std::string ListedPathUtf8(const char* cp932Path);
