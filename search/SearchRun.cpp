// The search beside the window: its thread, and the hand-over of its results.
// The search's thread writes the run's engine, then releases
// `finished`; the owner reads them only after acquiring it (see SearchRun.h).
#include "search/SearchRun.h"

#include <cstring>

#include <sorahiki/testhooks.h>

// The one place where the search's thread is started.
bool CSearchRun::StartThread() {
    return thread.Start(Search, this, kStackBytes);
}

// After `finished` the run is the owner's again: the test hook at the end
// touches nothing of it.
void CSearchRun::Search(void* run) {
    auto& self = *static_cast<CSearchRun*>(run);
    testhooks::SearchThreadStarts();
    self.engine.m_sub_Search(self.query);
    self.finished.store(true, std::memory_order_release);
    testhooks::SearchThreadEnds();
}

bool CSearchRun::Start(const char* pszQuery) {
    if (running) return false;
    std::strncpy(query, pszQuery, kQueryBytes - 1);
    query[kQueryBytes - 1] = '\0';
    engine.m_pControl = &control;
    engine.m_pStore = remembers ? &sessionStore : nullptr;
    engine.m_pfnOnReadFailure = onReadFailure;
    engine.m_options = options;
    std::memcpy(engine.m_szFolder, folder, sizeof folder);
    engine.m_szFolder[sizeof engine.m_szFolder - 1] = '\0';
    control.stop.store(false, std::memory_order_relaxed);
    control.hits.store(0, std::memory_order_relaxed);
    control.rows.Clear();
    finished.store(false, std::memory_order_relaxed);
    running = true;
    if (!StartThread()) Search(this);
    return true;
}

bool CSearchRun::HandOver(CSearchEngin& shown, char (&shownQuery)[kQueryBytes]) {
    if (!running || !finished.load(std::memory_order_acquire)) return false;
    thread.Join();  // its search is over: at most the return is left to wait for
    static_cast<CSearchRecord&>(shown) = engine;
    // The run's query is overwritten by the next search: the shown record
    // reads its own copy, at the same place.
    std::memcpy(shownQuery, query, sizeof query);
    shown.m_pszQuery = shownQuery + (engine.m_pszQuery - query);
    stopped = shown.m_bStopped != 0;
    running = false;
    return true;
}
