// Creating a CWindow: the creation record and its hook, the window class,
// the creation hand-off, the window's scale and the fitting of the client
// area.
#include "window/Window.h"

#include "res/resource.h"
#include "screen/ScreenLayout.h"

namespace {

constexpr const char* kClassName = "Window";
constexpr const char* kWindowTitle = "Sorahiki";
// Caption, window menu and minimize box: no sizing border, no maximize box,
// and hidden until start-up shows it.
constexpr LONG kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = WS_EX_CLIENTEDGE;
// Any change of size repaints the whole client area; the second press of a
// double click comes as WM_LBUTTONDBLCLK, so that a row opens once.
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
// The system brush of COLOR_WINDOW is given as the colour index plus one.
constexpr int kWindowBrush = COLOR_WINDOW + 1;

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
    cs.lpszName = kWindowTitle;
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

    // The window is drawn at the scale of the monitor it stands on.
    const UINT nDpi = GetDpiForWindow(m_hWnd);
    g_nScreenDpi = nDpi != 0 ? static_cast<int>(nDpi) : screen_layout::kBaseDpi;
    m_sub_FitClientArea();
    return true;
}

// Grows the outer size by the frame's share so that the client area is
// exactly m_nClientWidth by m_nClientHeight at 100 %, grown by the window's
// scale; the position stays.
void CWindow::m_sub_FitClientArea() {
    RECT client;
    RECT outer;
    GetClientRect(m_hWnd, &client);
    GetWindowRect(m_hWnd, &outer);
    const int width = screen_layout::Scaled(m_nClientWidth) + (outer.right - outer.left) -
                      (client.right - client.left);
    const int height = screen_layout::Scaled(m_nClientHeight) + (outer.bottom - outer.top) -
                       (client.bottom - client.top);
    SetWindowPos(m_hWnd, HWND_TOP, 0, 0, width, height, SWP_NOMOVE);
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
