// Machine faults that tests make on purpose, so that what the program does
// when the system runs short can be tried without lowering real limits.
// Both builds include it; nothing outside tests calls the setters.
#pragma once

namespace testhooks {

// Opens of a file or a folder through the file layer, and the listings it
// makes to find a marked name again: after the next `after` succeed, `count`
// fail as when the process has no file descriptor left
// (ERROR_TOO_MANY_OPEN_FILES). A negative count makes every open from then on
// fail, until the hook is set again.
void FailOpens(int after, int count);
// Reads of an open file: after the next `after` succeed, `count` fail as
// when the disk cannot give the bytes (ERROR_READ_FAULT); negative as above.
void FailReads(int after, int count);
// Reader threads that the read-ahead uses from its next walk on: at most
// `count` (0: the walk reads every file itself); negative for no limit.
void LimitReaders(int count);
// Called on a search's own thread beside a window: `atStart` before the
// search begins (a test may hold it there), `atEnd` once its results are
// ready for the hand-over. nullptr for none.
void OnSearchThread(void (*atStart)(), void (*atEnd)());
// Threads started from now on: the first `allowed` start, every later one is
// refused as when the system can make no more. A negative count refuses none.
void RefuseThreadsAfter(int allowed);
// The processor is taken to lack the wide vector instructions (AVX2) that
// the quick look uses where it has them, so that its narrow form is tried.
void NarrowVectorsOnly(bool narrow);

// Folder watches (<sorahiki/folderwatch.h>): with `fail`, every watch asked
// for from then on is refused, as when the system's limit of watches is
// reached. LoseFolderChanges makes the next look at the changes say that the
// system lost count of them, as when its queue of changes overflows.
void FailFolderWatches(bool fail);
void LoseFolderChanges();

// For the layer: whether this open, or this thread start, is to fail.
bool OpenFails();
bool ReadFails();
// The limit LimitReaders set, or a negative number for none.
int ReaderLimit();
bool ThreadStartFails();
bool VectorsNarrow();
bool FolderWatchFails();
// True once after LoseFolderChanges.
bool FolderChangesLost();
void SearchThreadStarts();
void SearchThreadEnds();

}  // namespace testhooks
