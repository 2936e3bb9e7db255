#include "platform/src/core/errors.h"

#include <cerrno>

#include "platform/codepage.h"

DWORD Win32ErrorFromErrno(int error) {
    switch (error) {
        case ENOENT:
        case ELOOP:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
        case ENAMETOOLONG:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR:
            return ERROR_ACCESS_DENIED;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case EBADF:
            return ERROR_INVALID_HANDLE;
        default:
            return ERROR_INVALID_PARAMETER;
    }
}

bool Utf8PathFromCp932(const char* path, std::string& out) {
    if (!Cp932ToUtf8(path, out)) return false;
    // After conversion a 0x5C byte is a backslash, never half of a character.
    for (char& c : out) {
        if (c == '\\') c = '/';
    }
    return true;
}
