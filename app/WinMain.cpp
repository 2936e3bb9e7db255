// The program's entry point: hands the start-up values to g_app, starts it
// and runs the frame loop. The command line names, at most, the folder to
// search.
#include <cstdlib>
#include <cstring>

#include "app/Application.h"

namespace {

// The command line's one argument, blanks around it and the quotes that
// hold a path with blanks taken off (in place); null for none.
const char* FolderArgument(char* pszCommandLine) {
    if (pszCommandLine == nullptr) return nullptr;
    char* pszStart = pszCommandLine;
    while (*pszStart == ' ' || *pszStart == '\t') ++pszStart;
    char* pszEnd = pszStart + std::strlen(pszStart);
    while (pszEnd > pszStart && (pszEnd[-1] == ' ' || pszEnd[-1] == '\t')) --pszEnd;
    if (pszEnd - pszStart >= 2 && *pszStart == '"' && pszEnd[-1] == '"') {
        ++pszStart;
        --pszEnd;
    }
    *pszEnd = '\0';
    return pszStart[0] != '\0' ? pszStart : nullptr;
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow) {
    g_app.m_hInstance = hInstance;
    g_app.m_nCmdShow = nCmdShow;
    g_app.m_pszStartFolder = FolderArgument(lpCmdLine);
    if (!g_app.InitInstance()) return -1;
    const int nExitCode = g_app.Run();
    // A search, or the fill of the store after one, still under way may wait
    // on a slow disk: the process ends at once, without the clean-up that
    // would wait for their threads.
    const CSearchRun& run = g_app.m_searchEdit.m_run;
    if (run.Running() || run.Filling()) std::_Exit(nExitCode);
    return nExitCode;
}
