// The ring of slots between the walk and whoever reads its files. A slot
// holds a queued file's path and where its reading stands; what the reading
// makes of the file is the client's, kept by the client in slots of its own
// (CReadAheadClient), at the same index (Slot).
//
// Files are numbered in queue order, from the first walk on; file n lives in
// slot (n - first) % size, where `first` is the file at which the ring took
// its size: kQuickSlots at each walk's start, kSlots once widened. The ring
// changes its size only while it is empty, so no file ever moves.
//
// Who writes what:
// - the walk alone pushes (writes a slot's path, then counts it queued with a
//   sequentially consistent add, which also releases the path), takes the
//   oldest file back (once it is filled) and resets or widens the ring;
// - anyone claims the next queued file, in one atomic step whose load of the
//   count queued acquires the path, so each file is claimed once; who claims
//   it fills it and marks it filled with a release, which the walk's acquire
//   pairs with;
// - a slot is queued again only after the walk took its file back, so no slot
//   is ever written by two threads at once;
// - the ring's size and first file are the walk's, changed only while the
//   ring is empty: a reader reads them only for a file it claimed, after the
//   push that queued it and before it marks the file filled, which the walk
//   waits for before any change.
// The walk may sleep until a file is filled: it marks the file's state as
// waited for, and who fills it, changing that same state, sees the mark and
// wakes it. So a flowing file costs a few atomic operations and no lock.
#pragma once

#include <atomic>

#include "search/Limits.h"
#include "search/readahead/ReadPacing.h"
#include "search/readahead/WakeSignal.h"

class CReadRing {
  public:
    static constexpr int kSlots = CReadPacing::kSlots;
    static constexpr int kQuickSlots = CReadPacing::kQuickSlots;
    static constexpr int kPathBytes = limits::kPathBytes;

    // The walk, while the ring is empty: begin anew with the first
    // kQuickSlots slots, or go on with all kSlots.
    void Reset() { Resize(kQuickSlots); }
    void Widen() { Resize(kSlots); }
    int Size() const { return size; }

    // The walk's side.
    bool Full() const { return queued.load(std::memory_order_relaxed) - taken == size; }
    bool Empty() const { return queued.load(std::memory_order_relaxed) == taken; }
    void Push(const char* pszPath);
    long long Oldest() const { return taken; }
    // Hands the oldest file's slot back to the ring.
    void ReleaseOldest();
    // Claims every file queued and not claimed yet, so that none is read;
    // returns the first file no one reads.
    long long ClaimAll();
    // Gives up the files from the oldest up to `end`, all filled or unclaimed.
    void ForgetUpTo(long long end);
    // Sleeps until file `number` is filled.
    void SleepUntilFilled(long long number);

    // Anyone's side. Claim returns the file claimed, or -1 when none waits.
    long long Claim();
    int Slot(long long number) const { return static_cast<int>((number - first) % size); }
    const char* Path(long long number) const { return paths[Slot(number)]; }
    // Marks a claimed file filled; `shortOfDescriptors` when it could not be
    // opened, or was not, for want of a file descriptor (the walk reads it
    // again).
    void MarkFilled(long long number, bool shortOfDescriptors);
    bool Filled(long long number) const { return StateOf(number) >= kFilled; }
    bool ShortOfDescriptors(long long number) const {
        return StateOf(number) == kShortOfDescriptors;
    }
    // Files queued and not claimed. Sequentially consistent, so that a
    // reader that counts itself asleep before it looks, and a walk that
    // pushes before it looks for sleepers, cannot both miss the other.
    long long Waiting() const { return queued.load() - claimed.load(); }
    long long Claimed() const { return claimed.load(); }

  private:
    // Where a file's reading stands.
    static constexpr int kUnfilled = 0;
    static constexpr int kWalkWaits = 1;  // unfilled, and the walk sleeps for it
    static constexpr int kFilled = 2;
    static constexpr int kShortOfDescriptors = 3;  // filled: no descriptor to open it
    // Kept apart from the paths, one to a cache line: the constructor writes
    // the states alone, so that a process faults in only the paths it uses.
    struct alignas(64) SlotState {
        std::atomic<int> state{kUnfilled};
    };

    void Resize(int slots);
    int StateOf(long long number) const {
        return states[Slot(number)].state.load(std::memory_order_acquire);
    }

    char paths[kSlots][kPathBytes];
    SlotState states[kSlots];
    // Each on a cache line of its own: the size and first file, which every
    // thread reads for every file, on a line that no file's flow writes; the
    // counts, each written for every file by other threads, apart from them
    // and from each other.
    alignas(64) long long first = 0;
    int size = kQuickSlots;
    alignas(64) std::atomic<long long> queued{0};
    alignas(64) std::atomic<long long> claimed{0};
    alignas(64) long long taken = 0;  // the walk's alone
    CWakeSignal walkWakes;
};
