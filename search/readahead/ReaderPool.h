// The reader threads and what a reader does: claim the next queued file from
// the ring, have it filled, and sleep while no file waits or while more
// readers are awake than should work. Threads are started when first wanted
// and kept for the process, each with a stack of the size the search states
// and a room of its own.
//
// Who does what:
// - the owner (the walking thread) alone starts readers and stops them all;
//   the number started only grows, and a thread the system refuses ends the
//   tries for good, leaving the work to those that started, or to the walk;
// - readers are alike: any of them may work, and how many do is a count
//   (Working), not a choice of which;
// - anyone may wake a sleeping reader. One lock and one condition serve the
//   whole pool: a reader counts itself asleep and looks for work under the
//   lock, and a waker notifies under it, so a wake never falls between the
//   look and the sleep. The count awake changes only under the lock; a
//   reader counts itself asleep before it looks at the files waiting, and
//   the walk queues a file before it looks at the count awake, both
//   sequentially consistent, so one of the two sees the other. A reader's
//   look at the count before it claims a file is relaxed: it only paces.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

#include <sorahiki/thread.h>

#include "search/readahead/ReadPacing.h"
#include "search/readahead/ReadRing.h"
#include "search/readahead/ReadRoom.h"

// Fills a file claimed from the ring, in the room of the thread that claimed
// it; the read-ahead's, run by readers and by the walk alike.
class CFileFiller {
  public:
    virtual void m_sub_FillClaimed(long long nFile, CReadRoom& room) = 0;

  protected:
    ~CFileFiller() = default;
};

class CReaderPool {
  public:
    static constexpr int kMaxReaders = CReadPacing::kMaxReaders;

    CReaderPool(CReadRing& ring, const CReadPacing& pacing, CFileFiller& filler)
        : m_ring(ring), m_pacing(pacing), m_filler(filler) {}
    ~CReaderPool() { m_sub_Stop(); }
    CReaderPool(const CReaderPool&) = delete;
    CReaderPool& operator=(const CReaderPool&) = delete;

    // The owner's: starts readers until `count` run (at most kMaxReaders, and
    // no more than a test allows).
    void StartUpTo(int count);
    // The one count of readers that should work now.
    int Working() const;
    // Wakes a sleeping reader when the wake rule says so, `working` being
    // the count the caller acted on.
    void WakeIfWanted(int working);

  private:
    struct alignas(64) Reader {
        CStartedThread thread;
        CReaderPool* pool = nullptr;
        CReadRoom room;
    };

    static void Run(void* reader);
    void m_sub_Stop();
    void m_sub_Read(CReadRoom& room);
    void m_sub_FillOrLeave(long long file, int working, CReadRoom& room);
    bool m_sub_SpinForWork(int working);
    bool m_sub_WakeWanted(int working) const;
    bool m_sub_Sleep();

    CReadRing& m_ring;
    const CReadPacing& m_pacing;
    CFileFiller& m_filler;
    Reader m_readers[kMaxReaders];
    std::atomic<int> m_nStarted{0};  // the owner's; readers read it
    std::atomic<int> m_nAwake{0};    // changed under m_mutex only
    bool m_bStopping = false;        // under m_mutex
    bool m_bRefused = false;         // the owner's: the system refused a thread
    std::mutex m_mutex;
    std::condition_variable m_wakes;
};
