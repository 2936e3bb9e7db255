// The application object: the main window and the search screen, held by
// value in the one global g_app, which lives for the whole process.
#pragma once

#include <windows.h>

#include "screen/SearchEdit.h"
#include "window/Window.h"

class CApplication {
  public:
    CApplication();

    // Creates the main window and the search screen; true when ready to run.
    virtual bool InitInstance();
    // A hook for idle work; the frame loop polls instead, so nothing calls it.
    virtual bool OnIdle(int nCount);

    // The frame loop; returns the value carried by the quit message.
    int Run();
    // One turn of the frame loop: false when it took the quit message, whose
    // value is then stored in *pnExitCode.
    bool m_sub_RunOneTurn(int* pnExitCode);

    HINSTANCE m_hInstance;
    int m_nCmdShow;
    // The folder named on the command line, searched instead of DATA; null
    // for none. Set by the entry point before InitInstance.
    const char* m_pszStartFolder = nullptr;
    CWindow m_mainWindow;
    CSearchEdit m_searchEdit;
};

extern CApplication g_app;

// Puts every global of the program back to its state at process start, so
// that a test can start the program again in the same process: the window
// objects leave the window list first (the windows themselves belong to the
// window layer), then g_app and the globals of window/ and screen/ are reset.
// A new global gets its reset in its own folder's function.
void ResetProgramGlobals();
