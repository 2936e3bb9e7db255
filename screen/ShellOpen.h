// What a row does with its file: open it with the shell's "open" verb, show
// it in the file manager, put its path on the clipboard. Each takes the path
// as the folder walk found it (relative to the current directory, its keys
// after its NUL) and hands it whole to the system, which finds that very
// file again; nothing here formats or converts it as plain text, which would
// name another file or none. When nothing opens (the file was renamed or
// deleted since the search, or no application opens it), a message box
// owned by hOwner names the file and says why.
#pragma once

#include <windows.h>

void OpenWithShell(HWND hOwner, const char* pszPath);
void ShowInFolderWithShell(HWND hOwner, const char* pszPath);
void CopyPathToClipboard(HWND hOwner, const char* pszPath);

// The file's full path with every character as the file system has it, in
// szPath of nUnits; false when the file is gone.
bool SystemPathOf(const char* pszPath, WCHAR* szPath, DWORD nUnits);
