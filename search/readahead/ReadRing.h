// The ring of slots between the walk and whoever reads its files.
//
// Files are numbered in queue order, from the first walk on; file n lives in
// slot (n - first) % size, where `first` is the file at which the ring took
// its size: kQuickSlots at each walk's start, kSlots once widened. The ring
// changes its size only while it is empty, so no file ever moves.
//
// Who writes what:
// - the walk alone pushes (writes a slot's path, then counts it queued with a
//   release store), takes the oldest file back (once it is filled) and resets
//   or widens the ring;
// - anyone claims the next queued file, in one atomic step, so each file is
//   claimed once; who claims it fills its slot and marks it filled with a
//   release store, which the walk's acquire load pairs with;
// - a slot is queued again only after the walk took its file back, so no slot
//   is ever written by two threads at once;
// - the ring's size and first file are the walk's, changed only while the
//   ring is empty: a reader reads them only for a file it claimed, after the
//   push that queued it (release, paired with the claim's acquire) and before
//   it marks the file filled, which the walk waits for before any change.
// The walk may sleep until a slot is filled; who fills the slot it sleeps for
// wakes it, and only then, so a flowing file costs a few atomic operations.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>

#include "search/Limits.h"
#include "search/readahead/ReadPacing.h"
#include "search/readahead/WakeSignal.h"

// One queued file and what was read from it.
struct CReadSlot {
    static constexpr int kPathBytes = limits::kPathBytes;
    static constexpr int kTextBytes = limits::kTextBuffer;

    char szPath[kPathBytes];
    bool bOpened;       // the file could be opened
    DWORD dwError;      // why not, when it could not
    bool bKeep;         // the client's verdict on the file
    int nFirstLine;     // bytes of szText that come from the file's first line
    bool bNulEndsLine;  // a NUL ends the first line
    char szText[kTextBytes];
};

// Room for the buffers of one file's reading, one for each thread that reads,
// so that no reader keeps them on its stack.
struct CReadRoom {
    static constexpr std::size_t kBytes = limits::kReadRoomBytes;
    alignas(64) unsigned char bytes[kBytes];
};

class CReadRing {
  public:
    static constexpr int kSlots = CReadPacing::kSlots;
    static constexpr int kQuickSlots = CReadPacing::kQuickSlots;

    // The walk, while the ring is empty: begin anew with the first
    // kQuickSlots slots, or go on with all kSlots.
    void Reset() { Resize(kQuickSlots); }
    void Widen() { Resize(kSlots); }
    int Size() const { return size; }

    // The walk's side.
    bool Full() const { return queued.load(std::memory_order_relaxed) - taken == Size(); }
    bool Empty() const { return queued.load(std::memory_order_relaxed) == taken; }
    void Push(const char* pszPath);
    long long Oldest() const { return taken; }
    // Hands the oldest file's slot back to the ring.
    void ReleaseOldest();
    // Claims every file queued and not claimed yet, so that none is read;
    // returns the number claimed before, the first file no one reads.
    long long ClaimAll();
    // Gives up the files from the oldest up to `end`, all filled or unclaimed.
    void ForgetUpTo(long long end);
    // Sleeps until file `number` is filled.
    void SleepUntilFilled(long long number);

    // Anyone's side.
    long long Claim();
    CReadSlot& At(long long number) { return texts[SlotIndex(number)]; }
    bool Filled(long long number) const {
        return flags[SlotIndex(number)].filled.load(std::memory_order_acquire) != 0;
    }
    void MarkFilled(long long number);
    long long Waiting() const {
        return queued.load(std::memory_order_relaxed) - claimed.load(std::memory_order_relaxed);
    }
    // The same, in sequentially consistent order, for a reader about to sleep.
    bool AnyWaiting() const { return queued.load() > claimed.load(); }
    long long Claimed() const { return claimed.load(); }

  private:
    // A slot's flag, kept apart from its text: the constructor writes the
    // flags alone, so that a process faults in only the texts it uses.
    struct alignas(64) FilledFlag {
        std::atomic<int> filled{0};
    };

    void Resize(int slots);
    int SlotIndex(long long number) const {
        return static_cast<int>((number - first) % size);
    }

    CReadSlot texts[kSlots];
    FilledFlag flags[kSlots];
    std::atomic<long long> queued{0};
    std::atomic<long long> claimed{0};
    long long taken = 0;  // the walk's alone
    long long first = 0;
    int size = kQuickSlots;
    std::atomic<long long> walkSleepsFor{-1};
    CWakeSignal walkWakes;
};
