// The table of held paths (PathTable.h).
#include "search/store/PathTable.h"

#include <cstring>
#include <new>

namespace store {

namespace {

std::uint64_t HashOf(const char* path, std::size_t size) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ static_cast<unsigned char>(path[i])) * 0x100000001B3ull;
    }
    return hash ^ (hash >> 29);
}

}  // namespace

// The slot that holds `path`, or the free slot where it would go.
std::size_t CPathTable::SlotOf(const char* path, std::size_t size) const {
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = HashOf(path, size) & mask;; slot = (slot + 1) & mask) {
        const Slot& here = m_slots[slot];
        if (here.number == 0) return slot;
        if (here.size == size && std::memcmp(here.path, path, size) == 0) return slot;
    }
}

std::uint32_t CPathTable::Find(const char* path, std::size_t size) const {
    if (m_slots.empty()) return 0;
    return m_slots[SlotOf(path, size)].number;
}

bool CPathTable::Grow() {
    if ((m_count + 1) * 2 <= m_slots.size()) return true;
    std::vector<Slot> old;
    try {
        old.assign(m_slots.empty() ? 1024 : m_slots.size() * 2, Slot{});
    } catch (const std::bad_alloc&) {
        return false;
    }
    old.swap(m_slots);
    for (const Slot& slot : old) {
        if (slot.number != 0) m_slots[SlotOf(slot.path, slot.size)] = slot;
    }
    return true;
}

const char* CPathTable::Copy(const char* path, std::size_t size) {
    if (m_used + size > kBlock) {
        std::unique_ptr<char[]> block(new (std::nothrow) char[size > kBlock ? size : kBlock]);
        if (block == nullptr) return nullptr;
        try {
            m_blocks.push_back(std::move(block));
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        m_used = 0;
    }
    char* copy = m_blocks.back().get() + m_used;
    std::memcpy(copy, path, size);
    m_used += size;
    return copy;
}

const char* CPathTable::Add(const char* path, std::size_t size, std::uint32_t number) {
    if (!Grow()) return nullptr;
    const char* copy = Copy(path, size);
    if (copy == nullptr) return nullptr;
    m_slots[SlotOf(path, size)] = Slot{copy, static_cast<std::uint32_t>(size), number};
    ++m_count;
    return copy;
}

std::size_t CPathTable::Bytes() const {
    return m_blocks.size() * kBlock + m_slots.size() * sizeof(Slot);
}

std::size_t CPathTable::BytesAfter(std::size_t size) const {
    const std::size_t slots = (m_count + 1) * 2 > m_slots.size()
                                  ? (m_slots.empty() ? 1024 : m_slots.size() * 2)
                                  : m_slots.size();
    const std::size_t blocks = m_blocks.size() + (m_used + size > kBlock ? 1 : 0);
    return blocks * kBlock + slots * sizeof(Slot);
}

void CPathTable::Clear() {
    m_slots.clear();
    m_count = 0;
    m_blocks.clear();
    m_used = kBlock;
}

}  // namespace store
