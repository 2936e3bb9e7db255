// The folder listing: FindFirstFileA reads the whole folder at once, orders
// it and hands the entries out one by one; each entry is looked up with stat
// when it is handed out, so its attributes are those of that moment.
#include <windows.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"
#include "platform/src/core/errors.h"
#include "platform/src/core/filetime.h"

namespace {

struct FindEntry {
    std::string name;      // code page 932, as handed out
    std::string fileName;  // the file system's own name
    unsigned char type;    // as readdir gives it: DT_LNK, DT_UNKNOWN, ...
};

struct FindState {
    DIR* dir = nullptr;
    std::vector<FindEntry> entries;
    size_t next = 0;

    ~FindState() {
        if (dir != nullptr) closedir(dir);
    }
};

unsigned char UpperAscii(unsigned char c) {
    return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

// Byte by byte with ASCII letters upper-cased; equal names so far fall back
// to the raw bytes, so the order is total and stable.
bool ListsBefore(const FindEntry& a, const FindEntry& b) {
    size_t n = std::min(a.name.size(), b.name.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = UpperAscii(static_cast<unsigned char>(a.name[i]));
        unsigned char y = UpperAscii(static_cast<unsigned char>(b.name[i]));
        if (x != y) return x < y;
    }
    if (a.name.size() != b.name.size()) return a.name.size() < b.name.size();
    return a.name < b.name;
}

// Wildcards "*" and "?" over the UTF-8 name, ASCII letters compared without
// case as Windows does; "*.*" matches every name.
bool MatchesPattern(std::string_view pattern, std::string_view name) {
    if (pattern == "*" || pattern == "*.*") return true;
    size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || UpperAscii(static_cast<unsigned char>(pattern[p])) ==
                                             UpperAscii(static_cast<unsigned char>(name[n])))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool IsDotOrDotDot(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// Reads every entry whose name matches and has a code page 932 form.
void ReadEntries(FindState& state, std::string_view pattern) {
    std::vector<FindEntry> named;
    while (dirent* d = readdir(state.dir)) {
        if (IsDotOrDotDot(d->d_name) || !MatchesPattern(pattern, d->d_name)) continue;
        FindEntry entry;
        if (!Utf8ToCp932(d->d_name, entry.name) || entry.name.size() >= MAX_PATH) continue;
        entry.fileName = d->d_name;
        entry.type = d->d_type;
        named.push_back(std::move(entry));
    }
    std::sort(named.begin(), named.end(), ListsBefore);
    for (const char* dots : {".", ".."}) {
        if (MatchesPattern(pattern, dots)) state.entries.push_back(FindEntry{dots, dots, DT_DIR});
    }
    for (FindEntry& entry : named) state.entries.push_back(std::move(entry));
}

DWORD AttributesOf(const struct stat& st, bool isLink, const std::string& name) {
    DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if ((st.st_mode & S_IWUSR) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
    if (isLink) attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= FILE_ATTRIBUTE_HIDDEN;
    return attributes;
}

// Fills the find data of one entry. A link counts as what it points to; a
// dangling link is a plain file.
void FillFindData(const FindState& state, const FindEntry& entry, WIN32_FIND_DATAA& data) {
    std::memset(&data, 0, sizeof data);
    int dirFd = dirfd(state.dir);
    struct stat st {};
    bool isLink = false;
    if (fstatat(dirFd, entry.fileName.c_str(), &st, 0) != 0) {
        if (fstatat(dirFd, entry.fileName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            isLink = S_ISLNK(st.st_mode);
            st.st_mode = S_IFREG | (st.st_mode & 0777);
            st.st_size = 0;
        }
    } else if (entry.type == DT_LNK || entry.type == DT_UNKNOWN) {
        struct stat own {};
        isLink = fstatat(dirFd, entry.fileName.c_str(), &own, AT_SYMLINK_NOFOLLOW) == 0 &&
                 S_ISLNK(own.st_mode);
    }
    data.dwFileAttributes = AttributesOf(st, isLink, entry.name);
    data.ftCreationTime = FileTimeFromTimespec(st.st_ctim);
    data.ftLastAccessTime = FileTimeFromTimespec(st.st_atim);
    data.ftLastWriteTime = FileTimeFromTimespec(st.st_mtim);
    if (!S_ISDIR(st.st_mode)) {
        auto size = static_cast<unsigned long long>(st.st_size);
        data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
        data.nFileSizeLow = static_cast<DWORD>(size);
    }
    std::memcpy(data.cFileName, entry.name.c_str(), entry.name.size() + 1);
}

bool HandOutNext(FindState& state, WIN32_FIND_DATAA& data) {
    if (state.next >= state.entries.size()) return false;
    FillFindData(state, state.entries[state.next++], data);
    return true;
}

}  // namespace

HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
    std::string path;
    if (lpFileName == nullptr || !Utf8PathFromCp932(lpFileName, path)) {
        SetLastError(ERROR_INVALID_NAME);
        return INVALID_HANDLE_VALUE;
    }
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
    std::string pattern = slash == std::string::npos ? path : path.substr(slash + 1);

    auto* state = new (std::nothrow) FindState;
    if (state == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    state->dir = opendir(folder.c_str());
    if (state->dir == nullptr) {
        SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : Win32ErrorFromErrno(errno));
        delete state;
        return INVALID_HANDLE_VALUE;
    }
    ReadEntries(*state, pattern);
    if (!HandOutNext(*state, *lpFindFileData)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        delete state;
        return INVALID_HANDLE_VALUE;
    }
    return state;
}

BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
    if (hFindFile == nullptr || hFindFile == INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!HandOutNext(*static_cast<FindState*>(hFindFile), *lpFindFileData)) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE hFindFile) {
    if (hFindFile == nullptr || hFindFile == INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete static_cast<FindState*>(hFindFile);
    return TRUE;
}
