// The session store (SessionStore.h): files in chunks that never move, found
// by path; folders in a list, found by path; both under one lock.
#include "search/store/SessionStore.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include <sorahiki/listing.h>

namespace store {

namespace {

std::size_t DefaultBudget() {
    const unsigned long long share =
        filestate::PhysicalMemoryBytes() / CSessionStore::kShareOfMemory;
    // A system that does not tell gets a store of 64 MB.
    return share == 0 ? std::size_t{64} << 20 : static_cast<std::size_t>(share);
}

std::size_t SizeOf(const char* path) {
    return listed::PathSize(path);
}

}  // namespace

CSessionStore::CSessionStore(std::size_t budgetBytes, unsigned long long recentTicks)
    : m_budget(budgetBytes != 0 ? budgetBytes : DefaultBudget()), m_recentTicks(recentTicks) {}

CSessionStore::~CSessionStore() {
    folderwatch::Close(m_watches);
}

// Watches are let go of with the folders they were asked for.
void CSessionStore::Forget() {
    m_files.clear();
    m_fileCount = 0;
    m_filePaths.Clear();
    m_folders.clear();
    m_folderEntries = 0;
    m_folderPaths.Clear();
    m_watchedFolder.clear();
    folderwatch::Close(m_watches);
    m_watches = nullptr;
}

void CSessionStore::Clear() {
    std::lock_guard<std::mutex> hold(m_lock);
    Forget();
}

bool CSessionStore::Begin(const char* folder, const SearchOptions& options) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_searchStart = filestate::FileTimeNow();
    if (options.AnyOn()) return false;
    if (std::strncmp(folder, m_folder, sizeof m_folder) != 0 || !(options == m_options)) {
        Forget();
        std::strncpy(m_folder, folder, sizeof m_folder - 1);
        m_options = options;
    }
    if (m_watches == nullptr) m_watches = folderwatch::Open();
    TakeChanges();
    return true;
}

// A folder whose entries a watch tells may have changed is listed again;
// a file the watch names alone is read again where its folder is replayed.
// When the system lost count of changes, or has no watches, every folder is
// listed.
void CSessionStore::TakeChanges() {
    auto changed = [](long number, const char* name, void* context) {
        auto& self = *static_cast<CSessionStore*>(context);
        if (number < 0 || static_cast<std::size_t>(number) >= self.m_watchedFolder.size()) return;
        const int folder = self.m_watchedFolder[static_cast<std::size_t>(number)];
        if (folder > 0) self.TakeChange(self.m_folders[static_cast<std::size_t>(folder) - 1], name);
    };
    if (m_watches != nullptr && folderwatch::TakeChanges(m_watches, changed, this)) return;
    for (Folder& folder : m_folders) folder.clean = false;
}

// A named file that the folder's record holds is forgotten, so that it is
// read again; any other change lists the folder again.
void CSessionStore::TakeChange(Folder& folder, const char* name) {
    try {
        if (name != nullptr) {
            std::string path(folder.path);
            path.append(1, '/').append(name);
            const std::uint32_t number = m_filePaths.Find(path.c_str(), path.size() + 1);
            if (number != 0 && HoldsFile(folder, number)) {
                FileAt(number)->known = false;
                return;
            }
        }
    } catch (const std::bad_alloc&) {
    }
    folder.clean = false;
}

bool CSessionStore::HoldsFile(const Folder& folder, std::uint32_t number) {
    return std::find(folder.entries.begin(), folder.entries.end(), number) != folder.entries.end();
}

CSessionStore::File* CSessionStore::FindFile(const char* path) const {
    const std::uint32_t number = m_filePaths.Find(path, SizeOf(path));
    return number == 0 ? nullptr : FileAt(number);
}

bool CSessionStore::Knows(const char* path) const {
    std::lock_guard<std::mutex> hold(m_lock);
    const File* file = FindFile(path);
    return file != nullptr && file->known;
}

bool CSessionStore::RuledOut(const File& file, const char* const* words, int count) const {
    for (int i = 0; i < count; ++i) {
        if (!file.pairs.MayHold(words[i])) return true;
    }
    return false;
}

CSessionStore::Answer CSessionStore::Ask(const char* path, const FileState& now,
                                         const char* const* words, int count) const {
    std::lock_guard<std::mutex> hold(m_lock);
    const File* file = FindFile(path);
    if (file == nullptr || !file->known || !(file->state == now)) return Answer::kUnknown;
    return RuledOut(*file, words, count) ? Answer::kSurelyNot : Answer::kMayHold;
}

bool CSessionStore::Settled(const FileState& state) const {
    std::lock_guard<std::mutex> hold(m_lock);
    const unsigned long long since = m_searchStart - m_recentTicks;
    return state.changeTime < since && state.writeTime < since;
}

std::size_t CSessionStore::HeldBytes() const {
    return m_files.size() * kChunk * sizeof(File) + m_filePaths.Bytes() +
           m_folders.capacity() * sizeof(Folder) + m_folderEntries * sizeof(std::uint32_t) +
           m_folderPaths.Bytes() + m_watchedFolder.capacity() * sizeof(int);
}

bool CSessionStore::Fits(std::size_t more) const {
    return HeldBytes() + more <= m_budget;
}

// The number of the file at `path`, made when new; 0 past the budget.
std::uint32_t CSessionStore::FileNumber(const char* path) {
    const std::size_t size = SizeOf(path);
    if (const std::uint32_t number = m_filePaths.Find(path, size)) return number;
    const bool newChunk = m_fileCount % kChunk == 0;
    const std::size_t more =
        (newChunk ? kChunk * sizeof(File) : 0) + m_filePaths.BytesAfter(size) - m_filePaths.Bytes();
    if (!Fits(more)) return 0;
    if (newChunk) {
        std::unique_ptr<File[]> chunk(new (std::nothrow) File[kChunk]);
        if (chunk == nullptr) return 0;
        try {
            m_files.push_back(std::move(chunk));
        } catch (const std::bad_alloc&) {
            return 0;
        }
    }
    const std::uint32_t number = m_fileCount + 1;
    const char* held = m_filePaths.Add(path, size, number);
    if (held == nullptr) return 0;
    m_fileCount = number;
    *FileAt(number) = File{};
    FileAt(number)->path = held;
    return number;
}

void CSessionStore::Keep(const char* path, const FileState& state, const CPairSet& pairs) {
    std::lock_guard<std::mutex> hold(m_lock);
    const std::uint32_t number = FileNumber(path);
    if (number == 0) return;
    File& file = *FileAt(number);
    file.state = state;
    file.pairs = pairs;
    file.known = true;
}

std::uint32_t CSessionStore::FolderNumber(const char* path) {
    const std::size_t size = SizeOf(path);
    if (const std::uint32_t number = m_folderPaths.Find(path, size)) return number;
    const std::size_t more =
        m_folderPaths.BytesAfter(size) - m_folderPaths.Bytes() + 2 * sizeof(Folder);
    if (!Fits(more)) return 0;
    try {
        m_folders.emplace_back();
    } catch (const std::bad_alloc&) {
        return 0;
    }
    const auto number = static_cast<std::uint32_t>(m_folders.size());
    const char* held = m_folderPaths.Add(path, size, number);
    if (held == nullptr) {
        m_folders.pop_back();
        return 0;
    }
    m_folders.back().path = held;
    return number;
}

int CSessionStore::CleanFolder(const char* path, const FolderId& id) const {
    std::lock_guard<std::mutex> hold(m_lock);
    const std::uint32_t number = m_folderPaths.Find(path, SizeOf(path));
    if (number == 0) return -1;
    const Folder& folder = m_folders[number - 1];
    return folder.clean && folder.id == id ? static_cast<int>(number) : -1;
}

// A watch that another folder already has (a folder reached by two paths)
// would tell of its changes to one of them only: the second goes unwatched.
// A folder now another than the one watched before lets go of the old watch.
void CSessionStore::Watch(Folder& folder, std::uint32_t number) {
    folder.watched = false;
    const long watch = folderwatch::Add(m_watches, folder.path);
    if (folder.watch >= 0 && folder.watch != watch) {
        int& before = m_watchedFolder[static_cast<std::size_t>(folder.watch)];
        if (before == static_cast<int>(number)) before = 0;
    }
    folder.watch = -1;
    if (watch < 0) return;
    const auto at = static_cast<std::size_t>(watch);
    try {
        if (at >= m_watchedFolder.size()) m_watchedFolder.resize(at + 1, 0);
    } catch (const std::bad_alloc&) {
        return;
    }
    int& owner = m_watchedFolder[at];
    if (owner != 0 && owner != static_cast<int>(number)) return;
    owner = static_cast<int>(number);
    folder.watch = watch;
    folder.watched = true;
}

// The watch is asked for before the folder is listed, so that no change
// after the listing goes untold.
int CSessionStore::StartFolder(const char* path, const FolderId& id) {
    std::lock_guard<std::mutex> hold(m_lock);
    const std::uint32_t number = FolderNumber(path);
    if (number == 0) return -1;
    Folder& folder = m_folders[number - 1];
    m_folderEntries -= folder.entries.size();
    folder.entries.clear();
    folder.id = id;
    folder.whole = false;
    folder.spoiled = false;
    folder.clean = false;
    if (m_watches != nullptr) Watch(folder, number);
    return static_cast<int>(number);
}

void CSessionStore::AddFile(int folder, const char* path, bool link) {
    if (folder <= 0) return;
    std::lock_guard<std::mutex> hold(m_lock);
    Folder& record = m_folders[static_cast<std::size_t>(folder) - 1];
    const std::uint32_t number = Fits(sizeof(std::uint32_t)) ? FileNumber(path) : 0;
    try {
        if (number == 0) throw std::bad_alloc();
        record.entries.push_back(number);
        ++m_folderEntries;
    } catch (const std::bad_alloc&) {
        record.spoiled = true;
        return;
    }
    FileAt(number)->link = link;
}

void CSessionStore::AddFolder(int folder, const char* path) {
    if (folder <= 0) return;
    std::lock_guard<std::mutex> hold(m_lock);
    const std::uint32_t number = Fits(sizeof(std::uint32_t)) ? FolderNumber(path) : 0;
    Folder& record = m_folders[static_cast<std::size_t>(folder) - 1];
    try {
        if (number == 0) throw std::bad_alloc();
        record.entries.push_back(number | kFolderBit);
        ++m_folderEntries;
    } catch (const std::bad_alloc&) {
        record.spoiled = true;
    }
}

// An entry that could not be held leaves the record short: Spoil, or a
// failed Add, marks it, and it is never taken as whole.
void CSessionStore::Spoil(int folder) {
    if (folder <= 0) return;
    std::lock_guard<std::mutex> hold(m_lock);
    m_folders[static_cast<std::size_t>(folder) - 1].spoiled = true;
}

void CSessionStore::FinishFolder(int folder) {
    if (folder <= 0) return;
    std::lock_guard<std::mutex> hold(m_lock);
    Folder& record = m_folders[static_cast<std::size_t>(folder) - 1];
    record.whole = !record.spoiled;
    record.clean = record.whole && record.watched;
}

// A file of more than one name, or a link, may change with no watch of the
// walk telling: it is always read.
CSessionStore::Entry CSessionStore::EntryAt(int folder, int i, const char* const* words,
                                            int count) const {
    std::lock_guard<std::mutex> hold(m_lock);
    const Folder& record = m_folders[static_cast<std::size_t>(folder) - 1];
    if (i < 0 || static_cast<std::size_t>(i) >= record.entries.size()) return Entry{};
    const std::uint32_t entry = record.entries[static_cast<std::size_t>(i)];
    if ((entry & kFolderBit) != 0) return Entry{m_folders[(entry & ~kFolderBit) - 1].path, true};
    const File& file = *FileAt(entry);
    const bool ruledOut =
        file.known && !file.link && file.state.links <= 1 && RuledOut(file, words, count);
    return Entry{file.path, false, !ruledOut};
}

std::size_t CSessionStore::Files() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_fileCount;
}

std::size_t CSessionStore::BytesHeld() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return HeldBytes();
}

}  // namespace store
