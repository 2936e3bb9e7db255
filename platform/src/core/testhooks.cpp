// The counts of faults still to make. Any thread may take one; each count is
// a single atomic, so two threads never both take the last.
#include <sorahiki/testhooks.h>

#include <atomic>

namespace testhooks {
namespace {

// Faults still to make: 0 for none, negative for every one from now on.
std::atomic<int> g_openFailures{0};
std::atomic<int> g_threadsAllowed{-1};

}  // namespace

void FailOpens(int count) {
    g_openFailures = count;
}

void RefuseThreadsAfter(int allowed) {
    g_threadsAllowed = allowed;
}

bool OpenFails() {
    int count = g_openFailures.load(std::memory_order_relaxed);
    for (;;) {
        if (count == 0) return false;
        if (count < 0) return true;
        if (g_openFailures.compare_exchange_weak(count, count - 1)) return true;
    }
}

// Allowed starts are counted down; at 0 every start fails, and -1 means no
// count at all.
bool ThreadStartFails() {
    int allowed = g_threadsAllowed.load(std::memory_order_relaxed);
    for (;;) {
        if (allowed < 0) return false;
        if (allowed == 0) return true;
        if (g_threadsAllowed.compare_exchange_weak(allowed, allowed - 1)) return false;
    }
}

}  // namespace testhooks
