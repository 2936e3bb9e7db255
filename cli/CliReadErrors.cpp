#include "cli/CliReadErrors.h"

#include <cstdio>
#include <cstring>
#include <new>

#include <sorahiki/codepage.h>

#include "search/SearchEngin.h"

namespace {

bool g_bRawPaths = false;

std::string DescribeError(DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED:
            return "permission denied";
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return "no such file or folder";
        case ERROR_DIRECTORY:
            return "not a folder";
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return "out of memory";
        case ERROR_READ_FAULT:
            return "input/output error";
        case ERROR_FILENAME_EXCED_RANGE:
            return "path too long";
        case ERROR_TOO_MANY_OPEN_FILES:
            return "too many open files";
        default:
            return "system error " + std::to_string(error);
    }
}

// Running out of file descriptors or memory is no warning about one path:
// the search stops, and the tool says so once (see main.cpp).
void WarnOfUnreadablePath(const char* pszPath, DWORD dwError) {
    if (dwError == ERROR_TOO_MANY_OPEN_FILES || dwError == ERROR_NOT_ENOUGH_MEMORY) return;
    std::string path = g_bRawPaths ? pszPath : ListedPathUtf8(pszPath);
    std::fprintf(stderr, "sorahiki-cli: cannot read %s: %s\n", path.c_str(),
                 DescribeError(dwError).c_str());
}

// Want of memory is said as it is wherever it strikes (see main.cpp).
void ThrowIfOutOfMemory(DWORD error) {
    if (error == ERROR_NOT_ENOUGH_MEMORY || error == ERROR_OUTOFMEMORY) throw std::bad_alloc();
}

}  // namespace

std::string ProblemWithDataFolder() {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA("DATA/*", &entry);
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
        return "";
    }
    const DWORD error = GetLastError();
    ThrowIfOutOfMemory(error);
    // The entry itself, from a listing of the current directory, tells a
    // missing folder from one that is no folder or cannot be read. A listing
    // that fails for another reason says nothing of the folder.
    const char* const kNoFolder = "no DATA folder in the current directory";
    find = FindFirstFileA("DATA", &entry);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD lookError = GetLastError();
        ThrowIfOutOfMemory(lookError);
        if (lookError == ERROR_FILE_NOT_FOUND || lookError == ERROR_PATH_NOT_FOUND)
            return kNoFolder;
    } else {
        FindClose(find);
        if (std::strcmp(entry.cFileName, "DATA") != 0) return kNoFolder;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return "DATA is not a folder";
    }
    return "cannot read DATA: " + DescribeError(error);
}

void WarnOfUnreadablePaths(CSearchEngin& engine, bool raw) {
    g_bRawPaths = raw;
    engine.m_pfnOnReadFailure = WarnOfUnreadablePath;
}
