// The listing of one folder, used by one thread at a time (FolderListing.h).
#include "search/walk/FolderListing.h"

#include <cstring>
#include <new>

#include <sorahiki/listing.h>

namespace {

// The bytes of the keys after a listed path's NUL.
size_t KeyBytes(const char* pszPath) {
    return listed::PathSize(pszPath) - std::strlen(pszPath) - 1;
}

// "folder/name" and its keys, the folder's and then the name's own; false
// when they do not fit `size` bytes.
// Put together with copies: a formatted print, once per file listed, showed
// among the walk's costs.
bool ComposePath(char* out, size_t size, const char* folder, const char* name, DWORD key) {
    const size_t folderLength = std::strlen(folder);
    const size_t nameLength = std::strlen(name);
    const size_t length = folderLength + 1 + nameLength;
    if (length >= size) return false;
    std::memcpy(out, folder, folderLength);
    out[folderLength] = '/';
    std::memcpy(out + folderLength + 1, name, nameLength);
    out[length] = '\0';
    size_t folderKeys = KeyBytes(folder);
    bool marked = listed::MarkedParts(name) != 0;
    char* keys = out + length + 1;
    if (keys + folderKeys + (marked ? listed::kKeyBytes : 0) > out + size) return false;
    std::memcpy(keys, folder + folderLength + 1, folderKeys);
    if (marked) listed::WriteKey(key, keys + folderKeys);
    return true;
}

}  // namespace

CFolderListing::CFolderListing(const char* pszFolder)
    : m_pszFolder(pszFolder), m_hFind(INVALID_HANDLE_VALUE), m_szPath{} {
    m_sub_Open();
}

// The file layer may need memory for names; a listing that cannot have it
// fails with ERROR_NOT_ENOUGH_MEMORY rather than throwing into the walk.
void CFolderListing::m_sub_Open() {
    if (m_hFind != INVALID_HANDLE_VALUE) return;
    char pattern[kPathBytes + 8];
    try {
        m_hFind = ComposePath(pattern, sizeof pattern, m_pszFolder, "*.*", 0)
                      ? FindFirstFileA(pattern, &m_entry)
                      : INVALID_HANDLE_VALUE;
    } catch (const std::bad_alloc&) {
        m_hFind = INVALID_HANDLE_VALUE;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    m_bFirstWaits = m_hFind != INVALID_HANDLE_VALUE;
}

CFolderListing::~CFolderListing() {
    if (m_hFind != INVALID_HANDLE_VALUE) FindClose(m_hFind);
}

bool CFolderListing::m_sub_Next() {
    if (m_hFind == INVALID_HANDLE_VALUE) return false;
    for (;;) {
        if (m_bFirstWaits) {
            m_bFirstWaits = false;
        } else if (!m_sub_FindNext()) {
            return false;
        }
        if (IsDotOrDotDot(m_entry.cFileName) ||
            (m_entry.dwFileAttributes & FILE_ATTRIBUTE_DEVICE)) {
            continue;
        }
        // The listing gives each marked name's key in the otherwise unused
        // dwReserved1.
        if (!ComposePath(m_szPath, sizeof m_szPath, m_pszFolder, m_entry.cFileName,
                         m_entry.dwReserved1)) {
            m_szPath[0] = '\0';
        }
        return true;
    }
}

bool CFolderListing::m_sub_FindNext() {
    try {
        return FindNextFileA(m_hFind, &m_entry) == TRUE;
    } catch (const std::bad_alloc&) {
        m_bFailed = true;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
}

bool ReadFolderId(const char* pszFolder, FolderId& id) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    try {
        handle = CreateFileA(pszFolder, GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool known = GetFileInformationByHandle(handle, &info) != FALSE;
    CloseHandle(handle);
    if (known) id = FolderId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return known;
}
