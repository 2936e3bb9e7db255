// The reader threads and what each does; who writes what: ReaderPool.h.
#include "search/readahead/ReaderPool.h"

#include <sorahiki/testhooks.h>

#include "search/Limits.h"

namespace {

int AtMost(int count, int limit) {
    return limit >= 0 && limit < count ? limit : count;
}

}  // namespace

// The readers that may work are those started, within a test's limit.
int CReaderPool::Working() const {
    int usable = AtMost(m_nStarted.load(std::memory_order_relaxed), testhooks::ReaderLimit());
    return m_pacing.Working(usable);
}

bool CReaderPool::m_sub_WakeWanted(int working) const {
    return CReadPacing::ShouldWake(m_ring.Waiting(), m_nAwake.load(), working);
}

void CReaderPool::WakeIfWanted(int working) {
    if (!m_sub_WakeWanted(working)) return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_wakes.notify_one();
}

// A new reader counts as awake from before its thread runs.
void CReaderPool::StartUpTo(int count) {
    count = AtMost(count < kMaxReaders ? count : kMaxReaders, testhooks::ReaderLimit());
    for (int self = m_nStarted.load(std::memory_order_relaxed); !m_bRefused && self < count;
         ++self) {
        Reader& reader = m_readers[self];
        reader.pool = this;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_nAwake.fetch_add(1);
        }
        if (!reader.thread.Start(Run, &reader, limits::kThreadStackBytes)) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_nAwake.fetch_sub(1);
            m_bRefused = true;
            return;
        }
        m_nStarted.store(self + 1, std::memory_order_relaxed);
    }
}

void CReaderPool::m_sub_Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStopping = true;
    }
    m_wakes.notify_all();
    int started = m_nStarted.load(std::memory_order_relaxed);
    for (int i = 0; i < started; ++i) m_readers[i].thread.Join();
}

void CReaderPool::Run(void* reader) {
    auto& self = *static_cast<Reader*>(reader);
    self.pool->m_sub_Read(self.room);
}

// A reader works while the wake rule keeps it awake; each file it claims may
// wake one more reader, so that as many work as files wait. It returns when
// the pool stops (then no walk runs, and no file waits).
void CReaderPool::m_sub_Read(CReadRoom& room) {
    for (;;) {
        int working = Working();
        if (CReadPacing::StaysAwake(m_nAwake.load(std::memory_order_relaxed), working)) {
            long long file = m_ring.Claim();
            if (file >= 0) {
                m_sub_FillOrLeave(file, working, room);
                continue;
            }
            if (m_sub_SpinForWork(working)) continue;
        }
        if (!m_sub_Sleep()) return;
    }
}

// Descriptors may have run short since the look at the count: the file is
// then left to the walk, which reads it once no read is in flight. Looked at
// after the claim, sequentially consistent, as the walk looks at the claims
// after it notes the shortage.
void CReaderPool::m_sub_FillOrLeave(long long file, int working, CReadRoom& room) {
    if (m_pacing.ShortOfDescriptors()) {
        m_ring.MarkFilled(file, true);
        return;
    }
    WakeIfWanted(working);
    m_filler.m_sub_FillClaimed(file, room);
}

// The one reader that works waits a little for the walk's next file before it
// sleeps; true when a file came.
bool CReaderPool::m_sub_SpinForWork(int working) {
    if (!CReadPacing::Spins(working)) return false;
    return SpinUntil([this] { return m_ring.Waiting() > 0; }, m_pacing.SpinTicks());
}

// Sleeps until the wake rule wants one more reader awake, or the pool stops
// (false). The reader counts itself asleep before it looks, as a waker
// counts the readers awake after it queues a file.
bool CReaderPool::m_sub_Sleep() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_nAwake.fetch_sub(1);
    while (!m_bStopping && !m_sub_WakeWanted(Working())) m_wakes.wait(lock);
    if (m_bStopping) return false;
    m_nAwake.fetch_add(1);
    return true;
}
