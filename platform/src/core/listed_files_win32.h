// What the Windows file layer shares with the layer's shell call.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Text in the program's code page as UTF-16.
std::wstring Wide(std::string_view text);

// The wide path of a path as the listing gave it, found part by part where a
// part's code page 932 form converts back to another name. False when some
// part is not found.
bool FindListedPath(const char* cp932Path, std::wstring& path);
