// The window base class: one top-level window, its creation with a client
// area of a wanted size, and the mapping of its messages to virtual handlers.
// One registered window procedure finds the object of a handle through the
// list of live windows; a window still inside CreateWindowExA is found
// through the hand-off pointer g_pCreatingWindow.
#pragma once

#include <windows.h>
// After windows.h, on which the system's own depends.
#include <shellapi.h>

#include "window/DC.h"

class CSearchEdit;

// The main window's caption, whole while no folder is chosen.
inline constexpr char kProgramTitle[] = "Sorahiki";

class CWindow {
  public:
    CWindow();
    // Neither destroys the window nor unlinks the object: the window ends
    // with the process.
    virtual ~CWindow() {}

    // May change any field of the creation record; false cancels creation.
    virtual bool PreCreateWindow(CREATESTRUCTA& cs);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // False aborts the creation (WM_CREATE answers -1).
    virtual bool OnCreate(CREATESTRUCTA* pcs);
    virtual void OnPaint();
    virtual void OnDestroy();
    virtual void OnInitMenuPopup(HMENU hMenu, UINT nIndex, bool bSysMenu);
    // Called once for each item of a pop-up menu that opens.
    virtual void OnInitMenuItem(HMENU hMenu, UINT nId);
    virtual void OnCommand(UINT nNotifyCode, UINT nId, HWND hControl);
    virtual void OnDropFiles(HDROP hDrop);
    // A hook for timed work; the program sets no timer, so nothing calls it.
    virtual bool OnTimer(int nTimerId);

    bool m_sub_CreateWindow(HINSTANCE hInstance, CWindow* pParent, HMENU hMenu);
    bool m_sub_RegisterWndClass(const char* pszClassName);

    CWindow* m_pNext;
    HINSTANCE m_hInstance;
    int m_nClientWidth;
    int m_nClientHeight;
    HWND m_hWnd;
    CSearchEdit* m_pSearchEdit;

  private:
    void m_sub_FitToMonitor(int nDpi);
    void m_sub_MoveIntoWorkArea();
    void m_sub_ChangeScale(int nDpi, const RECT* pSuggested);
    void m_sub_ConfirmClose();
    void m_sub_ShowAbout();
    void m_sub_Unlink();
    bool m_sub_SetPointer(HWND hOver, UINT nHitTest);
    LRESULT m_sub_AnswerGetObject(WPARAM wParam, LPARAM lParam);
};

// Head of the list of live windows, newest first, linked through m_pNext.
extern CWindow* g_pWindowList;
// The object whose CreateWindowExA call is under way; null at other times.
extern CWindow* g_pCreatingWindow;

// The pointer over the main window, in client pixels, and the pending left
// click; written by the window procedure, read by the polled steps.
extern int g_nMouseX;
extern int g_nMouseY;
extern unsigned char g_bLeftClick;
// 1 while the pending click is the second press of a double click.
extern unsigned char g_bDoubleClick;

// Puts the globals above back to their values at process start (defined with
// them in WindowGlobals.cpp); the window objects are unlinked, not destroyed.
void ResetWindowGlobals();

// The procedure that the class "Window" is registered with.
LRESULT CALLBACK StaticWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
