// The folder walk's file functions on Windows: listing through the wide
// functions with names given in code page 932 as the ANSI functions give
// them, and finding a listed path again where its code page 932 form converts
// back to another name.
#define SORAHIKI_LISTED_FILES_IMPLEMENTATION
#include <windows.h>

#include <new>
#include <string>
#include <string_view>
#include <vector>

#include <sorahiki/cp932forms.h>
#include "platform/src/core/listed_files_win32.h"

std::wstring Wide(std::string_view text) {
    std::wstring wide;
    if (text.empty()) return wide;
    int length =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    wide.resize(static_cast<size_t>(length));
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

namespace {

// A name that no file can have: the part was not found.
bool IsNotFound(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME;
}

// The character whose code page 932 form `c` takes ("～" for "〜").
wchar_t SharedFormCharacter(wchar_t c) {
    for (const SharedCp932Form& pair : kSharedCp932Forms) {
        if (c == static_cast<wchar_t>(pair.alone)) return static_cast<wchar_t>(pair.convertsBack);
    }
    return c;
}

// The code page 932 form of a name, the same as on Linux: exact mappings and
// the shared forms, no other best fit. False when some character has no form.
bool Narrow(const wchar_t* name, std::string& out) {
    std::wstring folded = name;
    for (wchar_t& c : folded) c = SharedFormCharacter(c);
    BOOL usedDefault = FALSE;
    int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, folded.c_str(), -1, nullptr, 0,
                                     nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return false;
    out.resize(static_cast<size_t>(length));
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, folded.c_str(), -1, out.data(), length,
                        nullptr, nullptr);
    out.resize(static_cast<size_t>(length - 1));
    return true;
}

// The parts of a path between separators ("/" or "\" at a character
// boundary); a leading separator gives an empty first part.
std::vector<std::string_view> SplitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i < path.size();) {
        char c = path[i];
        if (c == '/' || c == '\\') {
            parts.push_back(path.substr(start, i - start));
            start = ++i;
        } else {
            i += IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < path.size() ? 2 : 1;
        }
    }
    parts.push_back(path.substr(start));
    return parts;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty()) return name;
    if (folder.back() == L'\\') return folder + name;
    return folder + L'\\' + name;
}

// The one name in `folder` whose code page 932 form is `part`.
bool FindByForm(const std::wstring& folder, std::string_view part, std::wstring& name) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW(Join(folder.empty() ? L"." : folder, L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return false;
    int found = 0;
    std::string form;
    do {
        if (Narrow(entry.cFileName, form) && form == part) {
            name = entry.cFileName;
            ++found;
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return found == 1;
}

// The first `count` parts of a listed path as a wide path.
bool Resolve(const std::vector<std::string_view>& parts, size_t count, std::wstring& out) {
    out.clear();
    for (size_t i = 0; i < count; ++i) {
        if (parts[i].empty()) {
            if (i == 0) out = L"\\";
            continue;
        }
        std::wstring name = Wide(parts[i]);
        if (!Exists(Join(out, name)) && !FindByForm(out, parts[i], name)) return false;
        out = Join(out, name);
    }
    return true;
}

struct ListedFind {
    HANDLE find;
    std::wstring folder;
};

// A name is handed out when it has a code page 932 form that opens it: the
// form converts back to the name itself, or to no entry of the folder.
bool FillEntry(const ListedFind& state, const WIN32_FIND_DATAW& wide, WIN32_FIND_DATAA& data) {
    std::string name;
    if (!Narrow(wide.cFileName, name) || name.size() >= MAX_PATH) return false;
    std::wstring back = Wide(name);
    if (back != wide.cFileName && Exists(Join(state.folder, back))) return false;
    data.dwFileAttributes = wide.dwFileAttributes;
    data.ftCreationTime = wide.ftCreationTime;
    data.ftLastAccessTime = wide.ftLastAccessTime;
    data.ftLastWriteTime = wide.ftLastWriteTime;
    data.nFileSizeHigh = wide.nFileSizeHigh;
    data.nFileSizeLow = wide.nFileSizeLow;
    data.dwReserved0 = wide.dwReserved0;
    data.dwReserved1 = wide.dwReserved1;
    CopyMemory(data.cFileName, name.c_str(), name.size() + 1);
    std::string shortName;
    if (!Narrow(wide.cAlternateFileName, shortName)) shortName.clear();
    lstrcpynA(data.cAlternateFileName, shortName.c_str(), sizeof data.cAlternateFileName);
    return true;
}

// Hands out the next entry that can be held, starting with `wide`.
bool HandOut(ListedFind& state, WIN32_FIND_DATAW& wide, WIN32_FIND_DATAA& data) {
    while (!FillEntry(state, wide, data)) {
        if (!FindNextFileW(state.find, &wide)) return false;
    }
    return true;
}

}  // namespace

bool FindListedPath(const char* cp932Path, std::wstring& path) {
    std::vector<std::string_view> parts = SplitPath(cp932Path);
    return Resolve(parts, parts.size(), path);
}

HANDLE WINAPI ListedFindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
    std::vector<std::string_view> parts = SplitPath(lpFileName);
    std::wstring folder;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        folder = i == 0 && parts[0].empty() ? L"\\" : Join(folder, Wide(parts[i]));
    }
    std::wstring pattern = Wide(parts.back());
    WIN32_FIND_DATAW wide;
    HANDLE find = FindFirstFileW(Join(folder, pattern).c_str(), &wide);
    if (find == INVALID_HANDLE_VALUE && IsNotFound(GetLastError()) && parts.size() > 1) {
        DWORD error = GetLastError();
        if (!Resolve(parts, parts.size() - 1, folder)) {
            SetLastError(error);
            return INVALID_HANDLE_VALUE;
        }
        find = FindFirstFileW(Join(folder, pattern).c_str(), &wide);
    }
    if (find == INVALID_HANDLE_VALUE) return INVALID_HANDLE_VALUE;
    auto* state = new (std::nothrow) ListedFind{find, folder};
    if (state == nullptr) {
        FindClose(find);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    if (!HandOut(*state, wide, *lpFindFileData)) {
        ListedFindClose(state);
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return state;
}

BOOL WINAPI ListedFindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
    auto* state = static_cast<ListedFind*>(hFindFile);
    WIN32_FIND_DATAW wide;
    if (!FindNextFileW(state->find, &wide)) return FALSE;
    if (!HandOut(*state, wide, *lpFindFileData)) return FALSE;
    return TRUE;
}

BOOL WINAPI ListedFindClose(HANDLE hFindFile) {
    auto* state = static_cast<ListedFind*>(hFindFile);
    BOOL closed = FindClose(state->find);
    delete state;
    return closed;
}

HANDLE WINAPI ListedCreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                                DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                                HANDLE hTemplateFile) {
    HANDLE file = CreateFileA(lpFileName, dwDesiredAccess, dwShareMode, lpSecurityAttributes,
                              dwCreationDisposition, dwFlagsAndAttributes, hTemplateFile);
    if (file != INVALID_HANDLE_VALUE || !IsNotFound(GetLastError())) return file;
    DWORD error = GetLastError();
    std::wstring path;
    if (!FindListedPath(lpFileName, path)) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(path.c_str(), dwDesiredAccess, dwShareMode, lpSecurityAttributes,
                       dwCreationDisposition, dwFlagsAndAttributes, hTemplateFile);
}
