// A search on a thread of its own, beside a window that goes on working.
//
// Threads and hand-off: the thread that owns the run (the window's) calls
// every member. Start copies the query and starts the search's thread, which
// alone writes `engine` until it stores `finished` (release). The owner reads
// only `control` and `finished` meanwhile: the count so far, and the rows of
// page 0 as the search knows them, which CopyLiveRows copies under their
// lock. Once HandOver sees `finished` (acquire), the search's thread has
// ended its work and the owner copies the results into the record that it
// shows. So the record that a window paints is never written by another
// thread. The session store is the search's thread's while a search runs
// (its readers ask it under its lock). A search that ran without it (the
// first in a folder) is followed by a fill on a thread of its own
// (`fillThread`, writing `fillEngine` and the store) that walks the folder
// to put it in the store; the owner stops and joins that thread before the
// next search and before the run ends, and touches neither meanwhile.
#pragma once

#include <atomic>
#include <cstddef>

#include <sorahiki/thread.h>

#include "search/SearchControl.h"
#include "search/SearchEngin.h"
#include "search/store/SessionStore.h"

class CSearchRun {
  public:
    static constexpr int kQueryBytes = 350;

    CSearchRun() = default;
    ~CSearchRun() { StopFilling(); }
    CSearchRun(const CSearchRun&) = delete;
    CSearchRun& operator=(const CSearchRun&) = delete;

    // Begins a search of `query` (copied) and returns true; false, doing
    // nothing, while a search runs. When no thread can be started the search
    // runs to its end inside this call.
    bool Start(const char* query);
    // A search was started and its results are not handed over yet.
    bool Running() const { return running; }
    // The hits that the folder scan has found so far.
    int HitsSoFar() const { return control.hits.load(std::memory_order_relaxed); }
    // Asks the search to end early; its hits so far become its result.
    void Stop() { control.stop.store(true, std::memory_order_relaxed); }
    // Brings `shown`, a page of rows, up to the rows of page 0 as the search
    // knows them so far: false when none changed since the last call, else
    // true with `rows` the rows there are (CLiveRows::CopyChanged).
    bool CopyLiveRows(ResultItem* shown, int& rows) {
        return control.rows.CopyChanged(shown, rows);
    }
    // When the search has ended: copies everything that it wrote (the
    // CSearchRecord part of the engine) into `shown`, leaving shown's pointer
    // hover alone, copies its query into `shownQuery`, which `shown` reads
    // from then on, and returns true. The run is then idle again.
    bool HandOver(CSearchEngin& shown, char (&shownQuery)[kQueryBytes]);
    // A fill of the store runs after the last search (see fillsWhenIdle).
    bool Filling() const {
        return fillThread.Started() && !fillEnded.load(std::memory_order_acquire);
    }
    // The last search handed over was stopped before its scan ended, so
    // that its hits are incomplete.
    bool WasStopped() const { return stopped; }

    // Given to the search's engine: called on the search's thread.
    CSearchEngin::ReadFailureHook onReadFailure = nullptr;
    // Copied to the search's engine by Start: the options of the next
    // search, and the folder it walks (empty for "DATA").
    SearchOptions options;
    char folder[limits::kPathBytes] = {};
    // Whether the run's searches answer from what earlier ones learned
    // (sessionStore). Off, every search reads every file as a fresh walk
    // does, which a test that counts reads to make one fail relies on.
    bool remembers = true;
    // Whether the first search of a folder, which reads every file as a
    // fresh walk does, is followed by a fill of the store while the window
    // waits for the next query, so that the first search costs what a walk
    // without the store costs. Off, the next search fills the store itself;
    // a test that counts opens or reads after a search turns it off.
    bool fillsWhenIdle = true;

  private:
    // The walk recurses once per folder level, a few hundred bytes a level.
    static constexpr std::size_t kStackBytes = 1024 * 1024;

    bool StartThread();
    static void Search(void* run);
    // Whether the next search answers from the store: a fill of the same
    // folder with the same options walked all of it.
    bool StoreServes() const;
    void StartFilling();
    void StopFilling();
    static void Fill(void* run);

    CStartedThread thread;  // joined once its search is handed over

    CSearchEngin engine{};
    // What the run's searches learned of the folder, for as long as the run
    // lives: written only on the search's thread, during a search.
    store::CSessionStore sessionStore;
    CSearchControl control;
    // The fill of the store after a search that ran without it: a walk of
    // the folder for a word no text holds, so that no hit ends it early.
    CStartedThread fillThread;
    CSearchEngin fillEngine{};
    CSearchControl fillControl;
    bool fillCompleted = false;  // a fill for fillFolder and fillOptions walked all of it
    char fillFolder[limits::kPathBytes] = {};
    SearchOptions fillOptions;
    bool searchUsedStore = false;
    std::atomic<bool> fillEnded{false};  // written by the fill's thread at its end
    char query[kQueryBytes] = {};
    std::atomic<bool> finished{false};
    bool running = false;
    bool stopped = false;
};
