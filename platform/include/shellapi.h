// The shell's calls for the Linux build: the codes of ShellExecuteA (in
// windows.h) and the files dropped on a window.
#pragma once
#include "windows.h"

// The files of one drop (WM_DROPFILES' wParam); the driver hands them over
// as the file system names them.
struct HDROP__;
using HDROP = HDROP__*;

// Sets or clears WS_EX_ACCEPTFILES: only a window that accepts files gets
// WM_DROPFILES.
void WINAPI DragAcceptFiles(HWND hWnd, BOOL fAccept);
// iFile 0xFFFFFFFF: the number of files. Else the iFile'th path in code page
// 932, as GetFullPathNameA gives it (a name with no form of its own carries
// the mark 〓, and the keys follow the NUL); the length of its text, or the
// bytes it needs with its NUL and keys when lpszFile is null or cch too
// small (then nothing is copied).
UINT WINAPI DragQueryFileA(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch);
void WINAPI DragFinish(HDROP hDrop);

// What ShellExecuteA returns when it opens nothing (above 32 is success).
#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_SHARE 26
#define SE_ERR_ASSOCINCOMPLETE 27
#define SE_ERR_NOASSOC 31
