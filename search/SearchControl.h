// What a thread that did not start a search may do with it while it runs:
// ask it to stop, and read how many hits it has found. The searching thread
// writes `hits` and reads `stop`; any other thread writes `stop` and reads
// `hits`. Both are atomics, and nothing else of the engine may be read
// before the search has ended.
#pragma once

#include <atomic>

struct CSearchControl {
    // Set by the watcher; the walk and the passes check it between files
    // and end early, keeping the hits found until then.
    std::atomic<bool> stop{false};
    // The hits of the folder scan so far, published after each new hit.
    std::atomic<int> hits{0};
};
