// The counts of faults still to make. Any thread may take one; each count is
// a single atomic, so two threads never both take the last.
#include <sorahiki/testhooks.h>

#include <atomic>

namespace testhooks {
namespace {

// Opens (and reads) to let succeed first, then failures still to make: 0 for
// none, negative for every one from then on.
std::atomic<int> g_opensBefore{0};
std::atomic<int> g_openFailures{0};
std::atomic<int> g_readsBefore{0};
std::atomic<int> g_readFailures{0};
std::atomic<int> g_readerLimit{-1};
std::atomic<void (*)()> g_atSearchStart{nullptr};
std::atomic<void (*)()> g_atSearchEnd{nullptr};
// Thread starts still allowed; negative for no limit.
std::atomic<int> g_threadsAllowed{-1};
std::atomic<bool> g_vectorsNarrow{false};
std::atomic<bool> g_folderWatchesFail{false};
std::atomic<bool> g_folderChangesLost{false};

// Takes one from a positive count; false when it stands at 0 or below.
bool TakeOne(std::atomic<int>& count) {
    int left = count.load(std::memory_order_relaxed);
    while (left > 0) {
        if (count.compare_exchange_weak(left, left - 1)) return true;
    }
    return false;
}

// Whether this call is one of the failures still to make.
bool Fails(std::atomic<int>& before, std::atomic<int>& failures) {
    if (failures.load(std::memory_order_relaxed) == 0 || TakeOne(before)) return false;
    return failures.load(std::memory_order_relaxed) < 0 || TakeOne(failures);
}

}  // namespace

void FailOpens(int after, int count) {
    g_openFailures = 0;
    g_opensBefore = after;
    g_openFailures = count;
}

void FailReads(int after, int count) {
    g_readFailures = 0;
    g_readsBefore = after;
    g_readFailures = count;
}

void LimitReaders(int count) {
    g_readerLimit = count;
}

int ReaderLimit() {
    return g_readerLimit.load(std::memory_order_relaxed);
}

void OnSearchThread(void (*atStart)(), void (*atEnd)()) {
    g_atSearchStart = atStart;
    g_atSearchEnd = atEnd;
}

void SearchThreadStarts() {
    if (void (*hook)() = g_atSearchStart.load()) hook();
}

void SearchThreadEnds() {
    if (void (*hook)() = g_atSearchEnd.load()) hook();
}

void RefuseThreadsAfter(int allowed) {
    g_threadsAllowed = allowed;
}

bool OpenFails() {
    return Fails(g_opensBefore, g_openFailures);
}

bool ReadFails() {
    return Fails(g_readsBefore, g_readFailures);
}

bool ThreadStartFails() {
    return g_threadsAllowed.load(std::memory_order_relaxed) >= 0 && !TakeOne(g_threadsAllowed);
}

void NarrowVectorsOnly(bool narrow) {
    g_vectorsNarrow = narrow;
}

bool VectorsNarrow() {
    return g_vectorsNarrow.load(std::memory_order_relaxed);
}

void FailFolderWatches(bool fail) {
    g_folderWatchesFail = fail;
}

void LoseFolderChanges() {
    g_folderChangesLost = true;
}

bool FolderWatchFails() {
    return g_folderWatchesFail.load(std::memory_order_relaxed);
}

bool FolderChangesLost() {
    return g_folderChangesLost.exchange(false);
}

}  // namespace testhooks
