// The member window procedure: each message becomes a call of a virtual
// handler. The mouse handlers only record the pointer for the polled steps.
#include "window/Window.h"

#include <oleacc.h>

#include "screen/KeyboardFocus.h"
#include "screen/ScreenLayout.h"
#include "screen/SearchEdit.h"

namespace {

constexpr LRESULT kCreateFailed = -1;

// The position of a mouse message, both halves of lParam taken unsigned.
void RecordPointer(LPARAM lParam) {
    g_nMouseX = LOWORD(lParam);
    g_nMouseY = HIWORD(lParam);
}

// A key for the results or the page strip, with the modifiers held with it.
void RecordKey(WPARAM vk) {
    g_nResultsKey = static_cast<int>(vk);
    g_nResultsKeyModifiers = (GetKeyState(VK_SHIFT) < 0 ? kModShift : 0) |
                             (GetKeyState(VK_CONTROL) < 0 ? kModControl : 0) |
                             (GetKeyState(VK_MENU) < 0 ? kModAlt : 0);
}

// Characters from a space on; control characters (Enter, Backspace ...)
// are no text for the search box.
void RecordCharacter(WPARAM ch) {
    if (ch >= 0x20 && ch != 0x7F) g_nTypedChar = ch;
}

}  // namespace

LRESULT CWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam)) ? 0 : kCreateFailed;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_CLOSE:
            m_sub_ConfirmClose();
            return 0;
        case WM_NCDESTROY:
            m_sub_Unlink();
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) {
                OnDestroy();
            } else {
                RecordKey(wParam);
            }
            return 0;
        case WM_CHAR:
            RecordCharacter(wParam);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            // The frame of the row or page link that has the keyboard shows
            // only while the window has it.
            if (ClientFocusFrameShown()) screen_layout::InvalidateResultsBand(m_hWnd);
            return 0;
        case WM_CONTEXTMENU:
            // lParam -1: asked from the keyboard; else a right click, whose
            // row the button-down recorded.
            g_nRowMenuRequest = lParam == -1 ? kRowMenuAtSelection : kRowMenuAtPointer;
            return 0;
        case WM_COMMAND:
            OnCommand(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_INITMENUPOPUP:
            OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam) != 0);
            return 0;
        case WM_MOUSEMOVE:
            RecordPointer(lParam);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // A click on the results takes the keyboard from the bars, so
            // that Escape reaches the window, and gives it to the rows.
            GiveKeyboardToRows();
            SetFocus(m_hWnd);
            RecordPointer(lParam);
            g_bLeftClick = 1;
            g_bDoubleClick = message == WM_LBUTTONDBLCLK ? 1 : 0;
            return 0;
        case WM_LBUTTONUP:
            g_bLeftClick = 0;
            return 0;
        case WM_RBUTTONDOWN:
            RecordPointer(lParam);
            return 0;
        case WM_RBUTTONUP:
            // Default processing asks for the context menu (WM_CONTEXTMENU).
            return DefWindowProcA(m_hWnd, message, wParam, lParam);
        case WM_GETOBJECT:
            return m_sub_AnswerGetObject(wParam, lParam);
        case WM_DPICHANGED:
            m_sub_ChangeScale(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_SETCURSOR:
            if (m_sub_SetPointer(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
            return DefWindowProcA(m_hWnd, message, wParam, lParam);
        default:
            return DefWindowProcA(m_hWnd, message, wParam, lParam);
    }
}

bool CWindow::OnCreate(CREATESTRUCTA*) {
    return true;
}

void CWindow::OnDestroy() {
    PostQuitMessage(0);
}

bool CWindow::OnTimer(int) {
    return false;
}

// The window moved to a monitor of another scale: it takes the rectangle the
// system suggests, and everything in it is laid out again at the new scale,
// or at the scale at which it fits that monitor.
void CWindow::m_sub_ChangeScale(int nDpi, const RECT* pSuggested) {
    if (nDpi <= 0) return;
    if (pSuggested != nullptr) {
        SetWindowPos(m_hWnd, nullptr, pSuggested->left, pSuggested->top,
                     pSuggested->right - pSuggested->left, pSuggested->bottom - pSuggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The suggestion keeps the frame's proportion; the client area is made exact.
    m_sub_FitToMonitor(nDpi);
    if (m_pSearchEdit != nullptr) m_pSearchEdit->m_sub_ApplyScale();
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

// Every way of closing asks first; the window itself is never destroyed, a
// confirmed close posts the quit message through OnDestroy.
void CWindow::m_sub_ConfirmClose() {
    const int answer = MessageBoxA(m_hWnd, "アプリケーションを終了します。\n宜しいですか？。",
                                   "確認メッセージ", MB_YESNO);
    if (answer == IDYES) OnDestroy();
}

// A screen reader asks for the client area's object: the results, which
// the window draws itself; any other object is the system's.
LRESULT CWindow::m_sub_AnswerGetObject(WPARAM wParam, LPARAM lParam) {
    if (static_cast<LONG>(lParam) == OBJID_CLIENT && m_pSearchEdit != nullptr) {
        return LresultFromObject(IID_IAccessible, wParam, &m_pSearchEdit->m_accessible);
    }
    return DefWindowProcA(m_hWnd, WM_GETOBJECT, wParam, lParam);
}

// While a search runs, the pointer shows that work goes on over the whole
// client area, bars included (their controls ask their parent first); else
// the client area has the arrow and each control its own pointer.
bool CWindow::m_sub_SetPointer(HWND hOver, UINT nHitTest) {
    if (nHitTest != HTCLIENT) return false;
    if (m_pSearchEdit != nullptr && m_pSearchEdit->m_run.Running()) {
        SetCursor(LoadCursorA(nullptr, IDC_APPSTARTING));
        return true;
    }
    if (hOver != m_hWnd) return false;
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    return true;
}
