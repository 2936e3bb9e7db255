// The folders one search has walked, known by what identifies them however
// they were reached, so that a folder reached again through a link is passed
// over. Written and read by the walk's thread alone.
//
// An open-addressing table kept at most half full. Its first slots live in
// the object, so that an ordinary search allocates nothing; a walk that meets
// more folders moves the table to the heap at twice the size, as often as it
// needs, and later searches keep using the larger table. Each slot carries
// the number of the search that filled it, so the table needs no clearing
// between searches.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>

#include "search/Limits.h"
#include "search/walk/FolderListing.h"

class CWalkedFolders {
  public:
    // Begins a search: the folders of earlier searches no longer count.
    void Begin();

    enum class Marked { kNew, kAlready, kNoRoom };
    // Records `id` as walked in this search: kAlready when it was walked
    // already, kNoRoom when it is new but the table could not grow to hold
    // it (the folder is not remembered).
    Marked Mark(const FolderId& id);

  private:
    static constexpr std::size_t kInlineSlots = limits::kWalkedFolderSlots;

    struct Slot {
        FolderId id;
        DWORD search;  // the search that filled the slot; 0 for none
    };

    Slot* Slots() { return grown != nullptr ? grown.get() : inlineSlots; }
    // The slot that holds `id` in this search, or the free slot where it
    // belongs.
    Slot& Find(Slot* slots, const FolderId& id) const;
    bool Grow();

    Slot inlineSlots[kInlineSlots];
    std::unique_ptr<Slot[]> grown;
    std::size_t slotCount = kInlineSlots;
    std::size_t count = 0;  // folders of this search in the table
    DWORD search = 0;
};
