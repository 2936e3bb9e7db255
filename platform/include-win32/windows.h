// The system's <windows.h> for the Windows build. The program's text is code
// page 932 whatever the system's code page (1252, 65001, ...), so every call
// of the program that takes or returns text is taken here to a wide call
// with an explicit conversion between code page 932 and UTF-16:
// - files and the folder walk (platform/src/win32/listed_files_win32.cpp):
//   the system's ANSI functions would read names in the system's code page,
//   and give a name in code page 932 by best fit ("〜" U+301C becomes 0x81
//   0x60) but open a path by the exact mapping (0x81 0x60 is "～" U+FF5E).
//   Through this layer a listed path opens the entry it was listed for, as
//   on Linux; the shell's open is beside it (listed_shell_win32.cpp);
// - windows, dialogs and menus from the resources, message boxes and drawn
//   text (platform/src/win32/wide_calls_win32.cpp): every window is a
//   Unicode window, so typed text, the input method's among it, arrives
//   whole.
#pragma once

#include_next <windows.h>
#include <shellapi.h>

// Listing as FindFirstFileA does, names in code page 932: a character with no
// form shows as the mark 〓 and the name's key is in dwReserved1; a listed
// path, its keys after its NUL, is found part by part.
HANDLE WINAPI ListedFindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData);
BOOL WINAPI ListedFindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData);
BOOL WINAPI ListedFindClose(HANDLE hFindFile);
// GetFileAttributesW of the entry a listed path names.
DWORD WINAPI ListedGetFileAttributesA(LPCSTR lpFileName);

// CreateFileA of a code page 932 path; a path as listed that is marked, or
// names nothing as converted, is found part by part through the listing.
HANDLE WINAPI ListedCreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                                DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                                HANDLE hTemplateFile);
// The current folder's listed form joined to the path, the keys of both
// after the NUL.
DWORD WINAPI ListedGetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer,
                                    LPSTR* lpFilePart);
BOOL WINAPI ListedSetCurrentDirectoryA(LPCSTR lpPathName);

// ShellExecuteW with the texts converted; a listed path goes to the shell as
// the wide path of the entry listed.
HINSTANCE WINAPI ListedShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile,
                                     LPCSTR lpParameters, LPCSTR lpDirectory, INT nShowCmd);

// DragQueryFileW of a dropped path, in the listed form that
// ListedGetFullPathNameA gives (keys after the NUL); iFile 0xFFFFFFFF: the
// number of files.
UINT WINAPI ListedDragQueryFileA(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch);
// ReadFile, failing when a test asks it to (<sorahiki/testhooks.h>).
BOOL WINAPI HookedReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                           LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped);

// The window calls, each the wide call with code page 932 text.
ATOM WINAPI Cp932RegisterClassA(const WNDCLASSA* lpWndClass);
BOOL WINAPI Cp932UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance);
BOOL WINAPI Cp932GetClassInfoA(HINSTANCE hInstance, LPCSTR lpClassName, LPWNDCLASSA lpWndClass);
int WINAPI Cp932GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount);
HWND WINAPI Cp932CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName,
                                 DWORD dwStyle, int X, int Y, int nWidth, int nHeight,
                                 HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam);
HWND WINAPI Cp932CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                                    DLGPROC lpDialogFunc, LPARAM dwInitParam);
HMENU WINAPI Cp932LoadMenuA(HINSTANCE hInstance, LPCSTR lpMenuName);
int WINAPI Cp932GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags);
BOOL WINAPI Cp932AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
LRESULT WINAPI Cp932SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
int WINAPI Cp932GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount);
int WINAPI Cp932GetWindowTextLengthA(HWND hWnd);
BOOL WINAPI Cp932SetWindowTextA(HWND hWnd, LPCSTR lpString);
UINT WINAPI Cp932GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax);
BOOL WINAPI Cp932SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString);
int WINAPI Cp932MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
BOOL WINAPI Cp932TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c);
BOOL WINAPI Cp932GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl);
HFONT WINAPI Cp932CreateFontIndirectA(const LOGFONTA* lplf);

// The system's GetDpiForWindow where user32 has it (Windows 10, 1607 on),
// else the screen's dots per inch: the program runs on older systems too.
UINT WINAPI LoadedGetDpiForWindow(HWND hwnd);

#ifndef SORAHIKI_LISTED_FILES_IMPLEMENTATION
#define FindFirstFileA ListedFindFirstFileA
#define FindNextFileA ListedFindNextFileA
#define FindClose ListedFindClose
#define GetFileAttributesA ListedGetFileAttributesA
#define CreateFileA ListedCreateFileA
#define GetFullPathNameA ListedGetFullPathNameA
#define SetCurrentDirectoryA ListedSetCurrentDirectoryA
#define ShellExecuteA ListedShellExecuteA
#define DragQueryFileA ListedDragQueryFileA
#define ReadFile HookedReadFile

#define RegisterClassA Cp932RegisterClassA
#define UnregisterClassA Cp932UnregisterClassA
#define GetClassInfoA Cp932GetClassInfoA
#define GetClassNameA Cp932GetClassNameA
#define CreateWindowExA Cp932CreateWindowExA
#define CreateDialogParamA Cp932CreateDialogParamA
#define LoadMenuA Cp932LoadMenuA
#define GetMenuStringA Cp932GetMenuStringA
#define AppendMenuA Cp932AppendMenuA
#define SendMessageA Cp932SendMessageA
#define GetWindowTextA Cp932GetWindowTextA
#define GetWindowTextLengthA Cp932GetWindowTextLengthA
#define SetWindowTextA Cp932SetWindowTextA
#define GetDlgItemTextA Cp932GetDlgItemTextA
#define SetDlgItemTextA Cp932SetDlgItemTextA
#define MessageBoxA Cp932MessageBoxA
#define TextOutA Cp932TextOutA
#define GetTextExtentPoint32A Cp932GetTextExtentPoint32A
#define CreateFontIndirectA Cp932CreateFontIndirectA
#define GetDpiForWindow LoadedGetDpiForWindow
// Calls that carry no text, taken to their wide forms so that the messages
// of Unicode windows stay Unicode.
#define DefWindowProcA DefWindowProcW
#define PeekMessageA PeekMessageW
#define GetMessageA GetMessageW
#define DispatchMessageA DispatchMessageW
#define PostMessageA PostMessageW
#define GetWindowLongA GetWindowLongW
// A window subclassed through the ANSI call would turn ANSI itself, and the
// edit box's text would pass through the system code page.
#define SetWindowLongPtrA SetWindowLongPtrW
#define GetWindowLongPtrA GetWindowLongPtrW
#define CallWindowProcA CallWindowProcW
#endif
