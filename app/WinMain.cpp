// The program's entry point: hands the start-up values to g_app, starts it
// and runs the frame loop. The command line has no options.
#include "app/Application.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow) {
    g_app.m_hInstance = hInstance;
    g_app.m_nCmdShow = nCmdShow;
    if (!g_app.InitInstance()) return -1;
    return g_app.Run();
}
