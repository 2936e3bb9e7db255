// The warmer and the walk share a few atomic counts; the mutex is taken only
// to sleep and to wake, each side changing its own state before it looks at
// the other's, so that no wake is lost. The condition is notified to all,
// since either side may sleep on it.
#include "search/walk/FolderWarmer.h"

#include <cstring>

#include "search/Limits.h"

#include <sorahiki/listing.h>

CFolderWarmer::~CFolderWarmer() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_nWalk = kQuit;
    }
    m_cv.notify_all();
    m_thread.Join();
}

// A thread that cannot be started leaves the walk to list every folder cold.
void CFolderWarmer::m_sub_Start() {
    m_bStarted = true;
    m_thread.Start(Run, this, limits::kThreadStackBytes);
}

void CFolderWarmer::m_sub_Begin(const char* pszRoot) {
    if (!m_bStarted) m_sub_Start();
    size_t size = listed::PathSize(pszRoot);
    m_bBegun = m_thread.Started() && size <= sizeof m_szRoot;
    if (!m_bBegun) return;
    std::lock_guard<std::mutex> lock(m_mutex);
    std::memcpy(m_szRoot, pszRoot, size);
    m_nReached = 0;
    m_nListed = 0;
    m_bReadsWait = false;
    ++m_nWalk;
}

// Costs a few atomic operations per folder; the warmer is woken only when
// reads wait, so on a warm cache it sleeps through the whole walk.
void CFolderWarmer::m_sub_Reached(bool bReadsWait) {
    if (!m_bBegun) return;
    m_nReached.fetch_add(1);
    m_bReadsWait = bReadsWait;
    if (bReadsWait && m_bSleeping.load()) m_sub_Wake();
}

void CFolderWarmer::m_sub_End() {
    if (!m_bBegun) return;
    m_bBegun = false;
    ++m_nWalk;
    if (m_bSleeping.load()) m_sub_Wake();
}

// The warmer looks at the walk's number and takes the walk on in one hold of
// the lock, and this ends the walk before it takes the lock to look: either
// the warmer saw the walk ended, or it is waited for.
void CFolderWarmer::m_sub_Release() {
    m_sub_End();
    std::unique_lock<std::mutex> lock(m_mutex);
    while (m_bHolding) m_cv.wait(lock);
}

void CFolderWarmer::m_sub_Wake() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cv.notify_all();
}

void CFolderWarmer::m_sub_Loop() {
    char root[CFolderListing::kPathBytes];
    long long walk = 0;
    while (m_sub_SleepUntilWanted(root, walk)) {
        m_sub_Warm(root, walk);
        m_nWarmed = walk;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bHolding = false;
        m_cv.notify_all();
    }
}

// Sleeps until a walk under way, not warmed yet, finds that reads wait; false
// when the process ends.
bool CFolderWarmer::m_sub_SleepUntilWanted(char* pszRoot, long long& nWalk) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_bSleeping = true;
    long long walk = m_nWalk.load();
    while (walk != kQuit && !((walk & 1) != 0 && walk != m_nWarmed && m_bReadsWait.load())) {
        m_cv.wait(lock);
        walk = m_nWalk.load();
    }
    m_bSleeping = false;
    if (walk == kQuit) return false;
    std::memcpy(pszRoot, m_szRoot, sizeof m_szRoot);
    nWalk = walk;
    m_nListed = 0;
    m_bHolding = true;
    return true;
}

// Lists the folder and, depth first in listing order, the folders under it,
// each when its turn comes; false once the walk has ended.
bool CFolderWarmer::m_sub_Warm(const char* pszFolder, long long nWalk) {
    if (!m_sub_WaitTurn(nWalk)) return false;
    m_nListed.fetch_add(1);
    CFolderListing listing(pszFolder);
    while (listing.m_sub_Next()) {
        if (!m_sub_Current(nWalk)) return false;
        if (listing.m_sub_IsFolder() && !listing.m_sub_IsLink() && !listing.m_sub_TooLong() &&
            !m_sub_Warm(listing.m_sub_Path(), nWalk)) {
            return false;
        }
    }
    return true;
}

// The next folder may be listed while reads wait and the walk is no more than
// kFoldersAhead folders behind. A folder the walk has listed already is listed
// again, as the way to those after it.
bool CFolderWarmer::m_sub_MayList(long long nWalk) const {
    return m_sub_Current(nWalk) && m_bReadsWait.load() &&
           m_nListed.load() < m_nReached.load() + kFoldersAhead;
}

bool CFolderWarmer::m_sub_WaitTurn(long long nWalk) {
    if (m_sub_MayList(nWalk)) return true;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_bSleeping = true;
    while (m_sub_Current(nWalk) && !m_sub_MayList(nWalk)) m_cv.wait(lock);
    m_bSleeping = false;
    return m_sub_Current(nWalk);
}

CFolderWarmer& SharedFolderWarmer() {
    static CFolderWarmer warmer;
    return warmer;
}
