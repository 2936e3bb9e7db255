// Creating a CWindow: the creation record and its hook, the window class,
// the creation hand-off, the window's scale and the fitting of the window to
// its monitor.
#include "window/Window.h"

#include <algorithm>

#include "res/resource.h"
#include "screen/ScreenLayout.h"

namespace {

constexpr const char* kClassName = "Window";
// Caption, window menu and minimize box: no sizing border, no maximize box,
// and hidden until start-up shows it.
constexpr LONG kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = WS_EX_CLIENTEDGE;
// Any change of size repaints the whole client area; the second press of a
// double click comes as WM_LBUTTONDBLCLK, so that a row opens once.
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
// The system brush of COLOR_WINDOW is given as the colour index plus one.
constexpr int kWindowBrush = COLOR_WINDOW + 1;
// However small the screen, the window is not drawn at less than half size,
// where its text could no longer be read.
constexpr int kSmallestDpi = screen_layout::kBaseDpi / 2;

// The largest scale up to nDpi at which nPixels at 100 % take at most nRoom
// pixels: nPixels * dpi / 96 is then at most nRoom, and so is its rounding.
int FittingDpi(int nDpi, int nPixels, int nRoom) {
    if (nPixels <= 0) return nDpi;
    const long long fitting = static_cast<long long>(nRoom) * screen_layout::kBaseDpi / nPixels;
    return static_cast<int>(std::min<long long>(nDpi, std::max<long long>(fitting, kSmallestDpi)));
}

// The part of the window's monitor that the desktop's panels leave free;
// false where the system cannot tell.
bool FindWorkArea(HWND hWnd, RECT* pWork) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &info)) return false;
    *pWork = info.rcWork;
    return pWork->right > pWork->left && pWork->bottom > pWork->top;
}

// The start of a span of nSize pixels, moved back from nStart as far as it
// must to end within nLimit, but not before nFirst.
int KeptWithin(int nStart, int nSize, int nFirst, int nLimit) {
    return std::max(nFirst, std::min(nStart, nLimit - nSize));
}

}  // namespace

CWindow::CWindow()
    : m_pNext(nullptr),
      m_hInstance(nullptr),
      m_nClientWidth(800),
      m_nClientHeight(600),
      m_hWnd(nullptr),
      m_pSearchEdit(nullptr) {}

bool CWindow::PreCreateWindow(CREATESTRUCTA&) {
    return true;
}

bool CWindow::m_sub_CreateWindow(HINSTANCE hInstance, CWindow* pParent, HMENU hMenu) {
    m_hInstance = hInstance;

    CREATESTRUCTA cs;
    cs.lpCreateParams = nullptr;
    cs.hInstance = hInstance;
    cs.hMenu = hMenu;
    cs.hwndParent = pParent != nullptr ? pParent->m_hWnd : nullptr;
    cs.cy = CW_USEDEFAULT;
    cs.cx = CW_USEDEFAULT;
    cs.y = CW_USEDEFAULT;
    cs.x = CW_USEDEFAULT;
    cs.style = kWindowStyle;
    cs.lpszName = kProgramTitle;
    cs.lpszClass = nullptr;
    cs.dwExStyle = kWindowExStyle;

    if (!PreCreateWindow(cs)) return false;
    // A class that the hook named is used as it is, without registration.
    if (cs.lpszClass == nullptr) {
        cs.lpszClass = kClassName;
        if (!m_sub_RegisterWndClass(kClassName)) return false;
    }

    g_pCreatingWindow = this;
    m_hWnd = CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx,
                             cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    // Still set: no message reached the window procedure, so nothing was made.
    if (g_pCreatingWindow != nullptr) {
        g_pCreatingWindow = nullptr;
        return false;
    }
    if (m_hWnd == nullptr) return false;

    const UINT nDpi = GetDpiForWindow(m_hWnd);
    m_sub_FitToMonitor(nDpi != 0 ? static_cast<int>(nDpi) : screen_layout::kBaseDpi);
    m_sub_MoveIntoWorkArea();
    // A folder dropped on the window is searched (OnDropFiles).
    DragAcceptFiles(m_hWnd, TRUE);
    return true;
}

// The window is drawn at the scale of its monitor, nDpi, where it fits the
// monitor's work area at that scale, else at the largest scale at which it
// does. Its outer size is the client area, m_nClientWidth by m_nClientHeight
// at 100 % grown by that scale, and the frame around it; the position stays.
void CWindow::m_sub_FitToMonitor(int nDpi) {
    RECT client;
    RECT outer;
    GetClientRect(m_hWnd, &client);
    GetWindowRect(m_hWnd, &outer);
    const int nFrameX = (outer.right - outer.left) - (client.right - client.left);
    const int nFrameY = (outer.bottom - outer.top) - (client.bottom - client.top);
    RECT work;
    g_nScreenDpi = nDpi;
    if (FindWorkArea(m_hWnd, &work)) {
        g_nScreenDpi =
            std::min(FittingDpi(nDpi, m_nClientWidth, work.right - work.left - nFrameX),
                     FittingDpi(nDpi, m_nClientHeight, work.bottom - work.top - nFrameY));
    }
    const int width = screen_layout::Scaled(m_nClientWidth) + nFrameX;
    const int height = screen_layout::Scaled(m_nClientHeight) + nFrameY;
    SetWindowPos(m_hWnd, HWND_TOP, 0, 0, width, height, SWP_NOMOVE);
}

// A new window that would run past the work area's right or bottom edge
// moves left or up, as far as the work area's left and top edges.
void CWindow::m_sub_MoveIntoWorkArea() {
    RECT work;
    if (!FindWorkArea(m_hWnd, &work)) return;
    RECT outer;
    GetWindowRect(m_hWnd, &outer);
    SetWindowPos(m_hWnd, nullptr,
                 KeptWithin(outer.left, outer.right - outer.left, work.left, work.right),
                 KeptWithin(outer.top, outer.bottom - outer.top, work.top, work.bottom), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CWindow::m_sub_RegisterWndClass(const char* pszClassName) {
    WNDCLASSA wc;
    if (GetClassInfoA(m_hInstance, pszClassName, &wc)) {
        MessageBoxA(nullptr, "CWindow::m_sub_RegisterWndClass()", "登録済み\n", MB_OK);
        return true;
    }

    wc.style = kClassStyle;
    wc.lpfnWndProc = StaticWndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = m_hInstance;
    wc.hIcon = LoadIconA(m_hInstance, MAKEINTRESOURCEA(IDI_SORAHIKI));
    wc.hCursor = nullptr;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(kWindowBrush));
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = pszClassName;
    if (RegisterClassA(&wc) == 0) {
        MessageBoxA(nullptr, "CWindow::m_sub_RegisterWndClass()",
                    "ウインドウクラス登録に失敗しました。\n", MB_OK);
        return false;
    }
    return true;
}
