// The one application object and its start-up.
#include "app/Application.h"

#include <oleacc.h>

#include <new>

#include "res/resource.h"
#include "screen/ScreenGlobals.h"

CApplication g_app;

void ResetProgramGlobals() {
    ResetWindowGlobals();
    g_app.~CApplication();
    new (&g_app) CApplication();
    ResetScreenGlobals();
}

// m_searchEdit() value-initialises the search screen, so every field of it
// and of its engine starts at zero, wherever the object is constructed.
CApplication::CApplication()
    : m_hInstance(nullptr), m_nCmdShow(0), m_mainWindow(), m_searchEdit() {}

bool CApplication::InitInstance() {
    // The window's thread is a single-threaded apartment: a screen reader's
    // calls on the results' object arrive as messages that the frame loop
    // dispatches, and the shell's open may hand a file to COM servers.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    // A menu that cannot be loaded is passed on as null: no menu bar then.
    HMENU hMenu = LoadMenuA(m_hInstance, MAKEINTRESOURCEA(IDR_MAINMENU));
    if (!m_mainWindow.m_sub_CreateWindow(m_hInstance, nullptr, hMenu)) return false;
    ShowWindow(m_mainWindow.m_hWnd, m_nCmdShow);
    if (!m_searchEdit.m_sub_Create(m_mainWindow.m_hWnd, m_hInstance)) return false;
    // Linked before the frame loop dispatches the first paint message.
    m_mainWindow.m_pSearchEdit = &m_searchEdit;
    if (m_pszStartFolder != nullptr) m_searchEdit.m_sub_AskFolder(m_pszStartFolder);
    return true;
}

bool CApplication::OnIdle(int) {
    return true;
}
