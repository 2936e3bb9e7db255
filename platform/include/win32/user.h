// Windows, messages, dialogs, menus, painting and the shell of the Linux
// layer. Names, values and signatures are those of the Win32 headers, so the
// same code builds against MinGW's <windows.h>.
#pragma once

#include "types.h"

// ---- Messages ------------------------------------------------------------
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ERASEBKGND 0x0014
#define WM_SETCURSOR 0x0020
#define WM_CONTEXTMENU 0x007B
#define WM_SHOWWINDOW 0x0018
#define WM_GETMINMAXINFO 0x0024
#define WM_SETFONT 0x0030
#define WM_GETFONT 0x0031
#define WM_WINDOWPOSCHANGING 0x0046
#define WM_WINDOWPOSCHANGED 0x0047
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_NCCALCSIZE 0x0083
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_SYSCHAR 0x0106
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_DROPFILES 0x0233
#define WM_SYSCOMMAND 0x0112
#define WM_INITMENU 0x0116
#define WM_INITMENUPOPUP 0x0117
#define WM_CHANGEUISTATE 0x0127
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_DPICHANGED 0x02E0
#define WM_USER 0x0400
#define WM_APP 0x8000

#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002

// Notifications of controls, in the high word of WM_COMMAND's wParam.
#define BN_CLICKED 0
#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300
#define EN_UPDATE 0x0400
#define BM_CLICK 0x00F5
#define EM_GETSEL 0x00B0
#define EM_SETSEL 0x00B1

// WM_CHANGEUISTATE: show the focus rectangles and the mnemonics' underlines.
#define UIS_CLEAR 2
#define UISF_HIDEFOCUS 0x1
#define UISF_HIDEACCEL 0x2

// ---- Styles --------------------------------------------------------------
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_MAXIMIZE 0x01000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_OVERLAPPEDWINDOW \
    (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)

#define WS_EX_DLGMODALFRAME 0x00000001L
#define WS_EX_NOPARENTNOTIFY 0x00000004L
#define WS_EX_WINDOWEDGE 0x00000100L
#define WS_EX_CLIENTEDGE 0x00000200L
#define WS_EX_ACCEPTFILES 0x00000010L
#define WS_EX_CONTROLPARENT 0x00010000L

#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_DBLCLKS 0x0008

#define DS_3DLOOK 0x0004L
#define DS_SETFONT 0x40L
#define ES_AUTOHSCROLL 0x0080L
#define BS_PUSHBUTTON 0x00000000L
#define BS_DEFPUSHBUTTON 0x00000001L
#define SS_LEFT 0x00000000L

#define CW_USEDEFAULT (static_cast<int>(0x80000000))

#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWL_ID (-12)
#define GWLP_WNDPROC (-4)

// Hit-test codes (the low word of WM_SETCURSOR's lParam).
#define HTCLIENT 1

// The system's pointers and the default icon.
#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDC_IBEAM MAKEINTRESOURCEA(32513)
#define IDC_WAIT MAKEINTRESOURCEA(32514)
#define IDC_APPSTARTING MAKEINTRESOURCEA(32650)

// ---- Show, position and z-order ------------------------------------------
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10

#define HWND_TOP (static_cast<HWND>(nullptr))
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080

// ---- Keys, colours, brushes, dialog answers -----------------------------
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_APPS 0x5D
#define VK_F5 0x74
#define VK_F10 0x79

#define COLOR_WINDOW 5
#define COLOR_BTNFACE 15

#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define SYSTEM_FONT 13

// Fonts: LOGFONTA's values that the program asks for.
#define LF_FACESIZE 32
#define FW_NORMAL 400
#define DEFAULT_CHARSET 1
#define SHIFTJIS_CHARSET 128
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_SWISS 0x20
#define FF_MODERN 0x30

// Monitors.
#define MONITOR_DEFAULTTONULL 0
#define MONITOR_DEFAULTTOPRIMARY 1
#define MONITOR_DEFAULTTONEAREST 2
#define MONITORINFOF_PRIMARY 1

// Dots per inch at 100 %, and GetDeviceCaps's indexes of the scale.
#define USER_DEFAULT_SCREEN_DPI 96
#define GW_HWNDNEXT 2
#define GW_CHILD 5
#define LOGPIXELSX 88
#define LOGPIXELSY 90

#define TRANSPARENT 1
#define OPAQUE 2

#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_YESNO 0x00000004L
#define MB_ICONINFORMATION 0x00000040L

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7
#define IDCLOSE 8

// Menu item flags of the binary menu template and of GetMenuStringA.
#define MF_STRING 0x0000
#define MF_GRAYED 0x0001
#define MF_UNCHECKED 0x0000
#define MF_CHECKED 0x0008
#define MF_POPUP 0x0010
#define MF_END 0x0080
#define MF_BYCOMMAND 0x0000
#define MF_BYPOSITION 0x0400
#define MF_SEPARATOR 0x0800

// TrackPopupMenu.
#define TPM_LEFTALIGN 0x0000
#define TPM_TOPALIGN 0x0000
#define TPM_RIGHTBUTTON 0x0002
#define TPM_NONOTIFY 0x0080
#define TPM_RETURNCMD 0x0100

// The clipboard and the global memory it takes.
#define CF_UNICODETEXT 13
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040

// ---- Structures ------------------------------------------------------------
using WNDPROC = LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);
using DLGPROC = INT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
using LPMSG = MSG*;

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
using LPPAINTSTRUCT = PAINTSTRUCT*;

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};
using LPWNDCLASSA = WNDCLASSA*;

struct CREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};
using LPCREATESTRUCTA = CREATESTRUCTA*;

struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};

struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x;
    int y;
    int cx;
    int cy;
    UINT flags;
};

struct LOGFONTA {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    CHAR lfFaceName[LF_FACESIZE];
};

struct MONITORINFO {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};
using LPMONITORINFO = MONITORINFO*;

struct NCCALCSIZE_PARAMS {
    RECT rgrc[3];
    WINDOWPOS* lppos;
};

// ---- Functions -------------------------------------------------------------
// What each call does here where it falls short of Windows. A debug build
// says so once on stderr when the program passes an argument marked
// "reported" below; anything not mentioned behaves as on Windows.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nShowCmd);
// Only null (the program itself); any module name gives null.
HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName);

// Message queue: one thread, no timers, no hooks. PeekMessageA first lets the
// driver turn display events into input messages.
BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                         UINT wRemoveMsg);
// WM_CHAR only for Escape, Enter, Backspace and Tab; a character key gets
// none (reported): the driver posts the WM_CHAR of a character typed where no
// edit of its own takes it, and the controls' text comes from its edits.
BOOL WINAPI TranslateMessage(const MSG* lpMsg);
// VK_SHIFT, VK_CONTROL and VK_MENU only, as they stood when the input message
// last taken from the queue was made (the high bit when down); any other key
// reads as up.
SHORT WINAPI GetKeyState(int nVirtKey);
LRESULT WINAPI DispatchMessageA(const MSG* lpMsg);
LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
void WINAPI PostQuitMessage(int nExitCode);
// Handles WM_NCCREATE (the title), WM_NCCALCSIZE, WM_WINDOWPOSCHANGED (WM_MOVE
// and WM_SIZE), the text messages, WM_CLOSE, WM_PAINT, WM_ERASEBKGND (the
// class brush) and WM_RBUTTONUP (WM_CONTEXTMENU); every other message gives 0.
LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// Classes and windows. hInstance is ignored: the program is the only module.
// Class and window extra bytes are not kept.
ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass);
BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance);
BOOL WINAPI GetClassInfoA(HINSTANCE hInstance, LPCSTR lpClassName, LPWNDCLASSA lpWndClass);
int WINAPI GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount);
HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                            int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                            HINSTANCE hInstance, LPVOID lpParam);
BOOL WINAPI DestroyWindow(HWND hWnd);
BOOL WINAPI IsWindow(HWND hWnd);
BOOL WINAPI IsWindowVisible(HWND hWnd);
HWND WINAPI GetParent(HWND hWnd);
// GWL_STYLE, GWL_EXSTYLE and GWL_ID; any other index gives 0 (reported).
LONG WINAPI GetWindowLongA(HWND hWnd, int nIndex);
// GWLP_WNDPROC only, to subclass a window; any other index gives 0
// (reported).
LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong);
LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam,
                               LPARAM lParam);
// The keyboard focus: the window gets WM_SETFOCUS, the one that had it
// WM_KILLFOCUS, and the driver moves the display's focus there.
HWND WINAPI SetFocus(HWND hWnd);
HWND WINAPI GetFocus();
BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow);
BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint);
// No z-order: hWndInsertAfter other than HWND_TOP is ignored (reported).
BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy,
                         UINT uFlags);
BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect);
BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect);
// Between a window's client pixels and the layer's screen pixels (those of
// GetWindowRect); where the desktop really shows the window is the driver's.
BOOL WINAPI ClientToScreen(HWND hWnd, POINT* lpPoint);
BOOL WINAPI ScreenToClient(HWND hWnd, POINT* lpPoint);
// Null for the screen; returns the offset added, x in the low word.
int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, POINT* lpPoints, UINT cPoints);
// GW_CHILD (the first child made) and GW_HWNDNEXT (the sibling made next)
// only; any other gives null (reported).
HWND WINAPI GetWindow(HWND hWnd, UINT uCmd);
HWND WINAPI SetActiveWindow(HWND hWnd);
int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount);
int WINAPI GetWindowTextLengthA(HWND hWnd);
BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString);

// Dialogs from the program's resources: templates whose controls are of the
// Button, Edit and Static classes; modeless only. An edit takes EM_SETSEL,
// EM_GETSEL and WM_CHAR (the bytes of code page 932 characters, Backspace and
// control characters ignored), which replaces its selection. A template that does not
// parse gives null.
HWND WINAPI CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam);
HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem);
int WINAPI GetDlgCtrlID(HWND hWnd);
// Dialog units to pixels with the base units the dialog was laid out with.
// The controls take WM_SETFONT and WM_GETFONT; the driver shows a control's
// text at its font's height, the dialog's own font until one is set.
BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect);

// Menus from the program's resources: the standard template only; an
// extended template gives null (reported). Of an item only its check mark
// changes (CheckMenuItem).
HMENU WINAPI LoadMenuA(HINSTANCE hInstance, LPCSTR lpMenuName);
HMENU WINAPI GetMenu(HWND hWnd);
HMENU WINAPI GetSubMenu(HMENU hMenu, int nPos);
int WINAPI GetMenuItemCount(HMENU hMenu);
UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos);
int WINAPI GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags);
// MF_CHECKED or MF_UNCHECKED, by command (searching the pop-ups too) or by
// position; the item's former state, or (DWORD)-1 for no such item. An item
// once checked or unchecked shows as a check item from then on (a check
// menu item to GTK and to a screen reader).
DWORD WINAPI CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck);
// MF_CHECKED and MF_SEPARATOR of a command item; (UINT)-1 for no such item.
UINT WINAPI GetMenuState(HMENU hMenu, UINT uId, UINT uFlags);
// Pop-up menus of the program's own: MF_STRING and MF_SEPARATOR items only
// (other flags are reported and the item is added as a string).
HMENU WINAPI CreatePopupMenu();
BOOL WINAPI AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
BOOL WINAPI DestroyMenu(HMENU hMenu);
// Modal, shown by the driver at x, y (screen pixels); TPM_RETURNCMD only:
// the chosen id, 0 when the menu was dismissed (without TPM_RETURNCMD the
// menu is not shown and 0 is returned, reported). The alignment flags and
// TPM_RIGHTBUTTON are ignored.
BOOL WINAPI TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd,
                           const RECT* prcRect);

// Painting into the top-level window's backing image; the drivers draw the
// controls themselves. Brushes: the stock brushes, COLOR_ index + 1 and
// solid brushes.
// Text: in IPAGothic whatever the face asked for, at 14/18 of the height of
// the device context's font (the system font, 18 pixels high at 96 dots per
// inch and grown with the display's text scale, is drawn at 14 pixels);
// OPAQUE fills behind it in white. The images are as fine as the display's
// pixels (GDK_SCALE), drawn in the layer's pixels.
BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);
// bErase TRUE sends no WM_ERASEBKGND (reported).
BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase);
HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint);
BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);
// WHITE_BRUSH to NULL_BRUSH and SYSTEM_FONT; other stock objects give null.
HGDIOBJ WINAPI GetStockObject(int i);
// Fonts keep the LOGFONTA they were made from, of which only the height is
// drawn by (see Text above). SelectObject takes fonts only (anything else
// gives null, reported); GetObjectA gives a font's LOGFONTA, 0 for anything
// else. DeleteObject frees a font.
HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf);
HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h);
int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv);
int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr);
// A solid brush holds its colour in its handle: creating one takes nothing,
// and DeleteObject frees nothing (TRUE for a brush, FALSE for anything else).
HBRUSH WINAPI CreateSolidBrush(COLORREF color);
BOOL WINAPI DeleteObject(HGDIOBJ ho);
// The width and height of the first c bytes of lpString in the one font, as
// TextOutA draws them. For no text the height is a line's (Wine gives 0).
BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl);
int WINAPI SetBkMode(HDC hdc, int mode);
COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color);
BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c);
BOOL WINAPI PtInRect(const RECT* lprc, POINT pt);
// A dotted black frame one pixel wide inside the rectangle; drawn over what
// is there rather than inverting it, so a second call does not erase it.
BOOL WINAPI DrawFocusRect(HDC hDC, const RECT* lprc);

// The scale: the display's dots per inch of text (96 at 100 %; the desktop's
// text scaling, Xft.dpi, GDK_DPI_SCALE), the same for every window. No
// WM_DPICHANGED is sent: the scale is taken when the display is opened.
// GetDpiForWindow gives 0 for no window; GetDeviceCaps knows LOGPIXELSX and
// LOGPIXELSY only, any other index gives 0 (reported).
UINT WINAPI GetDpiForWindow(HWND hwnd);
int WINAPI GetDeviceCaps(HDC hdc, int index);
// The monitors as the driver finds them (with no display, one of 1920 x
// 1080); every flag gives the monitor nearest the window.
HMONITOR WINAPI MonitorFromWindow(HWND hwnd, DWORD dwFlags);
BOOL WINAPI GetMonitorInfoA(HMONITOR hMonitor, LPMONITORINFO lpmi);

// Pointers: the system's only (null instance), IDC_ARROW, IDC_IBEAM,
// IDC_WAIT and IDC_APPSTARTING; any other gives null (reported). No
// WM_SETCURSOR is sent: the shape set stays over the program's windows until
// the next SetCursor.
HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName);
HCURSOR WINAPI SetCursor(HCURSOR hCursor);
// Windows's default, 500 milliseconds, within which a second press makes a
// double click; the desktop's own setting is not read.
UINT WINAPI GetDoubleClickTime();
// The program's own icons only (a group icon of its resources); any other
// gives null (reported). A window whose class has one shows it.
HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName);

// Message boxes and the shell, shown by the driver. MessageBoxA and
// MessageBoxW know MB_OK and MB_YESNO; other buttons are shown as MB_OK
// (reported). ShellExecuteA opens the file with the desktop whatever the
// verb, found as CreateFileA finds it (a listed path by its keys); the
// parameters and the directory are passed to the driver as given. It
// returns 42 once the driver started the open, else an error code no
// greater than 32: SE_ERR_FNF for a file that is not there (also a listed
// path whose keys find nothing), SE_ERR_NOASSOC for one that the desktop did
// not open. Items of the shell are in <shlobj.h>.
int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);

// The clipboard: CF_UNICODETEXT only, handed to the driver (the desktop's
// clipboard) as UTF-8 when the clipboard is closed; other formats are
// reported and refused. The memory given to SetClipboardData then belongs to
// the clipboard.
BOOL WINAPI OpenClipboard(HWND hWndNewOwner);
BOOL WINAPI EmptyClipboard();
HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem);
BOOL WINAPI CloseClipboard();
HINSTANCE WINAPI ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                               LPCSTR lpDirectory, INT nShowCmd);
