// The state of a file by stat, the clock and physical memory on Linux. A
// path is found as every open finds it (OpenablePath): a marked one by its
// keys.
#include <windows.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string>

#include <sorahiki/filestate.h>

#include "platform/src/posix/errors.h"
#include "platform/src/posix/filetime.h"
#include "platform/src/posix/paths.h"

namespace {

unsigned long long Ticks(const timespec& ts) {
    const FILETIME time = FileTimeFromTimespec(ts);
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

namespace filestate {

bool ReadFileState(const char* listedPath, FileState& state) {
    std::string path;
    struct stat st {};
    if (listedPath == nullptr || !OpenablePath(listedPath, path) || stat(path.c_str(), &st) != 0) {
        SetLastError(listedPath == nullptr ? ERROR_INVALID_PARAMETER : Win32ErrorFromErrno(errno));
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    // As GetFileInformationByHandle folds the device into a serial number.
    const auto device = static_cast<unsigned long long>(st.st_dev);
    state.volume = static_cast<DWORD>(device ^ (device >> 32));
    state.index = static_cast<unsigned long long>(st.st_ino);
    state.size = static_cast<unsigned long long>(st.st_size);
    state.writeTime = Ticks(st.st_mtim);
    state.changeTime = Ticks(st.st_ctim);
    state.links = static_cast<unsigned long>(st.st_nlink);
    return true;
}

unsigned long long FileTimeNow() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return Ticks(now);
}

unsigned long long PhysicalMemoryBytes() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return 0;
    return static_cast<unsigned long long>(pages) * static_cast<unsigned long long>(pageSize);
}

}  // namespace filestate
