// Listed paths (their text, then the keys of their marked parts after the
// NUL: listed::PathSize bytes), each held once in blocks that never move and
// found by its bytes, under a number its owner gives. No lock of its own: the
// session store, which owns its tables, uses each under its lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace store {

class CPathTable {
  public:
    // The number `path` was added under, or 0.
    std::uint32_t Find(const char* path, std::size_t size) const;
    // Holds a copy of `path` under `number` (not 0): the copy, or nullptr
    // when no memory can be had.
    const char* Add(const char* path, std::size_t size, std::uint32_t number);
    // The bytes held, or that adding a path of `size` bytes would hold.
    std::size_t Bytes() const;
    std::size_t BytesAfter(std::size_t size) const;
    void Clear();

  private:
    struct Slot {
        const char* path = nullptr;
        std::uint32_t size = 0;
        std::uint32_t number = 0;
    };
    static constexpr std::size_t kBlock = 64 * 1024;

    std::size_t SlotOf(const char* path, std::size_t size) const;
    bool Grow();
    const char* Copy(const char* path, std::size_t size);

    std::vector<Slot> m_slots;  // open addressing, at most half full
    std::size_t m_count = 0;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::size_t m_used = kBlock;  // bytes taken of the last block
};

}  // namespace store
