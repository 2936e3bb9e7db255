// The shell's "open" of a listed path on Windows: where the path as converted
// names nothing ("〜" gives 0x81 0x60, which converts back to "～"), the shell
// gets the wide path of the entry that was listed.
#define SORAHIKI_LISTED_FILES_IMPLEMENTATION
#include <windows.h>

#include <string>

#include "platform/src/core/listed_files_win32.h"

namespace {

// Null stays null: the shell tells a missing verb from an empty one.
const wchar_t* WideOrNull(const char* text, std::wstring& wide) {
    if (text == nullptr) return nullptr;
    wide = Wide(text);
    return wide.c_str();
}

}  // namespace

HINSTANCE WINAPI ListedShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile,
                                     LPCSTR lpParameters, LPCSTR lpDirectory, INT nShowCmd) {
    std::wstring path;
    if (lpFile == nullptr || *lpFile == '\0' ||
        GetFileAttributesA(lpFile) != INVALID_FILE_ATTRIBUTES || !FindListedPath(lpFile, path)) {
        return ShellExecuteA(hwnd, lpOperation, lpFile, lpParameters, lpDirectory, nShowCmd);
    }
    std::wstring operation, parameters, directory;
    return ShellExecuteW(hwnd, WideOrNull(lpOperation, operation), path.c_str(),
                         WideOrNull(lpParameters, parameters), WideOrNull(lpDirectory, directory),
                         nShowCmd);
}
