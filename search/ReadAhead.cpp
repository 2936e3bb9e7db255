// The read-ahead: a ring of slots between the walk and the reader threads.
//
// Files are numbered in queue order; file n lives in slot n % kSlots. Readers
// claim files in number order under the mutex, fill them outside it and mark
// each filled with a release store, which the walk reads with an acquire load.
// The walk hands files back strictly in number order, and a slot is queued
// again only after its file was handed back, so no slot is ever written by two
// threads at once.
#include "search/ReadAhead.h"

#include <cstring>
#include <system_error>

CReadAhead::~CReadAhead() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bQuit = true;
    }
    m_cvWork.notify_all();
    for (int i = 0; i < m_nThreads; ++i) m_threads[i].join();
}

void CReadAhead::m_sub_SetReaders(int nReaders) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nWanted = nReaders < 0 ? 0 : nReaders > kMaxReaders ? kMaxReaders : nReaders;
}

// Threads are started once and kept; a thread that cannot be started leaves
// the work to those that could, or to the walk itself.
void CReadAhead::m_sub_StartReaders() {
    int wanted;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        wanted = m_nWanted;
    }
    while (m_nThreads < wanted) {
        try {
            int self = m_nThreads;
            m_threads[m_nThreads] = std::thread([this, self] { m_sub_ReaderLoop(self); });
        } catch (const std::system_error&) {
            return;
        }
        ++m_nThreads;
    }
}

namespace {

// A read that takes longer than this waited for the disk.
constexpr long long kSlowReadMicroseconds = 150;
// Files that wake a sleeping reader while reads are quick.
constexpr long long kWakeBatch = CReadAhead::kSlots / 4;

}  // namespace

void CReadAhead::m_sub_Begin(CReadAheadClient& client) {
    m_sub_StartReaders();
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nSlowTicks = frequency.QuadPart * kSlowReadMicroseconds / 1000000;
    m_pClient = &client;
    m_bRefused = false;
}

// While reads are quick, the one reader is woken only when a batch of files
// waits, so that it does not sleep and wake again for every file while the
// walk lists a folder; `urgent` drops that wait, for a walk that waits itself.
// When reads wait for the disk, one more reader is woken while more files
// wait than readers are awake to take them. Readers beyond the number wanted
// sleep on the same condition, so then all are woken, lest the one woken be
// such a reader. Called with the mutex held.
void CReadAhead::m_sub_WakeReaders(bool urgent) {
    int awake = m_sub_Awake();
    int active = m_nActive < m_nWanted ? m_nActive : m_nWanted;
    long long waiting = m_nQueued - m_nClaimed;
    if (m_nSleeping == 0 || awake >= active || waiting == 0) return;
    if (active == 1 && !urgent && waiting < kWakeBatch) return;
    if (active > 1 && waiting <= awake) return;
    if (m_nWanted < m_nThreads) {
        m_cvWork.notify_all();
    } else {
        m_cvWork.notify_one();
    }
}

// Called with the mutex held after each read.
void CReadAhead::m_sub_NoteReadTime(long long nTicks) {
    if (nTicks > m_nSlowTicks) {
        m_nActive = kMaxReaders;
        m_nQuickReads = 0;
    } else if (++m_nQuickReads >= kSlots) {
        m_nActive = 1;
    }
}

bool CReadAhead::m_sub_Push(const char* pszPath) {
    if (m_bRefused) return false;
    if (m_nQueued - m_nTaken == kSlots && !m_sub_TakeOldest()) return false;
    CReadSlot& data = m_slots[m_nQueued % kSlots].data;
    size_t length = std::strlen(pszPath);
    if (length >= sizeof data.szPath) length = sizeof data.szPath - 1;
    std::memcpy(data.szPath, pszPath, length);
    data.szPath[length] = '\0';
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_nQueued;
    m_sub_WakeReaders(false);
    return true;
}

void CReadAhead::m_sub_End() {
    while (m_nTaken < m_nQueued) {
        if (!m_sub_TakeOldest()) break;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pClient = nullptr;
}

// Hands the oldest queued file to the client. When the client refuses it, the
// files queued after it are dropped.
bool CReadAhead::m_sub_TakeOldest() {
    Slot& slot = m_slots[m_nTaken % kSlots];
    if (!slot.bFilled.load(std::memory_order_acquire)) m_sub_WaitForOldest();
    bool more = m_pClient->m_sub_Take(slot.data);
    slot.bFilled.store(false, std::memory_order_relaxed);
    ++m_nTaken;
    if (!more) m_sub_DropQueued();
    return more;
}

// While the oldest file is not read, the walk reads the next unclaimed file
// itself rather than wait, as long as reads are quick: on a warm cache that
// keeps this core busy too. When reads wait for the disk, the walk had better
// stay free to queue files as soon as slots come back.
void CReadAhead::m_sub_WaitForOldest() {
    Slot& oldest = m_slots[m_nTaken % kSlots];
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!oldest.bFilled.load(std::memory_order_acquire)) {
        if (m_nClaimed < m_nQueued && (m_nActive == 1 || m_nWanted == 0)) {
            long long index = m_nClaimed++;
            lock.unlock();
            long long ticks = m_sub_FillClaimed(index);
            lock.lock();
            m_sub_NoteReadTime(ticks);
            continue;
        }
        m_sub_WakeReaders(true);
        m_bWalkWaits = true;
        m_cvFilled.wait(lock);
        m_bWalkWaits = false;
    }
}

// Fills the claimed file's slot; returns how long that took, in ticks.
long long CReadAhead::m_sub_FillClaimed(long long nIndex) {
    Slot& slot = m_slots[nIndex % kSlots];
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    m_pClient->m_sub_Fill(slot.data);
    QueryPerformanceCounter(&end);
    slot.bFilled.store(true, std::memory_order_release);
    return end.QuadPart - start.QuadPart;
}

// Files no reader has claimed are forgotten; those being read are waited for,
// since their readers still use the slots and the client.
void CReadAhead::m_sub_DropQueued() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_nQueued = m_nClaimed;
    m_bRefused = true;
    for (; m_nTaken < m_nQueued; ++m_nTaken) {
        Slot& slot = m_slots[m_nTaken % kSlots];
        while (!slot.bFilled.load(std::memory_order_acquire)) {
            m_bWalkWaits = true;
            m_cvFilled.wait(lock);
            m_bWalkWaits = false;
        }
        slot.bFilled.store(false, std::memory_order_relaxed);
    }
}

// Reader number `self` works while fewer readers are wanted than it, and
// goes to sleep when no file waits or more readers are awake than should be.
// A reader that takes a file wakes the next one when more files wait.
void CReadAhead::m_sub_ReaderLoop(int self) {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        while (!m_bQuit && (m_nClaimed == m_nQueued || self >= m_nWanted ||
                            m_sub_Awake() > (m_nActive < m_nWanted ? m_nActive : m_nWanted))) {
            ++m_nSleeping;
            m_cvWork.wait(lock);
            --m_nSleeping;
        }
        if (m_bQuit) return;
        long long index = m_nClaimed++;
        m_sub_WakeReaders(false);
        lock.unlock();
        long long ticks = m_sub_FillClaimed(index);
        lock.lock();
        m_sub_NoteReadTime(ticks);
        if (m_bWalkWaits) m_cvFilled.notify_one();
    }
}

CReadAhead& SharedReadAhead() {
    static CReadAhead readAhead;
    return readAhead;
}
