// The ring of slots; who writes what: ReadRing.h.
#include "search/readahead/ReadRing.h"

#include <algorithm>
#include <cstring>

#include <sorahiki/listing.h>

void CReadRing::Resize(int slots) {
    first = queued.load(std::memory_order_relaxed);
    size = slots;
}

void CReadRing::Push(const char* pszPath) {
    char* path = paths[Slot(queued.load(std::memory_order_relaxed))];
    // A listed path keeps the keys of its marked names after its NUL.
    if (!listed::CopyPath(pszPath, path, kPathBytes)) {
        size_t length = std::min(std::strlen(pszPath), static_cast<size_t>(kPathBytes - 1));
        std::memcpy(path, pszPath, length);
        path[length] = '\0';
    }
    queued.fetch_add(1);
}

long long CReadRing::Claim() {
    long long next = claimed.load();
    while (next < queued.load()) {
        if (claimed.compare_exchange_weak(next, next + 1)) return next;
    }
    return -1;
}

// Both sides change the one state with a read-modify-write, so one of them
// comes first: either the walk marked the file waited for and the filler sees
// that, or the walk sees the file filled and does not sleep.
void CReadRing::MarkFilled(long long number, bool shortOfDescriptors) {
    int filled = shortOfDescriptors ? kShortOfDescriptors : kFilled;
    int before = states[Slot(number)].state.exchange(filled, std::memory_order_acq_rel);
    if (before == kWalkWaits) walkWakes.Wake();
}

void CReadRing::SleepUntilFilled(long long number) {
    std::atomic<int>& state = states[Slot(number)].state;
    int unfilled = kUnfilled;
    if (!state.compare_exchange_strong(unfilled, kWalkWaits, std::memory_order_acq_rel)) return;
    walkWakes.SleepUntil([&state] { return state.load(std::memory_order_acquire) != kWalkWaits; });
}

// The slot's next file is claimed only after a push, whose release orders
// this store before the claimer's acquire.
void CReadRing::ReleaseOldest() {
    states[Slot(taken)].state.store(kUnfilled, std::memory_order_relaxed);
    ++taken;
}

long long CReadRing::ClaimAll() {
    long long end = queued.load();
    long long before = claimed.load();
    while (before < end && !claimed.compare_exchange_weak(before, end)) {
    }
    return before < end ? before : end;
}

void CReadRing::ForgetUpTo(long long end) {
    while (taken < end) ReleaseOldest();
}
