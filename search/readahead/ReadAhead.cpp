// The walk's side of the read-ahead and the filling of one file; who owns
// what: ReadAhead.h.
#include "search/readahead/ReadAhead.h"

#include <sorahiki/thread.h>

void CReadAhead::m_sub_StartReaders() {
    m_pool.StartUpTo(m_pacing.Wanted());
}

void CReadAhead::m_sub_Begin(CReadAheadClient& client) {
    m_pacing.Begin();
    m_sub_StartReaders();
    m_pClient = &client;
    m_bRefused = false;
    m_ring.Reset();
}

bool CReadAhead::m_sub_Push(const char* pszPath) {
    if (!m_bRefused && m_pacing.Widens(m_ring.Size())) {
        // The files queued are handed out first (a few milliseconds, once per
        // walk), so that the ring is empty when it is counted anew.
        m_sub_Drain();
        if (!m_bRefused) m_ring.Widen();
    }
    if (m_bRefused) return false;
    if (m_ring.Full() && !m_sub_TakeOldest()) return false;
    m_ring.Push(pszPath);
    m_sub_StartReaders();
    m_pool.WakeIfWanted(m_pool.Working());
    return true;
}

void CReadAhead::m_sub_Drain() {
    while (!m_ring.Empty()) {
        if (!m_sub_TakeOldest()) break;
    }
}

void CReadAhead::m_sub_End() {
    m_sub_Drain();
    m_pClient = nullptr;
}

// Hands the oldest queued file to the client; a file that could not be
// opened for want of a descriptor while other reads held theirs is read again
// by the walk once none is in flight. When the client refuses the file, the
// files queued after it are dropped.
bool CReadAhead::m_sub_TakeOldest() {
    long long oldest = m_ring.Oldest();
    m_sub_WaitForFilled(oldest);
    if (m_ring.ShortOfDescriptors(oldest)) {
        m_sub_QuietReads();
        m_pClient->m_sub_Fill(m_ring.Slot(oldest), m_ring.Path(oldest), m_walkRoom);
    }
    bool more = m_pClient->m_sub_Take(m_ring.Slot(oldest), m_ring.Path(oldest));
    m_ring.ReleaseOldest();
    if (!more) m_sub_DropQueued();
    return more;
}

// While the file is not filled, the walk reads the next queued file itself
// when at most one reader works (WalkHelps), and else wakes a reader as the
// wake rule says; then it sleeps until the file is filled. A file that no one
// has taken on is always read by someone: by the walk, or, when two or more
// readers should work, by one awake or woken.
void CReadAhead::m_sub_WaitForFilled(long long nFile) {
    while (!m_ring.Filled(nFile)) {
        int working = m_pool.Working();
        if (CReadPacing::WalkHelps(working)) {
            long long claimed = m_ring.Claim();
            if (claimed >= 0) {
                m_sub_FillClaimed(claimed, m_walkRoom);
                continue;
            }
            auto filled = [this, nFile] { return m_ring.Filled(nFile); };
            if (SpinUntil(filled, m_pacing.SpinTicks())) return;
        } else {
            m_pool.WakeIfWanted(working);
        }
        m_ring.SleepUntilFilled(nFile);
    }
}

// Fills the claimed file, times the read when the pacing asks, and wakes a
// reader when reads have just begun to wait. The thread's sleeps are counted
// again only after a read that took long.
void CReadAhead::m_sub_FillClaimed(long long nFile, CReadRoom& room) {
    bool timed = m_pacing.Times(nFile);
    long long start = timed ? PacingTicks() : 0;
    long long sleeps = timed ? ThreadSleepsSoFar() : 0;
    CReadAheadClient::Filled filled =
        m_pClient->m_sub_Fill(m_ring.Slot(nFile), m_ring.Path(nFile), room);
    long long ticks = timed ? PacingTicks() - start : 0;
    m_ring.MarkFilled(nFile, filled == CReadAheadClient::Filled::kShortOfDescriptors);
    if (!timed) return;
    long long slept = -1;  // not counted
    if (m_pacing.IsSlow(ticks) && sleeps >= 0) slept = ThreadSleepsSoFar() - sleeps;
    if (m_pacing.NoteRead(ticks, slept)) m_pool.WakeIfWanted(m_pool.Working());
}

void CReadAhead::m_sub_QuietReads() {
    m_pacing.NoteShortOfDescriptors();
    m_sub_WaitInFlight();
    if (m_pClient != nullptr) m_pClient->m_sub_ReleaseDescriptors();
}

// Waits until every file taken on is filled. A reader that claims a file
// after this looked at the claims finds descriptors short and leaves the
// file to the walk unread.
void CReadAhead::m_sub_WaitInFlight() {
    for (long long claimed = -1; claimed != m_ring.Claimed();) {
        claimed = m_ring.Claimed();
        for (long long file = m_ring.Oldest(); file < claimed; ++file) {
            m_ring.SleepUntilFilled(file);
        }
    }
}

// Files no one has taken on are forgotten: the walk claims them all at once.
// Those being read are waited for, since their readers still use the slots
// and the client.
void CReadAhead::m_sub_DropQueued() {
    long long unread = m_ring.ClaimAll();
    long long queued = m_ring.Claimed();
    m_bRefused = true;
    for (long long file = m_ring.Oldest(); file < unread; ++file) m_ring.SleepUntilFilled(file);
    m_ring.ForgetUpTo(queued);
}

CReadAhead& SharedReadAhead() {
    static CReadAhead readAhead;
    return readAhead;
}
