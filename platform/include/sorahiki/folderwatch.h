// Watches over folders, so that a folder that did not change need not be
// listed again: inotify on Linux (platform/src/posix/folderwatch_posix.cpp),
// a change notification per folder on Windows
// (platform/src/win32/folderwatch_win32.cpp). A watch tells that something in
// the folder changed: an entry made, removed or renamed, a file written or
// its attributes changed, the folder itself removed or moved. It tells
// nothing of changes deeper down, which their own folders' watches tell.
// A set of watches is used by one thread at a time.
#pragma once

namespace folderwatch {

struct WatchSet;

// A new set of watches; nullptr when the system gives none.
WatchSet* Open();
void Close(WatchSet* set);

// Watches the folder a listed path names from now on: a number that the
// changes of the folder come with (the same number for a folder watched
// again), or -1 when it cannot be watched (the system's limit of watches,
// or a file system whose changes the system may not see: a network share).
long Add(WatchSet* set, const char* listedFolder);

// Calls changed(number, name, context) for each change in a watched folder
// since the last call (a folder may come more than once). `name` is the
// listed name (code page 932) of the file whose bytes or attributes changed
// when only that file did, its entry still there; null when the folder's
// entries may have changed (made, removed, renamed) or the system does not
// tell which file changed. False when the system lost count of changes (its
// queue overflowed): any folder may have changed.
using Changed = void (*)(long number, const char* name, void* context);
bool TakeChanges(WatchSet* set, Changed changed, void* context);

}  // namespace folderwatch
