// Folder watches on Windows: a change notification for each folder, looked
// at without waiting and set again once seen. It does not tell which file
// changed: each change is the folder's.
#include <windows.h>

#include <map>
#include <new>
#include <string>
#include <vector>

#include <sorahiki/folderwatch.h>
#include <sorahiki/testhooks.h>

#include "platform/src/win32/listed_files_win32.h"

namespace folderwatch {

struct WatchSet {
    std::vector<HANDLE> handles;
    std::map<std::wstring, long> numbers;  // a folder watched again keeps its number
};

namespace {

constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                           FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                           FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_CREATION;

}  // namespace

WatchSet* Open() {
    return new (std::nothrow) WatchSet;
}

void Close(WatchSet* set) {
    if (set == nullptr) return;
    for (HANDLE handle : set->handles) {
        if (handle != INVALID_HANDLE_VALUE) FindCloseChangeNotification(handle);
    }
    delete set;
}

// A folder watched again gets a new notification: the one before may watch
// a folder since removed or replaced.
long Add(WatchSet* set, const char* listedFolder) {
    std::wstring path;
    if (set == nullptr || testhooks::FolderWatchFails() || !OpenablePath(listedFolder, path)) {
        return -1;
    }
    const HANDLE handle = FindFirstChangeNotificationW(path.c_str(), FALSE, kChanges);
    if (handle == INVALID_HANDLE_VALUE) return -1;
    const auto known = set->numbers.find(path);
    if (known != set->numbers.end()) {
        HANDLE& old = set->handles[static_cast<size_t>(known->second)];
        if (old != INVALID_HANDLE_VALUE) FindCloseChangeNotification(old);
        old = handle;
        return known->second;
    }
    const long number = static_cast<long>(set->handles.size());
    set->handles.push_back(handle);
    set->numbers.emplace(path, number);
    return number;
}

bool TakeChanges(WatchSet* set, Changed changed, void* context) {
    if (set == nullptr) return false;
    bool whole = !testhooks::FolderChangesLost();
    for (size_t i = 0; i < set->handles.size(); ++i) {
        HANDLE handle = set->handles[i];
        if (handle == INVALID_HANDLE_VALUE || WaitForSingleObject(handle, 0) != WAIT_OBJECT_0) {
            continue;
        }
        changed(static_cast<long>(i), nullptr, context);
        if (!FindNextChangeNotification(handle)) whole = false;
    }
    return whole;
}

}  // namespace folderwatch
