#include "search/readahead/ReadRing.h"

#include <algorithm>
#include <cstring>

#include <sorahiki/listing.h>

void CReadRing::Resize(int slots) {
    first = queued.load();
    size = slots;
}

void CReadRing::Push(const char* pszPath) {
    CReadSlot& slot = At(queued.load(std::memory_order_relaxed));
    // A listed path keeps the keys of its marked names after its NUL.
    if (!listed::CopyPath(pszPath, slot.szPath, sizeof slot.szPath)) {
        size_t length = std::min(std::strlen(pszPath), sizeof slot.szPath - 1);
        std::memcpy(slot.szPath, pszPath, length);
        slot.szPath[length] = '\0';
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

// The walk notes the file it sleeps for before it looks at the flag, and who
// fills a slot sets the flag before it looks at the note: one of the two sees
// the other, so the walk never sleeps through its file.
void CReadRing::MarkFilled(long long number) {
    flags[SlotIndex(number)].filled.store(1);
    if (walkSleepsFor.load() == number) walkWakes.Wake();
}

void CReadRing::SleepUntilFilled(long long number) {
    std::atomic<int>& filled = flags[SlotIndex(number)].filled;
    walkSleepsFor.store(number);
    walkWakes.SleepUntil([&filled] { return filled.load() != 0; });
    walkSleepsFor.store(-1);
}

void CReadRing::ReleaseOldest() {
    flags[SlotIndex(taken)].filled.store(0, std::memory_order_relaxed);
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
