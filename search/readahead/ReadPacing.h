// The pacing of the read-ahead: how many readers work, when a read counts as
// waiting for the disk, when the walk reads files itself, when a sleeping
// reader is woken, when the ring grows and when the folder warmer runs. Every
// tuning constant of the read-ahead is here; the fixed sizes are in Limits.h.
//
// While files come from the cache, one reader and the walking thread share
// the work, which keeps both cores busy without threads waking each other for
// every file. Once reads wait for the disk, every reader works, so that
// enough reads are in flight to keep a cold disk busy, and the walk stays free
// to queue files; after a run of quick reads the extra readers sleep again.
// When a read fails for want of a file descriptor, no reader works for the
// rest of the walk: the walk reads every file itself, one at a time.
//
// Who writes what: the score of slow reads is written by whoever fills a file
// (a reader or the walk), relaxed, since a late look at it only delays a
// change of pace by a file. The shortage of descriptors is written by the
// walk, which then waits for the files claimed; a reader that has claimed a
// file looks at it again before it opens the file, sequentially consistent,
// so that it either leaves the file to the walk or is waited for
// (CReadAhead::m_sub_QuietReads). The clock's rates are set once, when the
// read-ahead is made. Anyone may read.
#pragma once

#include <atomic>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

class CReadPacing {
  public:
    // Slots of the ring: enough to ride out a reader that the system holds up
    // for a while, and to keep every reader busy on a cold disk. While reads
    // are quick a walk uses only the first kQuickSlots, so that a short-lived
    // process does not fault in the 2.4 MB of them all for nothing.
    static constexpr int kSlots = 1024;
    static constexpr int kQuickSlots = 256;
    static constexpr int kMaxReaders = 32;
    // How far ahead of the walk the folder warmer may list.
    static constexpr int kFoldersAhead = 8;
    // A spinning thread looks at the clock once in this many looks at its
    // condition.
    static constexpr int kSpinBatch = 16;

    CReadPacing();
    // At the start of each walk, on the walking thread.
    void Begin() { shortOfDescriptors.store(false); }

    // Readers wanted: one while reads are quick, every one once they wait.
    // As many threads are started, so that a search of a few files does not
    // pay for 32 threads.
    int Wanted() const { return ReadsWait() ? kMaxReaders : 1; }
    // The one count of readers that should work, of the `usable` threads
    // that run: those wanted, none once descriptors are short.
    int Working(int usable) const {
        if (shortOfDescriptors.load(std::memory_order_relaxed)) return 0;
        return Wanted() < usable ? Wanted() : usable;
    }
    // The walk reads queued files itself while it waits for its next one
    // when at most one reader works: with none, nobody else would; with one,
    // on a warm cache, that keeps the walk's core busy too.
    static bool WalkHelps(int working) { return working <= 1; }
    // The wake rule, one for every reader and every waker. No more readers
    // are awake than should work (`working`): a reader that sees more awake,
    // itself among the `awake`, goes to sleep, and one that does not keeps
    // claiming files (StaysAwake). A sleeping reader is woken, and one about
    // to sleep stays awake, only for files that those awake would leave
    // waiting (ShouldWake, `waiting` files queued and not taken on, `awake`
    // readers awake besides it): while one reader should work, a batch of
    // them, so that it does not sleep and wake again for every file while
    // the walk lists a folder (the walk reads files itself meanwhile); while
    // more should, more files than readers awake. So whenever the walk waits
    // for a file that no one has taken on and does not read it itself (two or
    // more should work), a reader is awake or woken.
    static bool StaysAwake(int awake, int working) { return awake <= working; }
    static bool ShouldWake(long long waiting, int awake, int working) {
        if (waiting <= 0 || !StaysAwake(awake + 1, working)) return false;
        if (working == 1) return waiting >= kWakeBatch;
        return waiting > awake;
    }
    // The one reader that works spins a while for the walk's next file
    // before it sleeps.
    static bool Spins(int working) { return working == 1; }
    // Once reads wait, the walk uses every slot from then on.
    bool Widens(int ringSlots) const { return ringSlots < kSlots && ReadsWait(); }
    // The folder warmer lists ahead while reads wait, and never while
    // descriptors are short, since it would hold some.
    bool WarmerRuns() const {
        return ReadsWait() && !shortOfDescriptors.load(std::memory_order_relaxed);
    }
    bool ReadsWait() const { return slowScore.load(std::memory_order_relaxed) >= kManyReaders; }

    // Every read is timed once one was slow, else one in kTimedEvery.
    bool Times(long long fileNumber) const {
        return slowScore.load(std::memory_order_relaxed) > 0 || fileNumber % kTimedEvery == 0;
    }
    // Notes a timed read of `ticks`, during which the reading thread went to
    // sleep `sleeps` times (ThreadSleepsSoFar; negative where the system
    // does not count); true when reads have just begun to wait. A read waited
    // for the disk when it took long and its thread slept meanwhile: on a
    // busy machine a read that only lost its processor for a few
    // milliseconds takes as long, and two such in a row set 32 readers
    // fighting over two cores for the files of a warm cache.
    bool NoteRead(long long ticks, long long sleeps);
    bool IsSlow(long long ticks) const { return ticks > slowTicks; }
    void NoteShortOfDescriptors() { shortOfDescriptors.store(true); }
    bool ShortOfDescriptors() const { return shortOfDescriptors.load(); }
    // How long a thread with nothing to do spins before it sleeps.
    long long SpinTicks() const { return spinTicks; }

  private:
    // A read that takes longer than this waited for the disk. A file from the
    // cache takes under 10 microseconds; one from a disk that answers fast, as
    // a virtual machine's does from its host's cache, 40 to 150 one at a time.
    // Set above that, a walk that began with one reader took every file as
    // quick and kept one read in flight for the whole cold search.
    static constexpr long long kSlowReadMicroseconds = 30;
    // While reads are quick, one read in this many is timed: reading the clock
    // costs about as much as the rest of the bookkeeping of a file.
    static constexpr long long kTimedEvery = 8;
    // Files that wake the one sleeping reader while reads are quick.
    static constexpr long long kWakeBatch = 16;
    // A slow read adds kSlowWeight to a score that each quick read lowers by
    // one; while the score stands at kManyReaders or above, reads wait. So a
    // run of slow reads, as from a cold disk, wakes every reader at once,
    // while a read now and then held up by other programs does not.
    static constexpr int kSlowWeight = 8;
    static constexpr int kManyReaders = 2 * kSlowWeight;
    static constexpr int kMaxScore = 64;
    // A thread that finds nothing to do waits this long before it sleeps: the
    // walk's next file or a reader's slot is usually a few microseconds away,
    // and a sleep and a wake cost more than that.
    static constexpr long long kSpinMicroseconds = 50;

    std::atomic<int> slowScore{0};  // kept from walk to walk
    std::atomic<bool> shortOfDescriptors{false};
    const long long slowTicks;
    const long long spinTicks;
};

// The clock the pacing counts in.
long long PacingTicks();

inline void CpuRelax() {
#if defined(__SSE2__)
    _mm_pause();
#endif
}

// Waits, without sleeping, until `ready()` holds or `ticks` have passed;
// returns `ready()`.
template <typename Ready>
bool SpinUntil(Ready ready, long long ticks) {
    long long deadline = PacingTicks() + ticks;
    for (;;) {
        for (int i = 0; i < CReadPacing::kSpinBatch; ++i) {
            if (ready()) return true;
            CpuRelax();
        }
        if (PacingTicks() > deadline) return ready();
    }
}
