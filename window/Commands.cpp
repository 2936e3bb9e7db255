// Menu handling of CWindow: the commands, the opening of pop-up menus and
// the folders dropped on the window.
#include "window/Window.h"

#include "res/resource.h"
#include "screen/SearchEdit.h"
#include "sorahiki_version.h"

void CWindow::OnCommand(UINT, UINT nId, HWND) {
    switch (nId) {
        case IDM_ABOUT:
            m_sub_ShowAbout();
            break;
        case IDM_CHOOSE_FOLDER:
            if (m_pSearchEdit != nullptr) m_pSearchEdit->m_sub_ChooseFolder();
            break;
        case IDM_OPTION_WHOLE_FILE:
        case IDM_OPTION_FOLD_CASE:
        case IDM_OPTION_FOLD_WIDTH:
        case IDM_OPTION_FOLD_KANA:
            if (m_pSearchEdit != nullptr) m_pSearchEdit->m_sub_ToggleOption(nId);
            break;
        case IDM_EXIT:
        case IDCLOSE:  // no menu item carries it, but it closes all the same
            SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
            break;
        default:
            break;
    }
}

// A folder dropped on the window is searched from then on; of several
// dropped, the first.
void CWindow::OnDropFiles(HDROP hDrop) {
    char szPath[MAX_PATH * 2] = {};
    const UINT nLength = DragQueryFileA(hDrop, 0, szPath, sizeof szPath);
    DragFinish(hDrop);
    if (nLength == 0 || nLength >= sizeof szPath || m_pSearchEdit == nullptr) return;
    m_pSearchEdit->m_sub_AskFolder(szPath);
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
