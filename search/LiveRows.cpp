// The rows a running search has made certain, behind one lock (LiveRows.h).
#include "search/LiveRows.h"

void CLiveRows::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nRows = 0;
}

void CLiveRows::Publish(const ResultItem& item) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_nRows == limits::kRows) return;
    m_rows[m_nRows++] = item;
}

int CLiveRows::CopyNew(ResultItem* shown, int nShown) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int r = nShown; r < m_nRows; ++r) shown[r] = m_rows[r];
    return m_nRows;
}
