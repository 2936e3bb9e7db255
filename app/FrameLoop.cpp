// The frame loop: at most one window message per turn, then the polled steps
// of the search screen, then a short pause. It never waits for a message. A
// key goes first to the search screen's keyboard model, which takes the keys
// that move between its places, as a dialog manager would. The order of the
// steps matters: the search request step follows a running search and drops
// a click on anything not painted since its result changed, before the
// pointer step could act on it (open a row, turn a page).
#include "app/Application.h"

namespace {

constexpr DWORD kTurnPauseMs = 5;

}  // namespace

bool CApplication::m_sub_RunOneTurn(int* pnExitCode) {
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            *pnExitCode = static_cast<int>(msg.wParam);
            return false;
        }
        if (!g_app.m_searchEdit.m_sub_TranslateKey(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    g_app.m_searchEdit.m_sub_CheckSearchRequest();
    g_app.m_searchEdit.m_sub_CheckHistoryCommand();
    g_app.m_searchEdit.m_sub_CheckKeyboard();
    g_app.m_searchEdit.m_engine.m_sub_TrackPointer(g_app.m_searchEdit.m_hParent);
    g_app.m_searchEdit.m_accessible.m_sub_Announce();
    Sleep(kTurnPauseMs);
    return true;
}

int CApplication::Run() {
    int nExitCode = 0;
    while (m_sub_RunOneTurn(&nExitCode)) {
    }
    return nExitCode;
}
