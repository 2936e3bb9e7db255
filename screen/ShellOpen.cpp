#include "screen/ShellOpen.h"

#include <windows.h>
#include <shellapi.h>

void OpenWithShell(const char* pszPath) {
    // GetFullPathNameA reads the path in the program's code page, so a
    // trail byte 0x5C of a double-byte character is never taken for a
    // separator. When it fails the path goes to the shell as found.
    char szFullPath[MAX_PATH * 4];
    const DWORD nLength = GetFullPathNameA(pszPath, sizeof szFullPath, szFullPath, nullptr);
    const char* pszFile = (nLength > 0 && nLength < sizeof szFullPath) ? szFullPath : pszPath;
    // The result is not examined: a file that will not open is not reported.
    ShellExecuteA(nullptr, "open", pszFile, nullptr, nullptr, SW_SHOWNORMAL);
}
