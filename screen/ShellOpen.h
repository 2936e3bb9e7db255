// Opening a hit's file with the shell's "open" verb, or its folder.
#pragma once

#include <windows.h>

// The folder walk records paths relative to the current directory with "/"
// between the parts; the shell is given the full path that the system makes
// of it, with the separators its own file functions use. When the shell
// opens nothing (the file was renamed or deleted since the search, or no
// application opens it), a message box owned by hOwner names the file and
// says why.
void OpenWithShell(HWND hOwner, const char* pszPath);

// Shows the file selected in the system's file manager (explorer
// /select,full path), with a box as above when nothing opens.
void ShowInFolderWithShell(HWND hOwner, const char* pszPath);

// The full path of a path of the walk (the walk's own path when the system
// cannot make one), in szFullPath of nBytes.
const char* FullPathOf(const char* pszPath, char* szFullPath, DWORD nBytes);
