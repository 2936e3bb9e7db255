// A painting of one window, begun by the constructor and ended by the
// destructor.
#include "window/DC.h"

CPaintDC::CPaintDC(HWND hWnd) : m_hWnd(hWnd), m_ps() {
    m_hDC = BeginPaint(hWnd, &m_ps);
}

CPaintDC::~CPaintDC() {
    EndPaint(m_hWnd, &m_ps);
}
