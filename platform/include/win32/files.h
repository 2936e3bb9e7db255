// File and folder functions of the Linux layer: the folder listing, reading a
// file in binary, the identity of an open folder and the current directory.
// Names and paths are code page 932 bytes, as the program holds them; the
// layer converts them to and from the file system's UTF-8.
#pragma once

#include "win32/types.h"

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_SYSTEM 0x00000004
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_DEVICE 0x00000040
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_ATTRIBUTE_REPARSE_POINT 0x00000400
#define INVALID_FILE_ATTRIBUTES (static_cast<DWORD>(-1))

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_SHARE_WRITE 0x00000002
#define FILE_SHARE_DELETE 0x00000004
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define FILE_FLAG_BACKUP_SEMANTICS 0x02000000

#define ERROR_SUCCESS 0
#define ERROR_FILE_NOT_FOUND 2
#define ERROR_PATH_NOT_FOUND 3
#define ERROR_TOO_MANY_OPEN_FILES 4
#define ERROR_ACCESS_DENIED 5
#define ERROR_INVALID_HANDLE 6
#define ERROR_NOT_ENOUGH_MEMORY 8
#define ERROR_OUTOFMEMORY 14
#define ERROR_NO_MORE_FILES 18
#define ERROR_READ_FAULT 30
#define ERROR_INVALID_PARAMETER 87
#define ERROR_INVALID_NAME 123
#define ERROR_FILENAME_EXCED_RANGE 206
#define ERROR_DIRECTORY 267

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
};
using LPWIN32_FIND_DATAA = WIN32_FIND_DATAA*;

struct BY_HANDLE_FILE_INFORMATION {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD dwVolumeSerialNumber;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD nNumberOfLinks;
    DWORD nFileIndexHigh;
    DWORD nFileIndexLow;
};
using LPBY_HANDLE_FILE_INFORMATION = BY_HANDLE_FILE_INFORMATION*;

struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;
struct OVERLAPPED;
using LPOVERLAPPED = OVERLAPPED*;

// Listing: "." and ".." come first, then the entries ordered by their code
// page 932 names compared byte by byte with ASCII letters upper-cased, ties by
// the raw bytes. Left out are a name with no code page 932 form, a name with a
// backslash (every path given to the layer reads it as a separator), and a
// name whose code page 932 form another name of the folder shares unless it
// is the name that form converts back to: so each listed path opens the entry
// it was listed for. Attributes, links followed: FILE_ATTRIBUTE_DIRECTORY for
// a folder, FILE_ATTRIBUTE_ARCHIVE for a regular file, FILE_ATTRIBUTE_DEVICE
// for anything else (pipe, socket, device; Windows gives it to no file in a
// folder); FILE_ATTRIBUTE_REPARSE_POINT marks a link, FILE_ATTRIBUTE_HIDDEN a
// name that begins with ".". A dangling link is listed as a regular file.
// Sizes and times are left at zero: the kind comes from the folder itself, so
// most entries cost no stat.
HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData);
BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData);
BOOL WINAPI FindClose(HANDLE hFindFile);
// The attributes that a listing of its folder gives the entry a path names
// (a link's are those of what it points to, with FILE_ATTRIBUTE_REPARSE_POINT;
// the link itself is looked at, so a dangling link is there);
// INVALID_FILE_ATTRIBUTES with ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND
// when nothing is there.
DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName);

// Opens an existing file for reading: without FILE_FLAG_BACKUP_SEMANTICS only
// a regular file, with it also a folder. Opening never waits (a pipe is
// refused at once). A path as the listing gave it opens the entry listed,
// also where its code page 932 form converts back to another name. Other
// dispositions and write access fail.
HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                     LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped);
// Moves where the next read of an open file starts (FILE_BEGIN, FILE_CURRENT)
// and gives the new place when lpNewFilePointer is not NULL.
BOOL WINAPI SetFilePointerEx(HANDLE hFile, LARGE_INTEGER liDistanceToMove,
                             LARGE_INTEGER* lpNewFilePointer, DWORD dwMoveMethod);
BOOL WINAPI CloseHandle(HANDLE hObject);
BOOL WINAPI GetFileInformationByHandle(HANDLE hFile,
                                       LPBY_HANDLE_FILE_INFORMATION lpFileInformation);

BOOL WINAPI SetCurrentDirectoryA(LPCSTR lpPathName);
// A relative path joined to the current directory with "/"; an absolute path
// as it is. Returns the length, or the size needed with its NUL when the
// buffer is too small, or 0 on failure.
DWORD WINAPI GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer,
                              LPSTR* lpFilePart);
void WINAPI SetLastError(DWORD dwErrCode);
