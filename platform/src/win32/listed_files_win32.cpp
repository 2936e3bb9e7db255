// The folder walk's file functions on Windows: listing through the wide
// functions, each name handed out in its code page 932 form as the Linux
// layer gives it (the mark 〓 for a character with none, the name's key in
// dwReserved1), and a listed path opened as the entry it was listed for.
#define SORAHIKI_LISTED_FILES_IMPLEMENTATION
#include <windows.h>

#include <algorithm>

#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include <sorahiki/listing.h>
#include <sorahiki/testhooks.h>

#include "platform/src/win32/listed_files_win32.h"
#include "platform/src/core/listed_names.h"
#include "platform/src/core/listed_path.h"
#include "platform/src/core/listed_table.h"

namespace {

// A name that no file can have: the part was not found.
bool IsNotFound(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME;
}

std::u16string_view Units(const wchar_t* name) {
    return {reinterpret_cast<const char16_t*>(name), std::wcslen(name)};
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty()) return name;
    if (folder.back() == L'\\') return folder + name;
    return folder + L'\\' + name;
}

struct ListedFind {
    HANDLE find;
    std::wstring folder;
    // The folder's table, taken at the first name that needs it.
    std::shared_ptr<const listed::FolderTable> table;
};

bool IsAscii(const wchar_t* name) {
    for (; *name != L'\0'; ++name) {
        if (*name >= 0x80) return false;
    }
    return true;
}

// The form and key of a name as the listing hands it out: an ASCII name is
// its own form; any other is listed as the folder's table has it (the name
// added since, on its own).
listed::ListedName ListingOf(ListedFind& state, const wchar_t* name) {
    if (IsAscii(name)) return {listed::ShownForm(Units(name)), 0};
    bool built = false;
    if (state.table == nullptr) state.table = listed::TableOf(state.folder, false, built);
    const listed::ListedName* listing =
        state.table != nullptr ? state.table->ListingOf(name) : nullptr;
    if (listing != nullptr) return *listing;
    std::vector<std::wstring> alone = {name};
    return listed::ListNames(state.folder, alone)[0];
}

// Fills the find data of one entry; false when its form is too long.
bool FillEntry(ListedFind& state, const WIN32_FIND_DATAW& wide, WIN32_FIND_DATAA& data) {
    listed::ListedName listing = ListingOf(state, wide.cFileName);
    const std::string& name = listing.form;
    if (name.size() >= MAX_PATH) return false;
    data.dwFileAttributes = wide.dwFileAttributes;
    data.ftCreationTime = wide.ftCreationTime;
    data.ftLastAccessTime = wide.ftLastAccessTime;
    data.ftLastWriteTime = wide.ftLastWriteTime;
    data.nFileSizeHigh = wide.nFileSizeHigh;
    data.nFileSizeLow = wide.nFileSizeLow;
    data.dwReserved0 = wide.dwReserved0;
    data.dwReserved1 = listing.key;
    CopyMemory(data.cFileName, name.c_str(), name.size() + 1);
    std::string shortName = listed::ShownForm(Units(wide.cAlternateFileName));
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

// The folder and the pattern of a listing's path: a marked folder is found
// by its keys; another as converted, or through the listing when that names
// nothing.
HANDLE FindFirst(const char* path, std::wstring& folder, WIN32_FIND_DATAW& wide) {
    std::string_view text(path);
    size_t cut = text.size();
    for (size_t i = 0; i < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        if (listed::IsSeparator(c)) cut = i;
        i += cp932::IsLeadByte(c) && i + 1 < text.size() ? 2 : 1;
    }
    std::wstring pattern = Wide(cut == text.size() ? text : text.substr(cut + 1));
    bool marked = listed::HoldsMark(path);
    if (cut == text.size()) {
        folder.clear();
    } else if (marked) {
        if (!listed::ResolveListedPath(path, true, folder)) {
            if (IsNotFound(GetLastError())) SetLastError(ERROR_PATH_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
    } else {
        folder = cut == 0 ? std::wstring(L"\\") : Wide(text.substr(0, cut));
    }
    HANDLE find = FindFirstFileW(Join(folder, pattern).c_str(), &wide);
    if (find != INVALID_HANDLE_VALUE || marked || !IsNotFound(GetLastError()) ||
        cut == text.size()) {
        return find;
    }
    DWORD error = GetLastError();
    if (!listed::ResolveListedPath(path, true, folder)) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    return FindFirstFileW(Join(folder, pattern).c_str(), &wide);
}

}  // namespace

HANDLE WINAPI ListedFindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
    if (testhooks::OpenFails()) {
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return INVALID_HANDLE_VALUE;
    }
    std::wstring folder;
    WIN32_FIND_DATAW wide;
    HANDLE find = FindFirst(lpFileName, folder, wide);
    if (find == INVALID_HANDLE_VALUE) return INVALID_HANDLE_VALUE;
    auto* state = new (std::nothrow) ListedFind{find, folder, nullptr};
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

DWORD WINAPI ListedGetFileAttributesA(LPCSTR lpFileName) {
    if (lpFileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_FILE_ATTRIBUTES;
    }
    std::wstring path;
    if (!OpenablePath(lpFileName, path)) return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesW(path.c_str());
}

HANDLE WINAPI ListedCreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                                DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                                HANDLE hTemplateFile) {
    if (testhooks::OpenFails()) {
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return INVALID_HANDLE_VALUE;
    }
    if (lpFileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::wstring path;
    if (!OpenablePath(lpFileName, path)) return INVALID_HANDLE_VALUE;
    return CreateFileW(path.c_str(), dwDesiredAccess, dwShareMode, lpSecurityAttributes,
                       dwCreationDisposition, dwFlagsAndAttributes, hTemplateFile);
}

// The current folder's listed form, then the path as given; the keys of
// both follow the NUL, as on Linux.
DWORD WINAPI ListedGetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer,
                                    LPSTR* lpFilePart) {
    if (lpFileName == nullptr || lpFileName[0] == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string full, keys;
    bool absolute = listed::IsSeparator(static_cast<unsigned char>(lpFileName[0])) ||
                    (lpFileName[0] != '\0' && lpFileName[1] == ':');
    if (!absolute) {
        std::string form = listed::ListedFormOf(listed::CurrentFolder());
        full = form.c_str();
        keys = form.substr(full.size() + 1);
        if (full.empty() || full.back() != '\\') full += '\\';
    }
    // The system's separator throughout, as GetFullPathNameW gives it: the
    // walk joins its parts with "/", which no byte of a double-byte
    // character is, and the file manager reads only the backslash.
    const size_t joined = full.size();
    full += lpFileName;
    std::replace(full.begin() + static_cast<std::ptrdiff_t>(joined), full.end(), '/', '\\');
    size_t length = std::strlen(lpFileName);
    keys.append(lpFileName + length + 1, listed::PathSize(lpFileName) - length - 1);
    size_t size = full.size() + 1 + keys.size();
    if (lpBuffer == nullptr || size > nBufferLength) return static_cast<DWORD>(size);
    CopyMemory(lpBuffer, full.c_str(), full.size() + 1);
    CopyMemory(lpBuffer + full.size() + 1, keys.data(), keys.size());
    if (lpFilePart != nullptr) {
        size_t cut = full.find_last_of("\\/");
        *lpFilePart = cut + 1 < full.size() ? lpBuffer + cut + 1 : nullptr;
    }
    return static_cast<DWORD>(full.size());
}

BOOL WINAPI ListedSetCurrentDirectoryA(LPCSTR lpPathName) {
    if (lpPathName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::wstring path;
    return OpenablePath(lpPathName, path) && SetCurrentDirectoryW(path.c_str());
}
