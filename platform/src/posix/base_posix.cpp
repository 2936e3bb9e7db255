// Base services of the Linux layer: the thread's last error, sleeping, the
// clock and the current directory.
#include <windows.h>

#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include <sorahiki/codepage.h>
#include "platform/src/posix/errors.h"
#include "platform/src/posix/paths.h"

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
}

DWORD WINAPI GetLastError() {
    return t_lastError;
}

void WINAPI SetLastError(DWORD dwErrCode) {
    t_lastError = dwErrCode;
}

void WINAPI Sleep(DWORD dwMilliseconds) {
    timespec wait{static_cast<time_t>(dwMilliseconds / 1000),
                  static_cast<long>(dwMilliseconds % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) == -1 && errno == EINTR) {
    }
}

// Nanoseconds of the monotonic clock.
BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    lpPerformanceCount->QuadPart = static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
    return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
    lpFrequency->QuadPart = 1000000000;
    return TRUE;
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR lpPathName) {
    std::string path;
    if (lpPathName == nullptr || !Utf8PathFromCp932(lpPathName, path)) {
        SetLastError(ERROR_INVALID_NAME);
        return FALSE;
    }
    if (chdir(path.c_str()) != 0) {
        SetLastError(Win32ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}
