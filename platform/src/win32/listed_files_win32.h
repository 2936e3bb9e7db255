// What the Windows file layer shares with the layer's shell and window calls.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Text in the program's code page 932 as UTF-16, whatever the system's code
// page; a byte that begins no character becomes U+FFFD.
std::wstring Wide(std::string_view text);
// UTF-16 text in code page 932; a character with no form becomes "?".
std::string Narrow(std::wstring_view text);

// The wide path of a path as the listing gave it: a marked part by its form
// and key, another part as converted, or else by its form. False when some
// part is not found.
bool FindListedPath(const char* cp932Path, std::wstring& path);

// The wide path that a code page 932 path names: found through the listing
// when it is marked or names nothing as converted. False, with the error
// set, for a marked path that its keys no longer find (it never opens its
// form's own name) or whose folder cannot be listed.
bool OpenablePath(const char* cp932Path, std::wstring& path);
