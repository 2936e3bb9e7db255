// The globals of the window layer of the program, and their reset.
#include "window/Window.h"

CWindow* g_pWindowList = nullptr;
CWindow* g_pCreatingWindow = nullptr;
int g_nMouseX = 0;
int g_nMouseY = 0;
unsigned char g_bLeftClick = 0;
unsigned char g_bDoubleClick = 0;

void ResetWindowGlobals() {
    g_pWindowList = nullptr;
    g_pCreatingWindow = nullptr;
    g_nMouseX = 0;
    g_nMouseY = 0;
    g_bLeftClick = 0;
    g_bDoubleClick = 0;
}
