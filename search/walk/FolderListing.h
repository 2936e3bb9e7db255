// The entries of one folder as every walk of the engine takes them: in
// listing order, without "." and "..", and without entries that are neither
// file nor folder (pipes, devices: never opened). An entry whose path would
// not fit a path slot is handed out marked too long, with its name alone. A path whose text holds
// the mark 〓 carries the keys of its marked parts after its NUL (<sorahiki/listing.h>).
#pragma once

#include <windows.h>

#include "search/Limits.h"

class CFolderListing {
  public:
    static constexpr int kPathBytes = limits::kPathBytes;

    explicit CFolderListing(const char* pszFolder);
    ~CFolderListing();
    CFolderListing(const CFolderListing&) = delete;
    CFolderListing& operator=(const CFolderListing&) = delete;

    // False when the folder could not be listed; GetLastError tells why.
    bool m_sub_Opened() const { return m_hFind != INVALID_HANDLE_VALUE; }
    // Tries to list the folder again, after it could not be.
    void m_sub_Open();
    // Moves to the next entry; false past the last one, or when the listing
    // failed part way (m_sub_Failed).
    bool m_sub_Next();
    // The listing ended before its last entry: no memory could be had for
    // an entry.
    bool m_sub_Failed() const { return m_bFailed; }
    // The entry's path: the folder, a slash and its name, and the keys;
    // empty for an entry whose path is too long.
    const char* m_sub_Path() const { return m_szPath; }
    bool m_sub_TooLong() const { return m_szPath[0] == '\0'; }
    // The entry's name as listed.
    const char* m_sub_Name() const { return m_entry.cFileName; }
    bool m_sub_IsFolder() const {
        return (m_entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    bool m_sub_IsLink() const {
        return (m_entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    }

  private:
    bool m_sub_FindNext();

    const char* m_pszFolder;
    HANDLE m_hFind;
    bool m_bFirstWaits;  // the entry FindFirstFileA gave is not handed out yet
    bool m_bFailed = false;
    WIN32_FIND_DATAA m_entry;
    char m_szPath[kPathBytes];
};

// What identifies a folder, however it was reached.
struct FolderId {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;

    bool operator==(const FolderId&) const = default;
};

// False when the folder cannot be opened; GetLastError tells why.
bool ReadFolderId(const char* pszFolder, FolderId& id);
