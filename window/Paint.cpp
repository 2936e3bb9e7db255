// Painting of the main window: the search screen's results, and the usage
// page over them until the first query has been submitted.
#include "window/Window.h"

#include "screen/SearchEdit.h"
#include "screen/UsagePage.h"

void CWindow::OnPaint() {
    CPaintDC dc(m_hWnd);
    // A window that shows no search screen only validates its region.
    if (m_pSearchEdit == nullptr) return;
    m_pSearchEdit->m_engine.m_sub_DrawResults(dc);
    if (m_pSearchEdit->m_nHistory == 0) DrawUsagePage(dc);
}
