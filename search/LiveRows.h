// The rows of page 0 as a search running on a thread of its own knows them,
// so that a window can show them before the search ends.
//
// Threads and hand-off: the owner of the search clears the rows before the
// search's thread starts; the search's thread then writes them with Put,
// Remove and Cut; the window's thread copies the rows changed since its last
// copy with CopyChanged into the record that it paints. Both hold the lock
// while they touch the rows, and nothing else reads them, so paint never
// reads what another thread writes.
#pragma once

#include <mutex>

#include "search/Limits.h"
#include "search/SearchEngin.h"

class CLiveRows {
  public:
    // The owner's, while no search runs.
    void Clear();

    // The search's thread. Row `row` of page 0 is `item` from now on: it
    // replaces the row there, or follows the last row. Rows beyond the page
    // are not kept.
    void Put(int row, const ResultItem& item);
    // Row `row` left the page: the rows after it move up.
    void Remove(int row);
    // The page holds at most `rows` rows.
    void Cut(int rows);

    // The window's thread: brings `shown` (a page of rows) up to what the
    // search has put: copies the rows changed since the last call and
    // empties those beyond the last row. False, touching nothing, when
    // nothing changed; else true, with `rows` the rows there are. A row may
    // now hold another file than the one painted there: the window compares
    // paths before it acts on a row.
    bool CopyChanged(ResultItem* shown, int& rows);

  private:
    void NoteChanged(int row);

    std::mutex m_mutex;
    ResultItem m_rows[limits::kRows]{};
    int m_nRows = 0;
    int m_nFirstChanged = limits::kRows;  // the first row changed since the last copy
};
