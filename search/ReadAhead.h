// Reading files ahead of a walk: the walk queues the files it finds, in its
// own order, and a small fixed pool of reader threads reads them into slots
// while the walk goes on; the slots are handed back in exactly the order they
// were queued.
//
// How many readers work depends on how the reads go. While files come from
// the cache, one reader and the walking thread share the work, which keeps
// both cores busy without threads waking each other for every file. Once a
// read has to wait for the disk, every reader joins in, so that enough reads
// are in flight to keep a cold disk busy; after a run of quick reads the
// extra readers go back to sleep.
//
// The slots live inside the object, which is made once for the whole process,
// so a search allocates nothing; one thread is started at the first walk, the
// others when reads first wait for the disk.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// One queued file and what was read from it.
struct CReadSlot {
    static constexpr int kPathBytes = 210;
    static constexpr int kTextBytes = 2100;

    char szPath[kPathBytes];
    bool bOpened;       // the file could be opened
    DWORD dwError;      // why not, when it could not
    bool bKeep;         // the client's verdict on the file
    int nFirstLine;     // bytes of szText that come from the file's first line
    bool bNulEndsLine;  // a NUL ends the first line
    char szText[kTextBytes];
};

// What a walk does with its files: Fill runs on any thread, once per queued
// file, and must touch nothing but its slot and what stays unchanged during the
// walk; Take runs on the walking thread, once per file, in queue order, and
// returns false when the walk wants no more files.
class CReadAheadClient {
  public:
    virtual void m_sub_Fill(CReadSlot& slot) const = 0;
    virtual bool m_sub_Take(const CReadSlot& slot) = 0;

  protected:
    ~CReadAheadClient() = default;
};

class CReadAhead {
  public:
    // Enough files queued to ride out a reader that the system holds up for a
    // while, and to keep every reader busy on a cold disk. On a busy machine
    // a reader can wait for a processor for milliseconds while the walk waits
    // for its file, the oldest queued; with 256 slots the others then ran dry,
    // and a cold search took a quarter longer. While reads are quick a walk
    // uses only the first kQuickSlots, so that a short-lived process does not
    // fault in the 2.4 MB of them all for nothing.
    static constexpr int kSlots = 1024;
    static constexpr int kQuickSlots = 256;
    static constexpr int kMaxReaders = 32;

    CReadAhead() = default;
    ~CReadAhead();
    CReadAhead(const CReadAhead&) = delete;
    CReadAhead& operator=(const CReadAhead&) = delete;

    // How many reader threads to use from the next walk on (0 to
    // kMaxReaders); with none, the walking thread reads every file itself.
    void m_sub_SetReaders(int nReaders);
    int m_sub_Readers() const { return m_nWanted; }
    // Reads of late have waited for the disk, and every reader works.
    bool m_sub_ReadsWait() const { return m_nActive.load() > 1; }

    // A walk: Begin, then Push each file in order, then End. Push returns
    // false once the client has refused a file; the walk should stop then.
    // End hands out the files still queued and returns when no reader works
    // for the walk any more.
    void m_sub_Begin(CReadAheadClient& client);
    bool m_sub_Push(const char* pszPath);
    void m_sub_End();
    // Hands out every file queued so far, before the walk goes on.
    void m_sub_Drain();

  private:
    // A slot: its text and its flag, kept apart. The constructor writes the
    // flags alone, so that a process faults in only the texts it uses.
    struct Slot {
        CReadSlot& data;
        std::atomic<bool>& bFilled;
    };
    struct alignas(64) FilledFlag {
        std::atomic<bool> bFilled{false};
    };

    void m_sub_StartReaders(int count);
    void m_sub_StartReadersWhenSlow();
    int m_sub_Awake() const { return m_nThreads.load() - m_nSleeping.load(); }
    int m_sub_ActiveReaders() const;
    long long m_sub_Claim();
    bool m_sub_ShouldWake(bool urgent) const;
    void m_sub_WakeReaders(bool urgent);
    void m_sub_WakeReadersLocked(bool urgent);
    void m_sub_ReaderLoop(int self);
    bool m_sub_SpinForWork(int self);
    bool m_sub_SleepUntilNeeded(int self);
    bool m_sub_TakeOldest();
    void m_sub_WaitForFilled(const Slot& slot, bool help);
    void m_sub_FillClaimed(long long nIndex);
    void m_sub_DropQueued();
    void m_sub_Widen();
    Slot m_sub_SlotOf(long long nIndex) {
        long long at = (nIndex - m_nRingStart.load()) % m_nRingSlots.load();
        return Slot{m_texts[at], m_filled[at].bFilled};
    }

    CReadSlot m_texts[kSlots];
    FilledFlag m_filled[kSlots];
    // Files are numbered from the first walk on. Queued: written by the
    // walk; claimed: by whoever takes a file on; taken back: by the walk.
    std::atomic<long long> m_nQueued{0};
    std::atomic<long long> m_nClaimed{0};
    long long m_nTaken = 0;
    bool m_bRefused = false;
    // File n lives in slot (n - m_nRingStart) % m_nRingSlots. Both change
    // only while no file is queued, so no file ever moves.
    std::atomic<long long> m_nRingStart{0};
    std::atomic<int> m_nRingSlots{kQuickSlots};
    std::atomic<CReadAheadClient*> m_pClient{nullptr};

    // Sleeping and waking only: the mutex is taken when a thread goes to
    // sleep or wakes one, never for a file that flows.
    std::mutex m_mutex;
    std::condition_variable m_cvWork;    // readers wait here for queued files
    std::condition_variable m_cvFilled;  // the walk waits here for its oldest file
    std::atomic<int> m_nSleeping{0};
    std::atomic<int> m_nWaking{0};               // woken, not yet out of their sleep
    std::atomic<long long> m_nWalkWaitsFor{-1};  // the file the walk sleeps for
    std::atomic<bool> m_bQuit{false};

    std::atomic<int> m_nActive{1};     // readers to keep awake: 1, or all when reads wait
    std::atomic<int> m_nSlowScore{0};  // how many reads waited of late
    std::atomic<long long> m_nSlowTicks{0};
    std::atomic<long long> m_nSpinTicks{0};

    std::thread m_threads[kMaxReaders];
    std::atomic<int> m_nThreads{0};
    bool m_bStartFailed = false;  // the system refused a thread: no more tries
    std::atomic<int> m_nWanted{kMaxReaders};
};

// The one read-ahead of the process.
CReadAhead& SharedReadAhead();
