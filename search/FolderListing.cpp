#include "search/FolderListing.h"

#include <cstdio>

#include <sorahiki/listing.h>

CFolderListing::CFolderListing(const char* pszFolder)
    : m_pszFolder(pszFolder), m_hFind(INVALID_HANDLE_VALUE), m_szPath{} {
    m_sub_Open();
}

void CFolderListing::m_sub_Open() {
    if (m_hFind != INVALID_HANDLE_VALUE) return;
    char pattern[kPathBytes + 8];
    std::snprintf(pattern, sizeof pattern, "%s/*.*", m_pszFolder);
    m_hFind = FindFirstFileA(pattern, &m_entry);
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
        } else if (FindNextFileA(m_hFind, &m_entry) != TRUE) {
            return false;
        }
        if (IsDotOrDotDot(m_entry.cFileName) ||
            (m_entry.dwFileAttributes & FILE_ATTRIBUTE_DEVICE)) {
            continue;
        }
        int length =
            std::snprintf(m_szPath, sizeof m_szPath, "%s/%s", m_pszFolder, m_entry.cFileName);
        if (length >= 0 && length < kPathBytes) return true;
    }
}

bool ReadFolderId(const char* pszFolder, FolderId& id) {
    HANDLE handle =
        CreateFileA(pszFolder, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool known = GetFileInformationByHandle(handle, &info) != FALSE;
    CloseHandle(handle);
    if (known) id = FolderId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return known;
}
