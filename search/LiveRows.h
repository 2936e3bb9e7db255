// The rows of page 0 that a search running on a thread of its own has made
// certain, so that a window can show them before the search ends.
//
// Threads and hand-off: the owner of the search clears the rows before the
// search's thread starts; the search's thread then appends rows, in order
// from row 0, with Publish; the window's thread copies them out with CopyNew
// into the record that it paints. Both hold the lock while they touch the
// rows, and nothing else reads them, so paint never reads what another thread
// writes.
#pragma once

#include <mutex>

#include "search/Limits.h"
#include "search/SearchEngin.h"

class CLiveRows {
  public:
    // The owner's, while no search runs.
    void Clear();
    // The search's thread: the next row of page 0 is final. Rows beyond the
    // page are not kept.
    void Publish(const ResultItem& item);
    // The window's thread: copies the rows published after the first
    // `nShown` into `shown` (at their own indices) and returns how many rows
    // are published in all.
    int CopyNew(ResultItem* shown, int nShown);

  private:
    std::mutex m_mutex;
    ResultItem m_rows[limits::kRows]{};
    int m_nRows = 0;
};
