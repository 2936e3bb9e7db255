// Reading an open file on Windows: the system's ReadFile, save for the
// failures that tests make on purpose (<sorahiki/testhooks.h>).
#define SORAHIKI_LISTED_FILES_IMPLEMENTATION
#include <windows.h>

#include <sorahiki/testhooks.h>

BOOL WINAPI HookedReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                           LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped) {
    if (testhooks::ReadFails()) {
        if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = 0;
        SetLastError(ERROR_READ_FAULT);
        return FALSE;
    }
    return ReadFile(hFile, lpBuffer, nNumberOfBytesToRead, lpNumberOfBytesRead, lpOverlapped);
}
