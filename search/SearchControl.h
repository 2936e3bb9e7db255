// What a thread that did not start a search may do with it while it runs:
// ask it to stop, read how many hits it has found and copy the rows of page 0
// as the search knows them so far. The searching thread writes `hits` and
// `rows` and reads `stop`; any other thread writes `stop` and reads `hits` and
// `rows`. `stop` and `hits` are atomics and `rows` holds its own lock; nothing
// else of the engine may be read before the search has ended.
#pragma once

#include <atomic>

#include "search/LiveRows.h"

struct CSearchControl {
    // Set by the watcher; the walk and the passes check it between files
    // and end early, keeping the hits found until then.
    std::atomic<bool> stop{false};
    // The hits so far: the folder scan's, published after each new hit, less
    // those a later pass drops, published after each drop.
    std::atomic<int> hits{0};
    // The rows of page 0: those of files known to hold every word, in order.
    CLiveRows rows;
};
