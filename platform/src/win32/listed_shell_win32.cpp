// The shell's "open" of a listed path on Windows, through ShellExecuteW with
// every text converted from code page 932: a marked path, or one that names
// nothing as converted ("〜" gives 0x81 0x60, which converts back to "～"),
// goes to the shell as the wide path of the entry listed. A marked path whose
// keys find nothing opens nothing.
#define SORAHIKI_LISTED_FILES_IMPLEMENTATION
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "platform/src/win32/listed_files_win32.h"

namespace {

// Null stays null: the shell tells a missing verb from an empty one.
const wchar_t* WideOrNull(const char* text, std::wstring& wide) {
    if (text == nullptr) return nullptr;
    wide = Wide(text);
    return wide.c_str();
}

// What ShellExecuteW would return for `error`: the system's error where it
// is one of the shell's old codes (all of them at or below 32), else "file
// not found".
HINSTANCE ShellFailure(DWORD error) {
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(error <= 32 ? error : SE_ERR_FNF));
}

}  // namespace

HINSTANCE WINAPI ListedShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile,
                                     LPCSTR lpParameters, LPCSTR lpDirectory, INT nShowCmd) {
    std::wstring operation, file, parameters, directory;
    if (lpFile != nullptr && *lpFile != '\0' && !OpenablePath(lpFile, file)) {
        return ShellFailure(GetLastError());
    }
    return ShellExecuteW(
        hwnd, WideOrNull(lpOperation, operation), lpFile == nullptr ? nullptr : file.c_str(),
        WideOrNull(lpParameters, parameters), WideOrNull(lpDirectory, directory), nShowCmd);
}
