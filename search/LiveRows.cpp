// The rows a running search knows, behind one lock (LiveRows.h).
#include "search/LiveRows.h"

#include <cstring>

#include <sorahiki/listing.h>

namespace {

// The same file with the same texts. The marks follow from the texts and the
// query's words, which do not change during a search.
bool SameRow(const ResultItem& a, const ResultItem& b) {
    return listed::SamePath(a.szPath, b.szPath) && std::strcmp(a.szTitle, b.szTitle) == 0 &&
           std::strcmp(a.szContent, b.szContent) == 0 && std::strcmp(a.szContext, b.szContext) == 0;
}

}  // namespace

void CLiveRows::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nRows = 0;
    m_nFirstChanged = limits::kRows;
}

void CLiveRows::NoteChanged(int row) {
    if (row < m_nFirstChanged) m_nFirstChanged = row;
}

void CLiveRows::Put(int row, const ResultItem& item) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (row < 0 || row >= limits::kRows || row > m_nRows) return;
    if (row < m_nRows && SameRow(m_rows[row], item)) return;
    m_rows[row] = item;
    if (row == m_nRows) ++m_nRows;
    NoteChanged(row);
}

void CLiveRows::Remove(int row) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (row < 0 || row >= m_nRows) return;
    std::memmove(&m_rows[row], &m_rows[row + 1],
                 sizeof m_rows[0] * static_cast<size_t>(m_nRows - row - 1));
    --m_nRows;
    NoteChanged(row);
}

void CLiveRows::Cut(int rows) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (rows < 0 || rows >= m_nRows) return;
    m_nRows = rows;
    NoteChanged(rows);
}

bool CLiveRows::CopyChanged(ResultItem* shown, int& rows) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_nFirstChanged == limits::kRows) return false;
    for (int r = m_nFirstChanged; r < limits::kRows; ++r) {
        if (r < m_nRows) {
            shown[r] = m_rows[r];
        } else if (shown[r].bPresent) {
            shown[r] = ResultItem{};
        }
    }
    m_nFirstChanged = limits::kRows;
    rows = m_nRows;
    return true;
}
