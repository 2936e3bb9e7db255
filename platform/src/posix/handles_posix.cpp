// Reading files through handles: a handle is an open file descriptor, kept as
// descriptor + 1 so that no valid handle is NULL or INVALID_HANDLE_VALUE.
#include <windows.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include <sorahiki/listing.h>
#include <sorahiki/testhooks.h>

#include "platform/src/posix/errors.h"
#include "platform/src/posix/paths.h"
#include "platform/src/posix/filetime.h"

namespace {

HANDLE HandleFromDescriptor(int fd) {
    return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(fd) + 1);
}

int DescriptorFromHandle(HANDLE handle) {
    auto value = reinterpret_cast<LONG_PTR>(handle);
    if (value <= 0) return -1;
    return static_cast<int>(value - 1);
}

// A path of plain ASCII is its own UTF-8 form: it is taken as it is, with
// "\" turned into "/", into a buffer on the stack. False for any other path,
// or one too long for the buffer.
constexpr size_t kAsciiPathBytes = 512;

bool AsciiPath(const char* cp932, char (&utf8)[kAsciiPathBytes]) {
    for (size_t i = 0; i < kAsciiPathBytes; ++i) {
        auto c = static_cast<unsigned char>(cp932[i]);
        if (c >= 0x80) return false;
        utf8[i] = c == '\\' ? '/' : static_cast<char>(c);
        if (c == 0) return true;
    }
    return false;
}

HANDLE Fail(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD /*dwShareMode*/,
                          LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/,
                          DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                          HANDLE /*hTemplateFile*/) {
    if (dwCreationDisposition != OPEN_EXISTING || (dwDesiredAccess & ~GENERIC_READ) != 0) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    if (lpFileName == nullptr) return Fail(ERROR_FILE_NOT_FOUND);
    if (testhooks::OpenFails()) return Fail(ERROR_TOO_MANY_OPEN_FILES);
    char ascii[kAsciiPathBytes];
    std::string path;
    // A marked path is found by its keys, never by its form's own name.
    bool marked = listed::HoldsMark(lpFileName);
    if (marked && !FindListedPath(lpFileName, path)) return Fail(Win32ErrorFromErrno(errno));
    if (!marked && !AsciiPath(lpFileName, ascii) && !Utf8PathFromCp932(lpFileName, path)) {
        return Fail(ERROR_FILE_NOT_FOUND);
    }
    // Opening never waits: a pipe or a device put in a file's place after it
    // was listed opens at once, and is then refused. A path that names
    // nothing may be the form of a listed name ("x~y.txt" for "x‾y.txt").
    constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
    int fd = open(path.empty() ? ascii : path.c_str(), kFlags);
    if (fd < 0 && errno == ENOENT && !marked && FindListedPath(lpFileName, path)) {
        fd = open(path.c_str(), kFlags);
    }
    if (fd < 0) return Fail(Win32ErrorFromErrno(errno));
    // Windows opens a folder only with backup semantics; without them only a
    // regular file is opened here.
    if ((dwFlagsAndAttributes & FILE_FLAG_BACKUP_SEMANTICS) == 0) {
        struct stat st;
        if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            close(fd);
            return Fail(ERROR_ACCESS_DENIED);
        }
    }
    return HandleFromDescriptor(fd);
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                     LPDWORD lpNumberOfBytesRead, LPOVERLAPPED /*lpOverlapped*/) {
    if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = 0;
    int fd = DescriptorFromHandle(hFile);
    if (fd < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (testhooks::ReadFails()) {
        SetLastError(ERROR_READ_FAULT);
        return FALSE;
    }
    ssize_t n;
    do {
        n = read(fd, lpBuffer, nNumberOfBytesToRead);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        SetLastError(Win32ErrorFromErrno(errno));
        return FALSE;
    }
    if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = static_cast<DWORD>(n);
    return TRUE;
}

BOOL WINAPI SetFilePointerEx(HANDLE hFile, LARGE_INTEGER liDistanceToMove,
                             LARGE_INTEGER* lpNewFilePointer, DWORD dwMoveMethod) {
    const int fd = DescriptorFromHandle(hFile);
    const int whence = dwMoveMethod == FILE_BEGIN ? SEEK_SET : SEEK_CUR;
    if (fd < 0 || dwMoveMethod > FILE_CURRENT) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const off_t at = lseek(fd, static_cast<off_t>(liDistanceToMove.QuadPart), whence);
    if (at < 0) {
        SetLastError(Win32ErrorFromErrno(errno));
        return FALSE;
    }
    if (lpNewFilePointer != nullptr) lpNewFilePointer->QuadPart = at;
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    int fd = DescriptorFromHandle(hObject);
    if (fd < 0 || close(fd) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI GetFileInformationByHandle(HANDLE hFile,
                                       LPBY_HANDLE_FILE_INFORMATION lpFileInformation) {
    int fd = DescriptorFromHandle(hFile);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    BY_HANDLE_FILE_INFORMATION& info = *lpFileInformation;
    info.dwFileAttributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if ((st.st_mode & S_IWUSR) == 0) info.dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
    info.ftCreationTime = FileTimeFromTimespec(st.st_ctim);
    info.ftLastAccessTime = FileTimeFromTimespec(st.st_atim);
    info.ftLastWriteTime = FileTimeFromTimespec(st.st_mtim);
    // The device and the inode number identify a file as the volume serial
    // number and the file index do on Windows.
    auto device = static_cast<unsigned long long>(st.st_dev);
    info.dwVolumeSerialNumber = static_cast<DWORD>(device ^ (device >> 32));
    auto size = static_cast<unsigned long long>(st.st_size);
    info.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    info.nFileSizeLow = static_cast<DWORD>(size);
    info.nNumberOfLinks = static_cast<DWORD>(st.st_nlink);
    auto inode = static_cast<unsigned long long>(st.st_ino);
    info.nFileIndexHigh = static_cast<DWORD>(inode >> 32);
    info.nFileIndexLow = static_cast<DWORD>(inode);
    return TRUE;
}
