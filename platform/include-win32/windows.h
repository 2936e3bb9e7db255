// The system's <windows.h> for the Windows build, with the four file
// functions of the folder walk taken through the layer of
// platform/src/core/listed_files_win32.cpp, and the shell's open through
// listed_shell_win32.cpp beside it. The system's ANSI functions give a
// name in code page 932 by best fit ("〜" U+301C becomes 0x81 0x60) but open
// a path by the exact mapping (0x81 0x60 is "～" U+FF5E), so a listed name
// might open nothing, or another file. Through this layer a listed path
// opens the entry it was listed for, as on Linux.
#pragma once

#include_next <windows.h>
#include <shellapi.h>

// Listing as FindFirstFileA does, but a name with no code page 932 form, or
// one whose form opens another entry of the folder, is left out; a folder
// path as listed is found part by part where its form does not convert back.
HANDLE WINAPI ListedFindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData);
BOOL WINAPI ListedFindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData);
BOOL WINAPI ListedFindClose(HANDLE hFindFile);

// CreateFileA; a path as listed that names nothing as converted is found
// part by part by the code page 932 forms of the names in each folder.
HANDLE WINAPI ListedCreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                                DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                                HANDLE hTemplateFile);

// ShellExecuteA; a path as listed that names nothing as converted goes to
// ShellExecuteW as the wide path of the entry listed.
HINSTANCE WINAPI ListedShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile,
                                     LPCSTR lpParameters, LPCSTR lpDirectory, INT nShowCmd);

#ifndef SORAHIKI_LISTED_FILES_IMPLEMENTATION
#define FindFirstFileA ListedFindFirstFileA
#define FindNextFileA ListedFindNextFileA
#define FindClose ListedFindClose
#define CreateFileA ListedCreateFileA
#define ShellExecuteA ListedShellExecuteA
#endif
