// The full path of a file for the Linux layer: a relative path is joined to
// the current directory with "/", an absolute one is kept. The bytes of the
// path given are not touched, so a second byte 0x5C of a code page 932
// character stays what it is; "." and ".." are not resolved. The current
// directory takes its listed form, and the keys of the marked parts of both
// follow the NUL, as the listing's paths carry them.
#include <windows.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include <sorahiki/listing.h>

#include "platform/src/core/listed_path.h"

DWORD WINAPI GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer,
                              LPSTR* lpFilePart) {
    if (lpFileName == nullptr || lpFileName[0] == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string full, keys;
    if (lpFileName[0] != '/') {
        // getcwd allocates the name: no page of it lives on a small stack.
        char* cwd = getcwd(nullptr, 0);
        if (cwd == nullptr) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return 0;
        }
        std::string form = listed::ListedFormOf(cwd);
        std::free(cwd);
        full = form.c_str();
        keys = form.substr(full.size() + 1);
        if (full.empty() || full.back() != '/') full += '/';
    }
    full += lpFileName;
    size_t length = std::strlen(lpFileName);
    keys.append(lpFileName + length + 1, listed::PathSize(lpFileName) - length - 1);

    // Too small a buffer: the size needed, the terminating NUL included.
    size_t size = full.size() + 1 + keys.size();
    if (lpBuffer == nullptr || size > nBufferLength) return static_cast<DWORD>(size);
    std::memcpy(lpBuffer, full.c_str(), full.size() + 1);
    std::memcpy(lpBuffer + full.size() + 1, keys.data(), keys.size());
    if (lpFilePart != nullptr) {
        const size_t slash = full.rfind('/');
        *lpFilePart = slash + 1 < full.size() ? lpBuffer + slash + 1 : nullptr;
    }
    return static_cast<DWORD>(full.size());
}
