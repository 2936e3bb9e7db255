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
    StopFilling();
    searchUsedStore = remembers && StoreServes();
    std::strncpy(query, pszQuery, kQueryBytes - 1);
    query[kQueryBytes - 1] = '\0';
    engine.m_pControl = &control;
    engine.m_pStore = remembers && (searchUsedStore || !fillsWhenIdle) ? &sessionStore : nullptr;
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
    if (remembers && fillsWhenIdle && !searchUsedStore && !options.AnyOn()) StartFilling();
    return true;
}

// A store that a stopped fill left covers only part of the folder, and a
// search that fills the rest as it goes reads every file it meets whole: the
// search walks as the first one did instead, and the fill goes on after it.
bool CSearchRun::StoreServes() const {
    return fillCompleted && std::strncmp(fillFolder, folder, sizeof fillFolder) == 0 &&
           fillOptions == options;
}

// The fill's query: a word that a text hardly ever holds (ten of the last
// kanji of code page 932), so that the fill walks the whole folder; its
// hits, if any, are not shown, and only 1,010 of them would end it early.
constexpr char kWordNoTextHolds[] =
    "\xEA\xA4\xEA\xA4\xEA\xA4\xEA\xA4\xEA\xA4\xEA\xA4\xEA\xA4\xEA\xA4\xEA\xA4\xEA\xA4";

void CSearchRun::StartFilling() {
    fillEngine.m_pControl = &fillControl;
    fillEngine.m_pStore = &sessionStore;
    fillEngine.m_pfnOnReadFailure = nullptr;
    fillEngine.m_options = options;
    std::memcpy(fillEngine.m_szFolder, folder, sizeof folder);
    fillEngine.m_szFolder[sizeof fillEngine.m_szFolder - 1] = '\0';
    fillControl.stop.store(false, std::memory_order_relaxed);
    fillEnded.store(false, std::memory_order_relaxed);
    if (std::strncmp(fillFolder, folder, sizeof fillFolder) != 0 || !(fillOptions == options)) {
        fillCompleted = false;
    }
    std::memcpy(fillFolder, folder, sizeof folder);
    fillOptions = options;
    fillThread.Start(Fill, this, kStackBytes);
}

void CSearchRun::Fill(void* run) {
    auto& self = *static_cast<CSearchRun*>(run);
    self.fillEngine.m_sub_Search(kWordNoTextHolds);
    self.fillEnded.store(true, std::memory_order_release);
}

void CSearchRun::StopFilling() {
    if (!fillThread.Started()) return;
    fillControl.stop.store(true, std::memory_order_relaxed);
    fillThread.Join();
    if (fillEngine.m_bStopped == 0) fillCompleted = true;
}
