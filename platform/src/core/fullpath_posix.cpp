// The full path of a file for the Linux layer: a relative path is joined to
// the current directory with "/", an absolute one is kept. The bytes of the
// path given are not touched, so a second byte 0x5C of a code page 932
// character stays what it is; "." and ".." are not resolved.
#include <windows.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include <sorahiki/codepage.h>

DWORD WINAPI GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer,
                              LPSTR* lpFilePart) {
    if (lpFileName == nullptr || lpFileName[0] == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string full;
    if (lpFileName[0] != '/') {
        // getcwd allocates the name: no page of it lives on a small stack.
        char* cwd = getcwd(nullptr, 0);
        if (cwd == nullptr) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return 0;
        }
        Utf8ToCp932(cwd, full);
        std::free(cwd);
        if (full.empty() || full.back() != '/') full += '/';
    }
    full += lpFileName;

    // Too small a buffer: the size needed, the terminating NUL included.
    if (lpBuffer == nullptr || full.size() + 1 > nBufferLength) {
        return static_cast<DWORD>(full.size() + 1);
    }
    std::memcpy(lpBuffer, full.c_str(), full.size() + 1);
    if (lpFilePart != nullptr) {
        const size_t slash = full.rfind('/');
        *lpFilePart = slash + 1 < full.size() ? lpBuffer + slash + 1 : nullptr;
    }
    return static_cast<DWORD>(full.size());
}
