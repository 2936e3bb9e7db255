#include "platform/src/posix/errors.h"

#include <cerrno>

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
        case EMFILE:
        case ENFILE:
            return ERROR_TOO_MANY_OPEN_FILES;
        case EIO:
            return ERROR_READ_FAULT;
        default:
            return ERROR_INVALID_PARAMETER;
    }
}
