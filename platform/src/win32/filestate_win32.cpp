// The state of a file, the clock and physical memory on Windows. A file's
// index and volume come only with a handle: the file is opened for its
// attributes alone, which reads none of its bytes.
#include <windows.h>

#include <sorahiki/filestate.h>

namespace {

unsigned long long Ticks(const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

unsigned long long Joined(DWORD high, DWORD low) {
    return (static_cast<unsigned long long>(high) << 32) | low;
}

}  // namespace

namespace filestate {

bool ReadFileState(const char* listedPath, FileState& state) {
    HANDLE file = CreateFileA(listedPath, FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const BOOL known = GetFileInformationByHandle(file, &info);
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (!known) {
        SetLastError(error);
        return false;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    state.volume = info.dwVolumeSerialNumber;
    state.index = Joined(info.nFileIndexHigh, info.nFileIndexLow);
    state.size = Joined(info.nFileSizeHigh, info.nFileSizeLow);
    state.writeTime = Ticks(info.ftLastWriteTime);
    state.changeTime = Ticks(info.ftCreationTime);
    state.links = info.nNumberOfLinks;
    return true;
}

unsigned long long FileTimeNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return Ticks(now);
}

unsigned long long PhysicalMemoryBytes() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
}

}  // namespace filestate
