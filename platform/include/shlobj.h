// The shell's items for the Linux build: a file named by an item rather than
// by text, so that the file a listing found is the one acted on. An item is
// the file system's own absolute path, found when it is made; no namespace
// of virtual folders stands behind it. The Windows build takes the system's
// <shlobj.h> (platform/include-win32/shlobj.h).
#pragma once

#include <windows.h>

#include "win32/accessibility.h"

struct ITEMIDLIST;
using PIDLIST_ABSOLUTE = ITEMIDLIST*;
using PCIDLIST_ABSOLUTE = const ITEMIDLIST*;
using PIDLIST_RELATIVE = ITEMIDLIST*;
using PCUITEMID_CHILD = const ITEMIDLIST*;
using PCUITEMID_CHILD_ARRAY = const PCUITEMID_CHILD*;

enum GPFIDL_FLAGS { GPFIDL_DEFAULT = 0 };

// SHBrowseForFolderA: the system's folder picker. Of the flags only these two
// are known (the picker always returns folders of the file system), and
// pidlRoot, pszDisplayName, lpfn, lParam and iImage are ignored.
#define BIF_RETURNONLYFSDIRS 0x0001
#define BIF_NEWDIALOGSTYLE 0x0040
struct BROWSEINFOA {
    HWND hwndOwner;
    PCIDLIST_ABSOLUTE pidlRoot;
    LPSTR pszDisplayName;
    LPCSTR lpszTitle;
    UINT ulFlags;
    void* lpfn;
    LPARAM lParam;
    int iImage;
};
using LPBROWSEINFOA = BROWSEINFOA*;
// Modal, shown by the driver, titled lpszTitle: the folder chosen, or null
// when the picker was cancelled (or the driver has none). Free with ILFree.
PIDLIST_ABSOLUTE WINAPI SHBrowseForFolderA(LPBROWSEINFOA lpbi);
// The item's path in code page 932 as GetFullPathNameA gives it (marked
// names with their keys after the NUL) in MAX_PATH * 2 bytes; FALSE when it
// does not fit.
BOOL WINAPI SHGetPathFromIDListA(PCIDLIST_ABSOLUTE pidl, LPSTR pszPath);

// The item of a code page 932 path, relative to the current folder or
// absolute: a path as a listing gave it (its keys after the NUL) is found
// part by part, as CreateFileA finds it. Null, with the system's error, when
// nothing is there (ERROR_FILE_NOT_FOUND), or a folder on the way cannot be
// listed.
PIDLIST_ABSOLUTE WINAPI ILCreateFromPathA(LPCSTR pszPath);
void WINAPI ILFree(PIDLIST_RELATIVE pidl);
// The item's path, every character as the file system has it, in UTF-16;
// FALSE when it does not fit cchPath units with its NUL.
BOOL WINAPI SHGetPathFromIDListEx(PCIDLIST_ABSOLUTE pidl, LPWSTR pszPath, DWORD cchPath,
                                  GPFIDL_FLAGS uOpts);
// Shows the item in the desktop's file manager, selected; cidl must be 0.
// E_FAIL when no file manager took it.
HRESULT WINAPI SHOpenFolderAndSelectItems(PCIDLIST_ABSOLUTE pidlFolder, UINT cidl,
                                          PCUITEMID_CHILD_ARRAY apidl, DWORD dwFlags);
