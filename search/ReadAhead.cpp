// The read-ahead: a ring of slots between the walk and the reader threads.
//
// Files are numbered in queue order; file n lives in slot n % the ring's size,
// counted from the file where the ring took that size (see m_sub_Widen). The walk
// writes a file's path, then counts it queued; a thread takes a file on by
// moving the claimed count past it, fills the slot and marks it filled with a
// release store, which the walk reads with an acquire load. The walk hands
// files back strictly in number order, and a slot is queued again only after
// its file was handed back, so no slot is ever written by two threads at
// once. A flowing file costs a few atomic operations; the mutex is taken only
// to sleep and to wake, with each side changing its own flag before it looks
// at the other's, so that no wake is lost.
#include "search/ReadAhead.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include <sorahiki/listing.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// A read that takes longer than this waited for the disk. A file from the
// cache takes under 10 microseconds; one from a disk that answers fast, as a
// virtual machine's does from its host's cache, 40 to 150 one at a time. Set
// above that, a walk that began with one reader took every file as quick and
// kept one reader, one read in flight, for the whole cold search.
constexpr long long kSlowReadMicroseconds = 30;
// While reads are quick, one read in this many is timed: reading the clock
// costs about as much as the rest of the bookkeeping of a file.
constexpr long long kTimedEvery = 8;
// Files that wake a sleeping reader while reads are quick.
constexpr long long kWakeBatch = 16;
// The score of slow reads (see m_sub_FillClaimed).
constexpr int kSlowWeight = 8;
constexpr int kManyReaders = 2 * kSlowWeight;
constexpr int kMaxScore = 64;

// While reads are quick, a thread that finds nothing to do waits this long
// before it sleeps: the walk's next file or a reader's slot is usually a few
// microseconds away, and a sleep and a wake cost more than that.
constexpr long long kSpinMicroseconds = 50;

long long Ticks() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void CpuRelax() {
#if defined(__SSE2__)
    _mm_pause();
#endif
}

// Waits, without sleeping, until `ready` holds or `ticks` have passed;
// returns `ready()`.
template <typename Ready>
bool SpinUntil(Ready ready, long long ticks) {
    long long deadline = Ticks() + ticks;
    for (;;) {
        for (int i = 0; i < 16; ++i) {
            if (ready()) return true;
            CpuRelax();
        }
        if (Ticks() > deadline) return ready();
    }
}

}  // namespace

CReadAhead::~CReadAhead() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bQuit = true;
    }
    m_cvWork.notify_all();
    for (int i = 0; i < m_nThreads; ++i) m_threads[i].join();
}

void CReadAhead::m_sub_SetReaders(int nReaders) {
    m_nWanted = nReaders < 0 ? 0 : nReaders > kMaxReaders ? kMaxReaders : nReaders;
}

// Threads are started when first needed and kept: at most `count`, as many
// as are wanted. A thread that cannot be started leaves the work to those
// that could, or to the walk itself.
void CReadAhead::m_sub_StartReaders(int count) {
    int wanted = count < m_nWanted ? count : m_nWanted.load();
    while (!m_bStartFailed && m_nThreads < wanted) {
        try {
            int self = m_nThreads;
            m_threads[self] = std::thread([this, self] { m_sub_ReaderLoop(self); });
        } catch (const std::system_error&) {
            m_bStartFailed = true;
            return;
        }
        ++m_nThreads;
    }
}

// A walk from the cache needs one reader, so a search of a few files does
// not pay for starting 32 threads; the others start once reads wait.
void CReadAhead::m_sub_StartReadersWhenSlow() {
    if (m_nActive.load(std::memory_order_relaxed) > m_nThreads.load(std::memory_order_relaxed)) {
        m_sub_StartReaders(kMaxReaders);
    }
}

void CReadAhead::m_sub_Begin(CReadAheadClient& client) {
    m_sub_StartReaders(m_nActive);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    m_nSlowTicks = frequency.QuadPart * kSlowReadMicroseconds / 1000000;
    m_nSpinTicks = frequency.QuadPart * kSpinMicroseconds / 1000000;
    m_pClient = &client;
    m_bRefused = false;
    m_nRingStart = m_nQueued.load();
    m_nRingSlots = kQuickSlots;
}

int CReadAhead::m_sub_ActiveReaders() const {
    int active = m_nActive;
    int wanted = m_nWanted;
    return active < wanted ? active : wanted;
}

// Takes the next queued file on: its number, or -1 when none waits.
long long CReadAhead::m_sub_Claim() {
    long long claimed = m_nClaimed.load();
    while (claimed < m_nQueued.load()) {
        if (m_nClaimed.compare_exchange_weak(claimed, claimed + 1)) return claimed;
    }
    return -1;
}

// While reads are quick, the one reader is woken only when a batch of files
// waits, so that it does not sleep and wake again for every file while the
// walk lists a folder; `urgent` drops that wait, for a walk that waits itself.
// When reads wait for the disk, one more reader is woken while more files
// wait than readers are awake to take them. Readers beyond the number wanted
// sleep on the same condition, so then all are woken, lest the one woken be
// such a reader. A reader woken but not yet running counts as awake, so that
// it is woken once, not again for every file queued meanwhile.
bool CReadAhead::m_sub_ShouldWake(bool urgent) const {
    if (m_nSleeping.load() == 0) return false;
    // A walk that waits itself does not count readers woken and not yet
    // running: were such a count ever ahead of the wakes that arrive, the
    // walk would sleep with every reader asleep too. A wake too many costs
    // only a reader that looks and sleeps again.
    int awake = m_sub_Awake() + (urgent ? 0 : m_nWaking.load());
    int active = m_sub_ActiveReaders();
    long long waiting = m_nQueued.load() - m_nClaimed.load();
    if (awake >= active || waiting <= 0) return false;
    if (active == 1 && !urgent && waiting < kWakeBatch) return false;
    return active == 1 || waiting > awake;
}

// Decided again under the mutex, where the counts of sleeping and waking
// readers hold still: a reader counted as waking is sure to come out of its
// wait and count itself off.
void CReadAhead::m_sub_WakeReaders(bool urgent) {
    if (!m_sub_ShouldWake(urgent)) return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sub_WakeReadersLocked(urgent);
}

void CReadAhead::m_sub_WakeReadersLocked(bool urgent) {
    if (!m_sub_ShouldWake(urgent)) return;
    ++m_nWaking;
    if (m_nWanted < m_nThreads) {
        m_cvWork.notify_all();
    } else {
        m_cvWork.notify_one();
    }
}

bool CReadAhead::m_sub_Push(const char* pszPath) {
    if (!m_bRefused && m_nRingSlots.load() < kSlots && m_sub_ReadsWait()) m_sub_Widen();
    if (m_bRefused) return false;
    if (m_nQueued.load() - m_nTaken == m_nRingSlots.load() && !m_sub_TakeOldest()) return false;
    CReadSlot& data = m_sub_SlotOf(m_nQueued.load()).data;
    if (!listed::CopyPath(pszPath, data.szPath, sizeof data.szPath)) {
        size_t length = std::min(std::strlen(pszPath), sizeof data.szPath - 1);
        std::memcpy(data.szPath, pszPath, length);
        data.szPath[length] = '\0';
    }
    m_nQueued.fetch_add(1);
    m_sub_StartReadersWhenSlow();
    m_sub_WakeReaders(false);
    return true;
}

// Once reads wait for the disk, the walk uses every slot from then on. The
// files queued are handed out first (a few milliseconds, once per walk), so
// that the ring is empty when the slots are counted anew.
void CReadAhead::m_sub_Widen() {
    m_sub_Drain();
    m_nRingStart = m_nQueued.load();
    m_nRingSlots = kSlots;
}

void CReadAhead::m_sub_Drain() {
    while (m_nTaken < m_nQueued.load()) {
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
    Slot slot = m_sub_SlotOf(m_nTaken);
    if (!slot.bFilled.load(std::memory_order_acquire)) m_sub_WaitForFilled(slot, true);
    bool more = m_pClient.load()->m_sub_Take(slot.data);
    slot.bFilled.store(false, std::memory_order_relaxed);
    ++m_nTaken;
    if (!more) m_sub_DropQueued();
    return more;
}

// The walk waits for file m_nTaken in `slot`, and is woken for that file
// alone: woken for every file filled, it would sleep again at once for most.
// While the slot is not filled, the walk reads the next queued file itself
// rather than wait, as long as reads are quick and `help` allows: on a warm
// cache that keeps this core busy too. When reads wait for the disk, the walk
// had better stay free to queue files as soon as slots come back.
void CReadAhead::m_sub_WaitForFilled(const Slot& slot, bool help) {
    while (!slot.bFilled.load(std::memory_order_acquire)) {
        if (help && (m_sub_ActiveReaders() <= 1)) {
            long long index = m_sub_Claim();
            if (index >= 0) {
                m_sub_FillClaimed(index);
                continue;
            }
            auto filled = [&slot] { return slot.bFilled.load(std::memory_order_acquire); };
            if (SpinUntil(filled, m_nSpinTicks)) break;
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        m_sub_WakeReadersLocked(true);
        m_nWalkWaitsFor = m_nTaken;
        if (!slot.bFilled.load()) m_cvFilled.wait(lock);
        m_nWalkWaitsFor = -1;
    }
}

// Fills the claimed file's slot, and notes whether the read had to wait for
// the disk: every read is timed once one was slow, else one in kTimedEvery.
// A slow read adds kSlowWeight to a score that each quick read lowers by
// one: while the score stands at kManyReaders or above, every reader works.
// So a run of slow reads, as from a cold disk, wakes them at once, while a
// read now and then held up by other programs does not.
void CReadAhead::m_sub_FillClaimed(long long nIndex) {
    Slot slot = m_sub_SlotOf(nIndex);
    int score = m_nSlowScore.load(std::memory_order_relaxed);
    bool timed = score > 0 || nIndex % kTimedEvery == 0;
    long long start = timed ? Ticks() : 0;
    m_pClient.load()->m_sub_Fill(slot.data);
    long long ticks = timed ? Ticks() - start : 0;
    slot.bFilled.store(true);
    if (m_nWalkWaitsFor.load() == nIndex) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cvFilled.notify_one();
    }
    if (!timed) return;
    int next = ticks > m_nSlowTicks
                   ? (score + kSlowWeight < kMaxScore ? score + kSlowWeight : kMaxScore)
                   : (score > 0 ? score - 1 : 0);
    if (next == score) return;
    m_nSlowScore.store(next, std::memory_order_relaxed);
    int active = next >= kManyReaders ? kMaxReaders : 1;
    if (m_nActive.exchange(active) < active) m_sub_WakeReaders(false);
}

// Files no one has taken on are forgotten: the walk claims them all at once.
// Those being read are waited for, since their readers still use the slots
// and the client.
void CReadAhead::m_sub_DropQueued() {
    long long queued = m_nQueued.load();
    long long claimed = m_nClaimed.load();
    while (claimed < queued && !m_nClaimed.compare_exchange_weak(claimed, queued)) {
    }
    m_bRefused = true;
    for (; m_nTaken < claimed; ++m_nTaken) {
        Slot slot = m_sub_SlotOf(m_nTaken);
        m_sub_WaitForFilled(slot, false);
        slot.bFilled.store(false, std::memory_order_relaxed);
    }
    m_nTaken = queued;
}

// Reader number `self` works while fewer readers are wanted than it, and
// sleeps while no file waits or more readers are awake than should be.
void CReadAhead::m_sub_ReaderLoop(int self) {
    for (;;) {
        long long index = -1;
        if (self < m_nWanted && m_sub_Awake() <= m_sub_ActiveReaders()) index = m_sub_Claim();
        if (index < 0) {
            if (m_sub_SpinForWork(self)) continue;
            if (!m_sub_SleepUntilNeeded(self)) return;
            continue;
        }
        m_sub_WakeReaders(false);
        m_sub_FillClaimed(index);
    }
}

// While one reader works, it waits a little for the walk's next file before
// it sleeps; true when a file came. At the end it leaves the quitting to the
// sleep.
bool CReadAhead::m_sub_SpinForWork(int self) {
    if (self != 0 || m_sub_ActiveReaders() != 1) return false;
    auto work = [this] { return m_bQuit.load() || m_nClaimed.load() < m_nQueued.load(); };
    return SpinUntil(work, m_nSpinTicks) && !m_bQuit.load();
}

// Sleeps until this reader is wanted, a file waits and fewer readers are
// awake than should be; false when the read-ahead ends. Deciding under the
// mutex keeps two readers that both find too many awake from both sleeping.
bool CReadAhead::m_sub_SleepUntilNeeded(int self) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_nSleeping.fetch_add(1);
    while (!m_bQuit && !(self < m_nWanted && m_nClaimed.load() < m_nQueued.load() &&
                         m_sub_Awake() < m_sub_ActiveReaders())) {
        m_cvWork.wait(lock);
        if (m_nWaking > 0) --m_nWaking;
    }
    m_nSleeping.fetch_sub(1);
    return !m_bQuit;
}

CReadAhead& SharedReadAhead() {
    static CReadAhead readAhead;
    return readAhead;
}
