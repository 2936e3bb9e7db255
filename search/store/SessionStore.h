// What the searches of one session have learned of their folder: for each
// file read whole and without fault, the state it was read in (size, times,
// volume and index, filestate.h) and the pairs of characters of its gathered
// text (PairSet.h). A later search asks the store before it reads a file: a
// file whose state has not changed and whose pairs leave out a word is
// answered without a read; any other file is read as before, and what it
// yields is kept. Exact: the store only ever says "surely not", and only of
// a file in the very state it was read in.
//
// Threads and hand-off: one search at a time uses the store. Its searching
// thread (the walk) calls Begin before the read-ahead starts, and alone
// calls Keep, as it takes each file back in order; the reader threads of
// that search call Ask meanwhile. Ask and Keep take the store's lock, so a
// reader never sees an entry half written. Between searches the owner (the
// search run of the window, or a benchmark) may call anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include <sorahiki/filestate.h>

#include "search/Limits.h"
#include "search/SearchOptions.h"
#include "search/store/PairSet.h"

namespace store {

using filestate::FileState;

class CSessionStore {
  public:
    // The share of physical memory a store keeps at most by default.
    static constexpr unsigned kShareOfMemory = 16;
    // A file changed this close to the start of a search (in 100 ns steps:
    // two seconds) is not kept: a time stamp coarser than the writes could
    // hide a second write of the same size.
    static constexpr unsigned long long kRecentTicks = 20'000'000;

    // A store that keeps at most `budgetBytes` (0: kShareOfMemory of the
    // physical memory), and none of a file changed `recentTicks` or less
    // before a search began.
    explicit CSessionStore(std::size_t budgetBytes = 0,
                           unsigned long long recentTicks = kRecentTicks);

    enum class Answer {
        kUnknown,    // not kept in this state: read it
        kSurelyNot,  // kept, and a word is surely not in its text
        kMayHold,    // kept, and every word may be there: read it
    };

    // Called on the searching thread as a search begins: a store made for
    // another folder or other options is emptied first. False when the
    // search may not use it: with any option on the verdict rests on more
    // than the pairs of the first text, and a search reads as before.
    bool Begin(const char* folder, const SearchOptions& options);
    // What the store knows of the file in `state` against `words`.
    Answer Ask(const FileState& state, const char* const* words, int count) const;
    // Whether a file in `state` may be kept from this search: false when it
    // changed too close to the search's start.
    bool Settled(const FileState& state) const;
    // Keeps `pairs` for the file in `state`, replacing what was kept of the
    // same file; past the budget, nothing is kept.
    void Keep(const FileState& state, const CPairSet& pairs);
    // Forgets every file.
    void Clear();

    // The files kept, and the bytes the store holds for them.
    std::size_t Files() const;
    std::size_t BytesHeld() const;
    std::size_t Budget() const { return m_budget; }

  private:
    struct Entry {
        FileState state;
        CPairSet pairs;
    };
    static constexpr std::size_t kChunk = 1024;  // entries allocated at once

    Entry* Find(const FileState& state) const;
    Entry* NewEntry();
    bool GrowTable();
    void Place(std::uint32_t entry);
    std::size_t Slot(const FileState& state) const;

    const std::size_t m_budget;
    const unsigned long long m_recentTicks;
    mutable std::mutex m_lock;
    std::vector<std::unique_ptr<Entry[]>> m_chunks;
    std::size_t m_entries = 0;
    // Open addressing by volume and index: entry numbers plus one, 0 free.
    std::vector<std::uint32_t> m_table;
    // What the entries were made for; m_searchStart is the clock when the
    // last search began.
    char m_folder[limits::kPathBytes] = {};
    SearchOptions m_options{};
    unsigned long long m_searchStart = 0;
};

}  // namespace store
