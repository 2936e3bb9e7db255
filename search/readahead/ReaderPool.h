// The reader threads: started when first wanted and kept for the process,
// each with a stack of the size the search states; put to sleep and woken one
// at a time.
//
// Who does what:
// - the owner (the walking thread) alone starts readers and stops them all;
//   the number started only grows, and a thread the system refuses ends the
//   tries for good, leaving the work to those that started, or to the walk;
// - each reader runs the routine it was given, numbered from 0, and calls
//   Sleep when it has nothing to do;
// - anyone may wake a sleeping reader. A reader sleeps on its own flag, and
//   whoever wakes it turns the flag from asleep to awake in one atomic step:
//   each wake reaches one sleeper, and a reader counts as awake from the
//   moment it is woken. A reader marks itself asleep before it looks for
//   work one last time, and a waker queues work before it looks for
//   sleepers, so no wake is lost.
#pragma once

#include <atomic>

#include <sorahiki/thread.h>

#include "search/readahead/ReadPacing.h"
#include "search/readahead/WakeSignal.h"

class CReaderPool {
  public:
    static constexpr int kMaxReaders = CReadPacing::kMaxReaders;
    // What each reader runs: routine(owner, its number). It returns when
    // the pool stops.
    using Routine = void (*)(void* owner, int self);

    CReaderPool(Routine routineToRun, void* ownerToPass)
        : routine(routineToRun), owner(ownerToPass) {}
    ~CReaderPool() { Stop(); }
    CReaderPool(const CReaderPool&) = delete;
    CReaderPool& operator=(const CReaderPool&) = delete;

    // Starts readers until `count` run (at most kMaxReaders).
    void StartUpTo(int count);
    void Stop();
    int Started() const { return started.load(std::memory_order_relaxed); }
    int Awake() const { return awake.load(); }
    bool Stopping() const { return stopping.load(); }

    // A reader's side: sleeps until woken, unless `needed()` holds once the
    // reader counts as asleep. Its look at the files waiting must be
    // sequentially consistent, so that it and a waker's push cannot both
    // miss the other; its look at how many readers should work may be late,
    // which at worst leaves the reader asleep until the next wake (the walk
    // wakes one whenever it waits for a file).
    template <typename Needed>
    void Sleep(int self, Needed needed) {
        std::atomic<int>& state = readers[self].state;
        state.store(kAsleep);
        awake.fetch_sub(1);
        if (Stopping() || needed()) {
            WakeAt(self);
            return;
        }
        readers[self].wakes.SleepUntil([&state] { return state.load() != kAsleep; });
    }
    // Wakes one sleeping reader numbered below `limit`; false when none
    // sleeps there.
    bool WakeOne(int limit);

  private:
    static constexpr int kAwake = 0;
    static constexpr int kAsleep = 1;

    struct alignas(64) Reader {
        CStartedThread thread;
        std::atomic<int> state{kAwake};
        CWakeSignal wakes;
        CReaderPool* pool = nullptr;
        int self = 0;
    };

    static void Run(void* reader);
    bool WakeAt(int self);

    Routine routine;
    void* owner;
    Reader readers[kMaxReaders];
    std::atomic<int> started{0};
    std::atomic<int> awake{0};
    std::atomic<bool> stopping{false};
    bool refused = false;  // the owner's: the system refused a thread
};
