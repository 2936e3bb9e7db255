// Helpers shared by the pieces of the Linux file layer.
#pragma once

#include <windows.h>

#include <string>

// The Win32 error code that stands nearest to an errno value.
DWORD Win32ErrorFromErrno(int error);

// Converts a code page 932 path to the file system's UTF-8; "\" separators
// become "/". False when the path has no UTF-8 form.
bool Utf8PathFromCp932(const char* path, std::string& out);
