// The folder listing: FindFirstFileA reads the whole folder at once, orders
// it and hands the entries out one by one. The kind of an entry comes from
// readdir; only a link, or an entry whose kind the file system does not tell,
// is looked up with stat, when it is handed out. The folder is closed once
// read, so that a walk deep in a tree holds no descriptor for each folder
// above it. GetFileAttributesA gives one entry's attributes by the same rules.
#include <windows.h>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include <sorahiki/listing.h>
#include <sorahiki/testhooks.h>

#include "platform/src/posix/errors.h"
#include "platform/src/core/listed_folder.h"
#include "platform/src/posix/paths.h"

namespace {

struct FindEntry {
    std::string name;      // code page 932, as handed out
    std::string fileName;  // the file system's own name
    unsigned char type;    // as readdir gives it: DT_LNK, DT_UNKNOWN, ...
    unsigned long key;     // tells names of one marked form apart
};

struct FindState {
    std::string folder;  // the file system's path of the folder, for stat
    std::vector<FindEntry> entries;
    size_t next = 0;
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
    if (a.name != b.name) return a.name < b.name;
    return a.fileName < b.fileName;
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

// Reads every entry of the folder, then hands out those whose names match
// and whose forms fit the find data. The forms and keys come from all the
// folder's names, as when a listed path is found again.
void ReadEntries(DIR* dir, FindState& state, std::string_view pattern) {
    std::vector<std::string> names;
    std::vector<unsigned char> types;
    while (dirent* d = readdir(dir)) {
        if (IsDotOrDotDot(d->d_name)) continue;
        names.emplace_back(d->d_name);
        types.push_back(d->d_type);
    }
    std::vector<listed::ListedName> listings = listed::ListNames(state.folder, names);
    std::vector<FindEntry> named;
    for (size_t i = 0; i < names.size(); ++i) {
        if (listings[i].form.size() >= MAX_PATH || !MatchesPattern(pattern, names[i])) continue;
        named.push_back(
            FindEntry{std::move(listings[i].form), std::move(names[i]), types[i], listings[i].key});
    }
    // The entries are ordered by their places, so that each is moved once.
    std::vector<unsigned> order(named.size());
    for (unsigned i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(),
              [&named](unsigned a, unsigned b) { return ListsBefore(named[a], named[b]); });
    state.entries.reserve(named.size() + 2);
    for (const char* dots : {".", ".."}) {
        if (MatchesPattern(pattern, dots))
            state.entries.push_back(FindEntry{dots, dots, DT_DIR, 0});
    }
    for (unsigned i : order) state.entries.push_back(std::move(named[i]));
}

// The attribute of a kind of entry: a folder, a regular file, or something
// else (pipe, socket, device) that reading could block on.
DWORD KindAttribute(unsigned char type) {
    switch (type) {
        case DT_DIR:
            return FILE_ATTRIBUTE_DIRECTORY;
        case DT_REG:
            return FILE_ATTRIBUTE_ARCHIVE;
        default:
            return FILE_ATTRIBUTE_DEVICE;
    }
}

unsigned char TypeOfMode(mode_t mode) {
    if (S_ISDIR(mode)) return DT_DIR;
    if (S_ISREG(mode)) return DT_REG;
    if (S_ISLNK(mode)) return DT_LNK;
    return DT_FIFO;  // any kind that is neither file nor folder
}

// The kind of what the link at `path` points to: a dangling link counts as
// a plain file.
unsigned char TargetType(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? TypeOfMode(st.st_mode)
                                        : static_cast<unsigned char>(DT_REG);
}

DWORD Attributes(unsigned char type, bool isLink, std::string_view name) {
    DWORD attributes = KindAttribute(type);
    if (isLink) attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= FILE_ATTRIBUTE_HIDDEN;
    return attributes;
}

// The attributes of one entry. A link counts as what it points to; only
// links, and entries whose kind readdir does not give, cost a stat.
DWORD AttributesOf(const FindState& state, const FindEntry& entry) {
    unsigned char type = entry.type;
    bool isLink = type == DT_LNK;
    if (type == DT_LNK || type == DT_UNKNOWN) {
        std::string path = state.folder + '/' + entry.fileName;
        type = TargetType(path);
        struct stat st {};
        if (entry.type == DT_UNKNOWN) {
            isLink = lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
        }
    }
    return Attributes(type, isLink, entry.name);
}

// The last part of a code page 932 path: a 0x5C byte that ends a double-byte
// character is no separator.
std::string_view LastPart(std::string_view path) {
    size_t start = 0;
    for (size_t i = 0; i < path.size();) {
        auto c = static_cast<unsigned char>(path[i]);
        if (listed::IsSeparator(c)) start = i + 1;
        i += cp932::IsLeadByte(c) && i + 1 < path.size() ? 2 : 1;
    }
    return path.substr(start);
}

// Looks at the entry a listed path names, the link itself where it is one;
// false, with errno set, when nothing is there.
bool LookAtListed(const char* cp932Path, std::string& path, struct stat& st) {
    // A marked path is found by its keys, never by its form's own name.
    const bool marked = listed::HoldsMark(cp932Path);
    if (marked) return FindListedPath(cp932Path, path) && lstat(path.c_str(), &st) == 0;
    if (!Utf8PathFromCp932(cp932Path, path)) {
        errno = ENOENT;
        return false;
    }
    if (lstat(path.c_str(), &st) == 0) return true;
    // A path that names nothing may be the form of a listed name.
    return errno == ENOENT && FindListedPath(cp932Path, path) && lstat(path.c_str(), &st) == 0;
}

// Fills the find data of one entry: its name and attributes. Sizes and times
// would cost a stat per entry and are left at zero.
void FillFindData(const FindState& state, const FindEntry& entry, WIN32_FIND_DATAA& data) {
    std::memset(&data, 0, sizeof data);
    data.dwFileAttributes = AttributesOf(state, entry);
    data.dwReserved1 = static_cast<DWORD>(entry.key);
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
    // A marked folder is found by its keys, never by its form's own name.
    bool marked = listed::HoldsMark(lpFileName);
    if (marked && !FindListedFolder(lpFileName, folder)) {
        SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : Win32ErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }

    if (testhooks::OpenFails()) {
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return INVALID_HANDLE_VALUE;
    }
    auto* state = new (std::nothrow) FindState;
    if (state == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr && errno == ENOENT && !marked && FindListedFolder(lpFileName, folder)) {
        dir = opendir(folder.c_str());
    }
    if (dir == nullptr) {
        SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : Win32ErrorFromErrno(errno));
        delete state;
        return INVALID_HANDLE_VALUE;
    }
    state->folder = std::move(folder);
    ReadEntries(dir, *state, pattern);
    closedir(dir);
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

DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
    std::string path;
    struct stat st {};
    if (lpFileName == nullptr || !LookAtListed(lpFileName, path, st)) {
        SetLastError(lpFileName == nullptr ? ERROR_INVALID_PARAMETER : Win32ErrorFromErrno(errno));
        return INVALID_FILE_ATTRIBUTES;
    }
    const bool isLink = S_ISLNK(st.st_mode);
    const unsigned char type = isLink ? TargetType(path) : TypeOfMode(st.st_mode);
    return Attributes(type, isLink, LastPart(lpFileName));
}
