// See FolderPaths.h.
#include "screen/FolderPaths.h"

#include <windows.h>

#include <cstring>

#include <sorahiki/cp932.h>

bool FolderMissing(const char* pszName) {
    HANDLE hFolder = CreateFileA(pszName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (hFolder == INVALID_HANDLE_VALUE) {
        const DWORD dwError = GetLastError();
        return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND;
    }
    BY_HANDLE_FILE_INFORMATION info;
    const bool bFile = GetFileInformationByHandle(hFolder, &info) &&
                       (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    CloseHandle(hFolder);
    return bFile;
}

namespace {

// The last separator of the path at a character boundary, or nullptr.
char* LastSeparator(char* pszPath) {
    char* pszLast = nullptr;
    for (char* p = pszPath; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (cp932::IsLeadByte(c) && p[1] != '\0') {
            ++p;
        } else if (c == '\\' || c == '/') {
            pszLast = p;
        }
    }
    return pszLast;
}

bool IsRootSeparator(const char* pszPath, const char* pszSeparator) {
    return pszSeparator == pszPath || pszSeparator[-1] == ':';
}

}  // namespace

void CutLastName(char* pszPath) {
    char* pszLastSeparator = LastSeparator(pszPath);
    if (pszLastSeparator == nullptr) return;
    pszLastSeparator[IsRootSeparator(pszPath, pszLastSeparator) ? 1 : 0] = '\0';
}

void DropEndSeparators(char* pszPath) {
    for (;;) {
        char* pszLast = LastSeparator(pszPath);
        if (pszLast == nullptr || pszLast[1] != '\0' || IsRootSeparator(pszPath, pszLast)) return;
        *pszLast = '\0';
    }
}
