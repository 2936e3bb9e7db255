// The program's entry point: hands the start-up values to g_app, starts it
// and runs the frame loop. The command line has no options.
#include <cstdlib>

#include "app/Application.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow) {
    g_app.m_hInstance = hInstance;
    g_app.m_nCmdShow = nCmdShow;
    if (!g_app.InitInstance()) return -1;
    const int nExitCode = g_app.Run();
    // A search still under way may wait on a slow disk: the process ends at
    // once, without the clean-up that would wait for the search's thread.
    if (g_app.m_searchEdit.m_run.Running()) std::_Exit(nExitCode);
    return nExitCode;
}
