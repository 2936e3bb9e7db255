// The session store (SessionStore.h): entries in chunks that are never moved,
// found through a table by volume and index.
#include "search/store/SessionStore.h"

#include <cstring>
#include <new>

namespace store {

namespace {

std::size_t DefaultBudget() {
    const unsigned long long physical = filestate::PhysicalMemoryBytes();
    const unsigned long long share = physical / CSessionStore::kShareOfMemory;
    // A system that does not tell gets a store of 64 MB.
    return share == 0 ? std::size_t{64} << 20 : static_cast<std::size_t>(share);
}

std::uint64_t Mix(std::uint64_t x) {
    x ^= x >> 33;
    x *= 0xFF51AFD7ED558CCDull;
    x ^= x >> 33;
    return x;
}

bool SameFile(const FileState& a, const FileState& b) {
    return a.volume == b.volume && a.index == b.index;
}

}  // namespace

CSessionStore::CSessionStore(std::size_t budgetBytes, unsigned long long recentTicks)
    : m_budget(budgetBytes != 0 ? budgetBytes : DefaultBudget()), m_recentTicks(recentTicks) {}

bool CSessionStore::Begin(const char* folder, const SearchOptions& options) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_searchStart = filestate::FileTimeNow();
    if (options.AnyOn()) return false;
    if (std::strncmp(folder, m_folder, sizeof m_folder) != 0 || !(options == m_options)) {
        m_chunks.clear();
        m_table.clear();
        m_entries = 0;
        std::strncpy(m_folder, folder, sizeof m_folder - 1);
        m_options = options;
    }
    return true;
}

void CSessionStore::Clear() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_chunks.clear();
    m_table.clear();
    m_entries = 0;
}

std::size_t CSessionStore::Slot(const FileState& state) const {
    return static_cast<std::size_t>(Mix(state.index * 31 + state.volume)) & (m_table.size() - 1);
}

CSessionStore::Entry* CSessionStore::Find(const FileState& state) const {
    if (m_table.empty()) return nullptr;
    for (std::size_t slot = Slot(state);; slot = (slot + 1) & (m_table.size() - 1)) {
        const std::uint32_t number = m_table[slot];
        if (number == 0) return nullptr;
        Entry& entry = m_chunks[(number - 1) / kChunk][(number - 1) % kChunk];
        if (SameFile(entry.state, state)) return &entry;
    }
}

CSessionStore::Answer CSessionStore::Ask(const FileState& state, const char* const* words,
                                         int count) const {
    std::lock_guard<std::mutex> hold(m_lock);
    const Entry* entry = Find(state);
    if (entry == nullptr || !(entry->state == state)) return Answer::kUnknown;
    for (int i = 0; i < count; ++i) {
        if (!entry->pairs.MayHold(words[i])) return Answer::kSurelyNot;
    }
    return Answer::kMayHold;
}

bool CSessionStore::Settled(const FileState& state) const {
    std::lock_guard<std::mutex> hold(m_lock);
    const unsigned long long since = m_searchStart - m_recentTicks;
    return state.changeTime < since && state.writeTime < since;
}

void CSessionStore::Place(std::uint32_t number) {
    const Entry& entry = m_chunks[(number - 1) / kChunk][(number - 1) % kChunk];
    std::size_t slot = Slot(entry.state);
    while (m_table[slot] != 0) slot = (slot + 1) & (m_table.size() - 1);
    m_table[slot] = number;
}

// The table is kept at most half full; false when it cannot grow.
bool CSessionStore::GrowTable() {
    if ((m_entries + 1) * 2 <= m_table.size()) return true;
    try {
        m_table.assign(m_table.empty() ? 4096 : m_table.size() * 2, 0);
    } catch (const std::bad_alloc&) {
        m_chunks.clear();
        m_table.clear();
        m_entries = 0;
        return false;
    }
    for (std::size_t number = 1; number <= m_entries; ++number) {
        Place(static_cast<std::uint32_t>(number));
    }
    return true;
}

CSessionStore::Entry* CSessionStore::NewEntry() {
    const std::size_t bytesAfter =
        (m_chunks.size() + (m_entries % kChunk == 0 ? 1 : 0)) * kChunk * sizeof(Entry) +
        m_table.size() * 2 * sizeof(std::uint32_t);
    if (bytesAfter > m_budget || !GrowTable()) return nullptr;
    if (m_entries % kChunk == 0) {
        std::unique_ptr<Entry[]> chunk(new (std::nothrow) Entry[kChunk]);
        if (chunk == nullptr) return nullptr;
        try {
            m_chunks.push_back(std::move(chunk));
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
    ++m_entries;
    return &m_chunks[(m_entries - 1) / kChunk][(m_entries - 1) % kChunk];
}

// Memory that cannot be had leaves the file unkept: the next search reads
// it again, which is always right.
void CSessionStore::Keep(const FileState& state, const CPairSet& pairs) {
    std::lock_guard<std::mutex> hold(m_lock);
    Entry* entry = Find(state);
    if (entry == nullptr) {
        entry = NewEntry();
        if (entry == nullptr) return;
        entry->state = state;
        Place(static_cast<std::uint32_t>(m_entries));
    }
    entry->state = state;
    entry->pairs = pairs;
}

std::size_t CSessionStore::Files() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_entries;
}

std::size_t CSessionStore::BytesHeld() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_chunks.size() * kChunk * sizeof(Entry) + m_table.size() * sizeof(std::uint32_t);
}

}  // namespace store
