// Painting of the main window: the search screen draws itself, its results
// or the usage page until the first search has ended.
#include "window/Window.h"

#include "screen/SearchEdit.h"

void CWindow::OnPaint() {
    CPaintDC dc(m_hWnd);
    // A window that shows no search screen only validates its region.
    if (m_pSearchEdit == nullptr) return;
    m_pSearchEdit->m_sub_DrawScreen(dc);
}
