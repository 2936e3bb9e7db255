// The shell's calls on a listed path on Windows, through the wide calls with
// every text converted from code page 932: a marked path, or one that names
// nothing as converted ("〜" gives 0x81 0x60, which converts back to "～"),
// goes to the shell as the wide path of the entry listed. A marked path whose
// keys find nothing opens nothing.
#define SORAHIKI_LISTED_FILES_IMPLEMENTATION
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>
#include <string>

#include "platform/src/win32/listed_files_win32.h"

namespace {

constexpr INT_PTR kShellOpened = 42;  // above 32 is success

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

std::wstring ExpandedText(const std::wstring& text) {
    const DWORD units = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (units == 0) return text;
    std::wstring expanded(units, L'\0');
    ExpandEnvironmentStringsW(text.c_str(), expanded.data(), units);
    expanded.resize(std::wcslen(expanded.c_str()));
    return expanded;
}

// An association's command with the file put in: %1 and %L are the file
// (quoted unless the command quotes it), %* and %2 to %9 nothing, %% a
// percent sign; a command with no place for the file takes it at its end.
std::wstring CommandFor(const std::wstring& command, const std::wstring& file) {
    std::wstring line;
    bool placed = false;
    for (size_t i = 0; i < command.size(); ++i) {
        const wchar_t c = command[i];
        const wchar_t next = i + 1 < command.size() ? command[i + 1] : L'\0';
        if (c != L'%' || next == L'\0') {
            line += c;
            continue;
        }
        ++i;
        if (next == L'1' || next == L'L' || next == L'l') {
            const bool quoted = !line.empty() && line.back() == L'"';
            line += quoted ? file : L'"' + file + L'"';
            placed = true;
        } else if (next == L'%') {
            line += L'%';
        } else if (next != L'*' && (next < L'2' || next > L'9')) {
            line += c;
            line += next;
        }
    }
    if (!placed) line += L" \"" + file + L'"';
    return line;
}

// Some shells expand environment strings in the file they are given, so
// that "%TEMP%.txt" would open another file: a path that holds one is
// opened with the command its type is associated with, which takes the path
// as it stands.
HINSTANCE OpenWithAssociation(const std::wstring& file, const wchar_t* verb, INT nShowCmd) {
    wchar_t command[4096];
    DWORD units = ARRAYSIZE(command);
    if (FAILED(AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_COMMAND,
                                 PathFindExtensionW(file.c_str()), verb, command, &units))) {
        return ShellFailure(SE_ERR_NOASSOC);
    }
    std::wstring line = CommandFor(ExpandedText(command), file);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(nShowCmd);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return ShellFailure(GetLastError());
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return reinterpret_cast<HINSTANCE>(kShellOpened);
}

bool IsOpenVerb(const char* verb) {
    return verb == nullptr || lstrcmpiA(verb, "open") == 0;
}

}  // namespace

HINSTANCE WINAPI ListedShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile,
                                     LPCSTR lpParameters, LPCSTR lpDirectory, INT nShowCmd) {
    std::wstring operation, file, parameters, directory;
    if (lpFile != nullptr && *lpFile != '\0' && !OpenablePath(lpFile, file)) {
        return ShellFailure(GetLastError());
    }
    if (lpFile != nullptr && lpParameters == nullptr && IsOpenVerb(lpOperation) &&
        ExpandedText(file) != file) {
        return OpenWithAssociation(file, L"open", nShowCmd);
    }
    return ShellExecuteW(
        hwnd, WideOrNull(lpOperation, operation), lpFile == nullptr ? nullptr : file.c_str(),
        WideOrNull(lpParameters, parameters), WideOrNull(lpDirectory, directory), nShowCmd);
}

PIDLIST_ABSOLUTE WINAPI ListedILCreateFromPathA(LPCSTR pszPath) {
    std::wstring path;
    if (pszPath == nullptr || *pszPath == '\0') {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    if (!OpenablePath(pszPath, path)) return nullptr;
    wchar_t full[MAX_PATH * 4];
    const DWORD units = GetFullPathNameW(path.c_str(), ARRAYSIZE(full), full, nullptr);
    if (units > 0 && units < ARRAYSIZE(full)) path = full;
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return nullptr;
    PIDLIST_ABSOLUTE item = ILCreateFromPathW(path.c_str());
    if (item == nullptr) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return item;
}

// explorer splits its options on commas, so a path with a comma goes in
// quotes; any other goes bare, as some file managers take quotes for part of
// the path and open the current folder instead.
HRESULT WINAPI ListedSHOpenFolderAndSelectItems(PCIDLIST_ABSOLUTE pidlFolder, UINT cidl,
                                                PCUITEMID_CHILD_ARRAY apidl, DWORD dwFlags) {
    if (cidl != 0) return SHOpenFolderAndSelectItems(pidlFolder, cidl, apidl, dwFlags);
    wchar_t path[MAX_PATH * 4];
    if (!SHGetPathFromIDListEx(pidlFolder, path, ARRAYSIZE(path), GPFIDL_DEFAULT)) {
        return E_INVALIDARG;
    }
    const bool comma = std::wcschr(path, L',') != nullptr;
    const std::wstring quote = comma ? L"\"" : L"";
    const std::wstring parameters = L"/select," + quote + path + quote;
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
        nullptr, L"open", L"explorer.exe", parameters.c_str(), nullptr, SW_SHOWNORMAL));
    if (result > 32) return S_OK;
    return HRESULT_FROM_WIN32(result == 0 ? ERROR_NOT_ENOUGH_MEMORY : static_cast<DWORD>(result));
}
