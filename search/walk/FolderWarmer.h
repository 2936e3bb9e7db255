// Listing folders ahead of the walk while the disk is slow. When reads wait
// for the disk, the walk's own listing of each folder waits too, its read
// queued behind those of every reader, and the readers run dry meanwhile. One
// thread lists the same folders in the same order a few folders ahead of the
// walk, so that their entries are in the system's cache when the walk lists
// them. It keeps nothing it lists: the walk still lists every folder itself,
// so what the walk sees, and in which order, does not change.
//
// It works only while the walk tells it that reads wait, never lists more than
// kFoldersAhead folders beyond those the walk has reached, passes over links
// (the walk follows them itself, with its own rule against loops) and gives up
// as soon as the walk ends, or lets go of its folders when the walk runs short
// of file descriptors. The thread is started at the first walk and kept.
//
// Who writes what: the walking thread numbers the walks, counts the folders
// it reaches and says whether reads wait; the warmer counts the folders it
// lists and says whether it sleeps. Each reads the other's counts without
// the lock, as atomics. The lock guards the root of the walk and whether the
// warmer holds a walk, and both sleep on the one condition, each notifying
// after it changed what the other waits for.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

#include <sorahiki/thread.h>

#include "search/readahead/ReadPacing.h"
#include "search/walk/FolderListing.h"

class CFolderWarmer {
  public:
    static constexpr int kFoldersAhead = CReadPacing::kFoldersAhead;

    CFolderWarmer() = default;
    ~CFolderWarmer();
    CFolderWarmer(const CFolderWarmer&) = delete;
    CFolderWarmer& operator=(const CFolderWarmer&) = delete;

    // A walk from `pszRoot`: Begin, then Reached as the walk begins to list
    // each folder, then End. All three on the walking thread.
    void m_sub_Begin(const char* pszRoot);
    void m_sub_Reached(bool bReadsWait);
    void m_sub_End();
    // Ends the warming of this walk, and returns once the warmer holds no
    // folder open; the walk goes on without it.
    void m_sub_Release();

    // Folders listed ahead of the last walk so far.
    int m_sub_Listed() const { return m_nListed.load(); }

  private:
    void m_sub_Start();
    static void Run(void* warmer) { static_cast<CFolderWarmer*>(warmer)->m_sub_Loop(); }
    void m_sub_Loop();
    bool m_sub_SleepUntilWanted(char* pszRoot, long long& nWalk);
    bool m_sub_Warm(const char* pszFolder, long long nWalk);
    bool m_sub_WaitTurn(long long nWalk);
    bool m_sub_Current(long long nWalk) const { return m_nWalk.load() == nWalk; }
    bool m_sub_MayList(long long nWalk) const;
    void m_sub_Wake();

    CStartedThread m_thread;
    bool m_bStarted = false;  // walking thread only
    bool m_bBegun = false;    // walking thread only: this walk is warmed

    std::mutex m_mutex;
    std::condition_variable m_cv;
    char m_szRoot[CFolderListing::kPathBytes] = {};  // under m_mutex
    bool m_bHolding = false;  // under m_mutex: the warmer has taken a walk on
    long long m_nWarmed = 0;  // the warmer's: the last walk whose folders were all listed
    // Walks are numbered; an odd number is a walk under way, kQuit the end of
    // the process.
    static constexpr long long kQuit = -1;
    std::atomic<long long> m_nWalk{0};
    std::atomic<int> m_nReached{0};  // folders the walk has begun to list
    std::atomic<int> m_nListed{0};   // folders listed ahead of it
    std::atomic<bool> m_bReadsWait{false};
    std::atomic<bool> m_bSleeping{false};
};

// The one folder warmer of the process.
CFolderWarmer& SharedFolderWarmer();
