// The table of folders walked; the walk's thread alone uses it
// (WalkedFolders.h).
#include "search/walk/WalkedFolders.h"

#include <cstring>
#include <new>

// The first search writes the whole table before a look-up reads it: a page
// read first and written later faults twice, and the second fault stops the
// reader threads' processors to flush their address caches. After 2^32
// searches the marks of old searches could pass for new, so the table is
// cleared then too.
void CWalkedFolders::Begin() {
    count = 0;
    if (++search <= 1) {
        std::memset(inlineSlots, 0, sizeof inlineSlots);
        if (grown != nullptr) std::memset(grown.get(), 0, slotCount * sizeof(Slot));
        search = 1;
    }
}

CWalkedFolders::Marked CWalkedFolders::Mark(const FolderId& id) {
    Slot* slot = &Find(Slots(), id);
    if (slot->search == search) return Marked::kAlready;
    if (2 * (count + 1) > slotCount) {
        if (!Grow()) return Marked::kNoRoom;
        slot = &Find(Slots(), id);
    }
    *slot = Slot{id, search};
    ++count;
    return Marked::kNew;
}

CWalkedFolders::Slot& CWalkedFolders::Find(Slot* slots, const FolderId& id) const {
    unsigned long long key = (static_cast<unsigned long long>(id.indexHigh) << 32 | id.indexLow) ^
                             (static_cast<unsigned long long>(id.volume) << 17);
    key *= 0x9E3779B97F4A7C15ull;
    const std::size_t mask = slotCount - 1;
    for (auto at = static_cast<std::size_t>(key >> 32) & mask;; at = (at + 1) & mask) {
        Slot& slot = slots[at];
        if (slot.search != search || slot.id == id) return slot;
    }
}

// Moves this search's folders to a table twice the size. The new table is
// written whole (zeroed) before use, for the reason Begin() gives.
bool CWalkedFolders::Grow() {
    const std::size_t oldCount = slotCount;
    Slot* old = Slots();
    std::unique_ptr<Slot[]> larger(new (std::nothrow) Slot[2 * oldCount]());
    if (larger == nullptr) return false;
    slotCount = 2 * oldCount;
    for (std::size_t at = 0; at < oldCount; ++at) {
        if (old[at].search == search) Find(larger.get(), old[at].id) = old[at];
    }
    grown = std::move(larger);
    return true;
}
