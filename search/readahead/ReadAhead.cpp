#include "search/readahead/ReadAhead.h"

#include <sorahiki/testhooks.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

void CpuRelax() {
#if defined(__SSE2__)
    _mm_pause();
#endif
}

// Waits, without sleeping, until `ready` holds or `ticks` have passed;
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

bool ShortOfDescriptors(const CReadSlot& slot) {
    return !slot.bOpened && slot.dwError == ERROR_TOO_MANY_OPEN_FILES;
}

}  // namespace

// The reader threads that may work: those started, within a test's limit.
int CReadAhead::m_sub_Usable() const {
    int started = m_pool.Started();
    int limit = testhooks::ReaderLimit();
    return limit >= 0 && limit < started ? limit : started;
}

// The one count of readers that should work now.
int CReadAhead::m_sub_Working() const {
    return m_pacing.Working(m_sub_Usable());
}

void CReadAhead::m_sub_StartReaders() {
    int count = m_pacing.ThreadsWanted();
    int limit = testhooks::ReaderLimit();
    m_pool.StartUpTo(limit >= 0 && limit < count ? limit : count);
}

// Wakes a sleeping reader that should work, when the wake rule says so.
void CReadAhead::m_sub_WakeReaders(bool urgent) {
    int working = m_sub_Working();
    if (CReadPacing::ShouldWake(m_ring.Waiting(), m_pool.Awake(), working, urgent)) {
        m_pool.WakeOne(working);
    }
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
    m_sub_WakeReaders(false);
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

// Hands the oldest queued file to the client. When the client refuses it, the
// files queued after it are dropped.
bool CReadAhead::m_sub_TakeOldest() {
    long long oldest = m_ring.Oldest();
    m_sub_WaitForFilled(oldest);
    CReadSlot& slot = m_ring.At(oldest);
    if (ShortOfDescriptors(slot)) m_sub_RetryShortOfDescriptors(slot);
    bool more = m_pClient->m_sub_Take(slot);
    m_ring.ReleaseOldest();
    if (!more) m_sub_DropQueued();
    return more;
}

// While the file is not filled, the walk reads the next queued file itself
// when the pacing lets it; else, or when a reader has the file, it wakes a
// reader and sleeps until the file is filled. A file that no one has taken on
// is always read by someone: by a reader that works, or by the walk, which
// helps whenever no reader works.
void CReadAhead::m_sub_WaitForFilled(long long nFile) {
    while (!m_ring.Filled(nFile)) {
        if (CReadPacing::WalkHelps(m_sub_Working())) {
            long long claimed = m_ring.Claim();
            if (claimed >= 0) {
                m_sub_Fill(claimed, m_sub_WalkRoom());
                continue;
            }
            auto filled = [this, nFile] { return m_ring.Filled(nFile); };
            if (SpinUntil(filled, m_pacing.SpinTicks())) return;
        }
        m_sub_WakeReaders(true);
        m_ring.SleepUntilFilled(nFile);
    }
}

// Fills the claimed file's slot and times the read when the pacing asks.
void CReadAhead::m_sub_Fill(long long nFile, CReadRoom& room) {
    CReadSlot& slot = m_ring.At(nFile);
    bool timed = m_pacing.Times(nFile);
    long long start = timed ? PacingTicks() : 0;
    m_pClient->m_sub_Fill(slot, room);
    long long ticks = timed ? PacingTicks() - start : 0;
    m_ring.MarkFilled(nFile);
    if (timed && m_pacing.NoteRead(ticks)) m_sub_WakeReaders(false);
}

void CReadAhead::m_sub_QuietReads() {
    m_pacing.NoteShortOfDescriptors();
    m_sub_WaitInFlight();
    if (m_pClient != nullptr) m_pClient->m_sub_ReleaseDescriptors();
}

// Waits until every file taken on is filled. No reader takes a new file on
// once descriptors are short, but one may have decided to just before.
void CReadAhead::m_sub_WaitInFlight() {
    for (long long claimed = -1; claimed != m_ring.Claimed();) {
        claimed = m_ring.Claimed();
        for (long long file = m_ring.Oldest(); file < claimed; ++file) {
            if (!m_ring.Filled(file)) m_ring.SleepUntilFilled(file);
        }
    }
}

// The file could not be opened for want of a descriptor while other reads
// held theirs: once none is in flight, the walk reads it again itself.
void CReadAhead::m_sub_RetryShortOfDescriptors(CReadSlot& slot) {
    m_sub_QuietReads();
    m_pClient->m_sub_Fill(slot, m_sub_WalkRoom());
}

// Files no one has taken on are forgotten: the walk claims them all at once.
// Those being read are waited for, since their readers still use the slots
// and the client.
void CReadAhead::m_sub_DropQueued() {
    long long unread = m_ring.ClaimAll();
    long long queued = m_ring.Claimed();
    m_bRefused = true;
    for (long long file = m_ring.Oldest(); file < unread; ++file) {
        if (!m_ring.Filled(file)) m_ring.SleepUntilFilled(file);
    }
    m_ring.ForgetUpTo(queued);
}

void CReadAhead::RunReader(void* readAhead, int self) {
    static_cast<CReadAhead*>(readAhead)->m_sub_ReaderLoop(self);
}

// Reader number `self` works while fewer readers than it should work, and
// sleeps while no file waits or it should not work.
void CReadAhead::m_sub_ReaderLoop(int self) {
    CReadRoom& room = m_rooms[self];
    while (!m_pool.Stopping()) {
        long long file = self < m_sub_Working() ? m_ring.Claim() : -1;
        if (file >= 0) {
            m_sub_WakeReaders(false);
            m_sub_Fill(file, room);
            continue;
        }
        if (m_sub_SpinForWork(self)) continue;
        // A reader that should no longer work leaves the files waiting to
        // one that should.
        m_sub_WakeReaders(true);
        m_pool.Sleep(self, [this, self] { return self < m_sub_Working() && m_ring.AnyWaiting(); });
    }
}

// While one reader works, it waits a little for the walk's next file before
// it sleeps; true when a file came.
bool CReadAhead::m_sub_SpinForWork(int self) {
    if (self != 0 || m_sub_Working() != 1) return false;
    auto work = [this] { return m_pool.Stopping() || m_ring.Waiting() > 0; };
    return SpinUntil(work, m_pacing.SpinTicks()) && !m_pool.Stopping();
}

CReadAhead& SharedReadAhead() {
    static CReadAhead readAhead;
    return readAhead;
}
