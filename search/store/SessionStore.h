// What the searches of one session have learned of their folder, so that a
// later search reads only what changed. For each file, by its listed path:
// the state it was read in (volume, index, size, times, names: filestate.h)
// and the pairs of characters of its gathered text (PairSet.h). For each
// folder: its entries as the walk met them, in listing order, and a watch
// (<sorahiki/folderwatch.h>) that tells when anything in it changes.
//
// A later search walks as before, but a folder whose watch has told of no
// change since it was listed whole is not listed again: its entries are
// taken from the store, and of its files only those the store cannot rule
// out are read (a file whose pairs lack a word is surely no hit). A folder
// that changed, was never listed whole, or has no watch, is listed, and each
// of its files is asked about by its state (one stat, no read): a file kept
// in the very state it has now is read only when every word may stand in it.
// So every answer is the one a walk reading every file would give. A file
// is kept only once read whole without fault, and only when it last changed
// well before the search began (kRecentTicks), so that a time stamp coarser
// than two writes cannot hide the second.
//
// Threads and hand-off: one search at a time uses the store. Its searching
// thread (the walk) calls Begin before the read-ahead starts, and alone calls
// the folder members and Keep, the latter as it takes each file back in
// order; the reader threads of that search call Knows, Ask and Settled
// meanwhile. Every member takes the store's lock, so a reader never sees an
// entry half written. Between searches the owner (the search run of the
// window, or a benchmark) may call anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include <sorahiki/filestate.h>
#include <sorahiki/folderwatch.h>

#include "search/Limits.h"
#include "search/SearchOptions.h"
#include "search/store/PairSet.h"
#include "search/store/PathTable.h"
#include "search/walk/FolderListing.h"

namespace store {

using filestate::FileState;

class CSessionStore {
  public:
    // The share of physical memory a store keeps at most by default.
    static constexpr unsigned kShareOfMemory = 16;
    // Two seconds, in the 100 ns steps of file times.
    static constexpr unsigned long long kRecentTicks = 20'000'000;

    // A store that holds at most `budgetBytes` (0: a kShareOfMemory-th of
    // the physical memory), and keeps no file changed `recentTicks` or less
    // before a search began.
    explicit CSessionStore(std::size_t budgetBytes = 0,
                           unsigned long long recentTicks = kRecentTicks);
    ~CSessionStore();
    CSessionStore(const CSessionStore&) = delete;
    CSessionStore& operator=(const CSessionStore&) = delete;

    enum class Answer {
        kUnknown,    // not kept in this state: read it
        kSurelyNot,  // kept, and a word is surely not in its text
        kMayHold,    // kept, and every word may be there: read it
    };

    // As a search begins, on its thread: a store made for another folder or
    // other options is emptied first, and the folders changed since the
    // last search are taken from the watches. False when the search may not
    // use the store: with any option on the verdict rests on more than the
    // pairs of the first text.
    bool Begin(const char* folder, const SearchOptions& options);

    // Whether a state is kept for the file at `path`.
    bool Knows(const char* path) const;
    // What the store knows of the file at `path`, now in `now`.
    Answer Ask(const char* path, const FileState& now, const char* const* words, int count) const;
    // Whether a file in `state` may be kept from this search.
    bool Settled(const FileState& state) const;
    // Keeps `pairs` for the file at `path`, read in `state`; past the
    // budget, nothing is kept.
    void Keep(const char* path, const FileState& state, const CPairSet& pairs);

    // A folder as the walk met it. CleanFolder: the record of the folder at
    // `path`, listed whole with nothing changed since and still the folder
    // `id`; -1 when it must be listed. StartFolder, before the folder is
    // listed: a record emptied for the listing (-1 when none can be had),
    // to which the walk adds each entry in order; FinishFolder once the
    // listing ended with its last entry.
    int CleanFolder(const char* path, const FolderId& id) const;
    int StartFolder(const char* path, const FolderId& id);
    void AddFile(int folder, const char* path, bool link);
    void AddFolder(int folder, const char* path);
    void FinishFolder(int folder);
    // Leaves the folder to be listed again (an entry it could not hold).
    void Spoil(int folder);

    // The `i`th entry of a clean folder, and what a walk does with it.
    struct Entry {
        const char* path = nullptr;  // nullptr past the last entry
        bool folder = false;
        bool read = false;  // a file that cannot be ruled out: read it
    };
    Entry EntryAt(int folder, int i, const char* const* words, int count) const;

    // Forgets every file and folder.
    void Clear();
    // The files kept, and the bytes the store holds in all.
    std::size_t Files() const;
    std::size_t BytesHeld() const;
    std::size_t Budget() const { return m_budget; }

  private:
    struct File {
        FileState state;
        CPairSet pairs;
        const char* path = nullptr;
        bool known = false;  // state and pairs are of a read
        bool link = false;   // listed as a link: its target may change unseen
    };
    struct Folder {
        const char* path = nullptr;
        FolderId id{};
        std::vector<std::uint32_t> entries;  // file numbers; folders with kFolderBit
        long watch = -1;                     // the number of its watch, when it has one
        bool watched = false;
        bool whole = false;    // listed to its last entry
        bool spoiled = false;  // an entry of the listing could not be held
        bool clean = false;    // watched, listed whole, no change seen since
    };
    static constexpr std::size_t kChunk = 512;  // files allocated at once
    static constexpr std::uint32_t kFolderBit = 0x80000000u;

    File* FindFile(const char* path) const;
    File* FileAt(std::uint32_t number) const {
        return &m_files[(number - 1) / kChunk][(number - 1) % kChunk];
    }
    std::uint32_t FileNumber(const char* path);
    std::uint32_t FolderNumber(const char* path);
    bool Fits(std::size_t more) const;
    std::size_t HeldBytes() const;
    void Watch(Folder& folder, std::uint32_t number);
    void TakeChanges();
    void TakeChange(Folder& folder, const char* name);
    static bool HoldsFile(const Folder& folder, std::uint32_t number);
    void Forget();
    bool RuledOut(const File& file, const char* const* words, int count) const;

    const std::size_t m_budget;
    const unsigned long long m_recentTicks;
    mutable std::mutex m_lock;
    std::vector<std::unique_ptr<File[]>> m_files;
    std::uint32_t m_fileCount = 0;
    CPathTable m_filePaths;
    std::vector<Folder> m_folders;  // folder number n at n - 1
    std::size_t m_folderEntries = 0;
    CPathTable m_folderPaths;
    folderwatch::WatchSet* m_watches = nullptr;
    std::vector<int> m_watchedFolder;  // by watch number: folder number, 0 none
    // What the store was made for, and the clock when the last search began.
    char m_folder[limits::kPathBytes] = {};
    SearchOptions m_options{};
    unsigned long long m_searchStart = 0;
};

}  // namespace store
