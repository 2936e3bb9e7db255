// What the session store of the search needs of the system beside Win32's
// reads: the state of one file without opening it, the clock in the file
// times' units, and the size of physical memory. Both builds provide them
// (platform/src/posix/filestate_posix.cpp, platform/src/win32/filestate_win32.cpp).
// Safe on any thread.
#pragma once

namespace filestate {

// What tells one state of a regular file from another: which file it is
// (volume and index), its size and two times in 100-nanosecond steps since
// 1601 at the full resolution the file system keeps. The change time moves
// on every write, rename or change of attributes, whatever the write time
// was set to (on Windows, where no such time is kept for every write, it is
// the creation time, and the write time alone tells a write).
struct FileState {
    unsigned long long volume = 0;
    unsigned long long index = 0;
    unsigned long long size = 0;
    unsigned long long writeTime = 0;
    unsigned long long changeTime = 0;
    // The names the file has: a file of more than one may be written
    // through a folder that no watch of the walk looks at.
    unsigned long links = 0;

    bool operator==(const FileState&) const = default;
};

// The state of the regular file a listed path names, links followed; false
// when nothing is there or it is no regular file (GetLastError tells why).
// Never opens the file where the system can tell without. The values are
// those GetFileInformationByHandle gives of the file once opened (its
// volume serial number, file index, size, write time, and creation time
// standing for the change time), so that either way of asking compares.
bool ReadFileState(const char* listedPath, FileState& state);

// The system's clock now, in the units of FileState's times.
unsigned long long FileTimeNow();

// The bytes of physical memory, or 0 when the system does not tell.
unsigned long long PhysicalMemoryBytes();

}  // namespace filestate
