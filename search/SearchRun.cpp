// The search beside the window: its thread, and the hand-over of its results.
// The search's thread writes the run's engine, then releases
// `finished`; the owner reads them only after acquiring it (see SearchRun.h).
#include "search/SearchRun.h"

#include <cstring>

namespace {

// Every field of the record that a search writes and that paging, painting
// and pointer tracking read; the hover fields belong to the window.
void CopyResults(const CSearchEngin& from, CSearchEngin& to) {
    to.m_bNoHit = from.m_bNoHit;
    // The run's query buffer is overwritten by the next search.
    to.m_pszQuery = nullptr;
    to.m_nWords = from.m_nWords;
    to.m_nChar = from.m_nChar;
    std::memcpy(to.m_szPath, from.m_szPath, sizeof to.m_szPath);
    to.m_nWordIndex = from.m_nWordIndex;
    std::memcpy(to.m_words, from.m_words, sizeof to.m_words);
    std::memcpy(to.m_hitPaths, from.m_hitPaths, sizeof to.m_hitPaths);
    to.m_nHits = from.m_nHits;
    std::memcpy(to.m_candPaths, from.m_candPaths, sizeof to.m_candPaths);
    to.m_nCandidates = from.m_nCandidates;
    std::memcpy(to.m_items, from.m_items, sizeof to.m_items);
    std::memcpy(to.m_hitFlags, from.m_hitFlags, sizeof to.m_hitFlags);
    to.m_nPage = from.m_nPage;
    to.m_bTooManyOpenFiles = from.m_bTooManyOpenFiles;
    to.m_bOutOfMemory = from.m_bOutOfMemory;
    to.m_bReadFailed = from.m_bReadFailed;
    to.m_bStopped = from.m_bStopped;
}

}  // namespace

// The one place where the search's thread is started.
bool CSearchRun::StartThread() {
    if (startThread != nullptr) return startThread(Search, this);
    return thread.Start(Search, this, kStackBytes);
}

void CSearchRun::Search(void* run) {
    auto& self = *static_cast<CSearchRun*>(run);
    if (self.beforeSearch != nullptr) self.beforeSearch();
    self.engine.m_sub_Search(self.query);
    self.finished.store(true, std::memory_order_release);
}

void CSearchRun::Start(const char* pszQuery) {
    std::strncpy(query, pszQuery, kQueryBytes - 1);
    query[kQueryBytes - 1] = '\0';
    engine.m_pControl = &control;
    engine.m_pfnOnReadFailure = onReadFailure;
    control.stop.store(false, std::memory_order_relaxed);
    control.hits.store(0, std::memory_order_relaxed);
    finished.store(false, std::memory_order_relaxed);
    running = true;
    if (!StartThread()) Search(this);
}

bool CSearchRun::HandOver(CSearchEngin& shown) {
    if (!running || !finished.load(std::memory_order_acquire)) return false;
    thread.Join();  // its search is over: at most the return is left to wait for
    CopyResults(engine, shown);
    stopped = shown.m_bStopped != 0;
    running = false;
    return true;
}
