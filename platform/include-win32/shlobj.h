// The system's <shlobj.h> for the Windows build, with the two item calls the
// program makes taken to the file layer: a path in code page 932 names the
// entry its listing found, and the file manager is asked to select it.
#pragma once

#include <windows.h>

#include_next <shlobj.h>

// ILCreateFromPathW of the wide path that a code page 932 path names, found
// as CreateFileA finds it (a listed path by its keys); null, with the
// system's error, when nothing is there.
PIDLIST_ABSOLUTE WINAPI ListedILCreateFromPathA(LPCSTR pszPath);
// The item shown selected in the file manager as explorer /select,PATH shows
// it, with the item's own wide path: the shell of some systems opens the
// folder without selecting anything.
HRESULT WINAPI ListedSHOpenFolderAndSelectItems(PCIDLIST_ABSOLUTE pidlFolder, UINT cidl,
                                                PCUITEMID_CHILD_ARRAY apidl, DWORD dwFlags);

// The common item dialog picking a folder (FOS_PICKFOLDERS), titled as asked:
// the folder chosen, or null for none.
PIDLIST_ABSOLUTE WINAPI ListedSHBrowseForFolderA(LPBROWSEINFOA lpbi);
// The item's path in the listed form that ListedGetFullPathNameA gives (keys
// after the NUL) in MAX_PATH * 2 bytes; FALSE when it does not fit.
BOOL WINAPI ListedSHGetPathFromIDListA(PCIDLIST_ABSOLUTE pidl, LPSTR pszPath);

#ifndef SORAHIKI_LISTED_FILES_IMPLEMENTATION
#define ILCreateFromPathA ListedILCreateFromPathA
#define SHBrowseForFolderA ListedSHBrowseForFolderA
#define SHGetPathFromIDListA ListedSHGetPathFromIDListA
#define SHOpenFolderAndSelectItems ListedSHOpenFolderAndSelectItems
#endif
