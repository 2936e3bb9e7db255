// The list of live windows and the one registered window procedure, which
// maps a handle back to its CWindow.
#include "window/Window.h"

namespace {

CWindow* FindWindowObject(HWND hWnd) {
    for (CWindow* pWindow = g_pWindowList; pWindow != nullptr; pWindow = pWindow->m_pNext) {
        if (pWindow->m_hWnd == hWnd) return pWindow;
    }
    return nullptr;
}

// The first message of a new window arrives inside CreateWindowExA, before
// its handle is known: the object under creation takes it and joins the list.
CWindow* AdoptCreatingWindow(HWND hWnd) {
    CWindow* pWindow = g_pCreatingWindow;
    pWindow->m_pNext = g_pWindowList;
    g_pWindowList = pWindow;
    pWindow->m_hWnd = hWnd;
    g_pCreatingWindow = nullptr;
    return pWindow;
}

}  // namespace

LRESULT CALLBACK StaticWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWindow* pWindow = FindWindowObject(hWnd);
    if (pWindow == nullptr) {
        if (g_pCreatingWindow == nullptr) return DefWindowProcA(hWnd, message, wParam, lParam);
        pWindow = AdoptCreatingWindow(hWnd);
    }
    return pWindow->WindowProc(message, wParam, lParam);
}

void CWindow::m_sub_Unlink() {
    for (CWindow** ppLink = &g_pWindowList; *ppLink != nullptr; ppLink = &(*ppLink)->m_pNext) {
        if (*ppLink == this) {
            *ppLink = m_pNext;
            m_pNext = nullptr;
            return;
        }
    }
}
