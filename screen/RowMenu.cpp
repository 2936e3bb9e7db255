// A row's pop-up menu: 「開く」, 「フォルダを開く」 and 「パスをコピー」, on a right
// click on a row or from the keyboard on the selected row. A failure of any
// of the three is told in a message box that names the file.
#include <cstring>

#include "res/resource.h"
#include "screen/KeyboardFocus.h"
#include "screen/RowHitTest.h"
#include "screen/ScreenLayout.h"
#include "screen/SearchEdit.h"
#include "screen/ShellOpen.h"
#include "window/Window.h"

namespace {

namespace layout = screen_layout;

UINT ChooseFromMenu(HWND hOwner, POINT at) {
    ClientToScreen(hOwner, &at);
    HMENU hMenu = CreatePopupMenu();
    AppendMenuA(hMenu, MF_STRING, IDM_ROW_OPEN, "開く(&O)");
    AppendMenuA(hMenu, MF_STRING, IDM_ROW_SHOW_FOLDER, "フォルダを開く(&F)");
    AppendMenuA(hMenu, MF_STRING, IDM_ROW_COPY_PATH, "パスをコピー(&C)");
    const auto nChosen = static_cast<UINT>(TrackPopupMenu(
        hMenu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, hOwner, nullptr));
    DestroyMenu(hMenu);
    return nChosen;
}

}  // namespace

// A right click acts on the row under the pointer, the keyboard on the
// selected row while the rows have it; elsewhere there is no menu.
void CSearchEdit::m_sub_ShowRowMenu(int nRequest) {
    int nRow = -1;
    POINT at{g_nMouseX, g_nMouseY};
    if (nRequest == kRowMenuAtPointer) {
        nRow = PresentRowAt(m_engine, at);
    } else if (GetFocus() == m_hParent && g_nClientFocusPlace == kFocusRows) {
        nRow = SelectedRow(m_engine);
        at = layout::Scaled(layout::RowMenuAnchor(nRow));
    }
    if (!m_sub_RowSeen(nRow)) return;
    if (nRequest == kRowMenuAtSelection) m_sub_SelectRow(nRow);

    // The menu's own loop runs no frame step, so the row stays as it is.
    char szPath[sizeof m_engine.m_items[nRow].szPath];
    std::memcpy(szPath, m_engine.m_items[nRow].szPath, sizeof szPath);
    switch (ChooseFromMenu(m_hParent, at)) {
        case IDM_ROW_OPEN:
            OpenWithShell(m_hParent, szPath);
            break;
        case IDM_ROW_SHOW_FOLDER:
            ShowInFolderWithShell(m_hParent, szPath);
            break;
        case IDM_ROW_COPY_PATH:
            CopyPathToClipboard(m_hParent, szPath);
            break;
        default:
            break;
    }
}
