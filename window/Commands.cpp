// Menu handling of CWindow: the commands and the opening of pop-up menus.
#include "window/Window.h"

#include "res/resource.h"
#include "sorahiki_version.h"

void CWindow::OnCommand(UINT, UINT nId, HWND) {
    switch (nId) {
        case IDM_ABOUT:
            m_sub_ShowAbout();
            break;
        case IDM_EXIT:
        case IDCLOSE:  // no menu item carries it, but it closes all the same
            SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
            break;
        default:
            break;
    }
}

void CWindow::m_sub_ShowAbout() {
    MessageBoxA(m_hWnd,
                "Sorahiki　Virsion　" SORAHIKI_VERSION
                "\n"
                "Copyright (C) 2026 Sorahiki project",
                "バージョン情報", MB_OK);
}

void CWindow::OnInitMenuPopup(HMENU hMenu, UINT, bool bSysMenu) {
    if (bSysMenu) return;
    const int nItems = GetMenuItemCount(hMenu);
    for (int i = 0; i < nItems; ++i) {
        OnInitMenuItem(hMenu, GetMenuItemID(hMenu, i));
    }
}

void CWindow::OnInitMenuItem(HMENU, UINT) {}
