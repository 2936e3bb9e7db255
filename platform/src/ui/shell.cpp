// The shell for the Linux layer: a file opened with the desktop, shown in
// its file manager, or named by an item. Every path that comes in as code
// page 932 text is found as every open finds it (OpenablePath), so that a
// listed path reaches the file its listing found, and then goes to the
// driver in UTF-8, absolute.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

#include <shellapi.h>
#include <shlobj.h>

#include "platform/src/core/listed_path.h"
#include "platform/src/posix/errors.h"
#include "platform/src/posix/paths.h"
#include "platform/src/ui/state.h"

struct ITEMIDLIST {
    std::string path;  // absolute, as the file system names it
};

namespace sorahiki::ui {
namespace {

constexpr INT_PTR kShellOpened = 42;  // above 32 is success

// What ShellExecuteA returns when it cannot open a file for `error`: the
// system's error where it is one of the shell's old codes (all of them at or
// below 32), else "file not found".
HINSTANCE ShellFailure(int error) {
    DWORD code = Win32ErrorFromErrno(error);
    SetLastError(code);
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(code <= 32 ? code : SE_ERR_FNF));
}

// The file system's path of a file that is there, found as every open finds
// it; false, with errno set, for none.
bool ExistingPath(LPCSTR pszPath, std::string& path) {
    struct stat st;
    if (pszPath == nullptr || pszPath[0] == '\0') {
        errno = ENOENT;
        return false;
    }
    return OpenablePath(pszPath, path) && stat(path.c_str(), &st) == 0;
}

std::string Absolute(const std::string& path) {
    if (path.empty() || path.front() == '/') return path;
    char* cwd = getcwd(nullptr, 0);
    if (cwd == nullptr) return path;
    std::string full = std::string(cwd) + "/" + path;
    std::free(cwd);
    return full;
}

}  // namespace
}  // namespace sorahiki::ui

using namespace sorahiki::ui;

// As on Windows, a file that is not there opens nothing.
HINSTANCE WINAPI ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                               LPCSTR lpDirectory, INT nShowCmd) {
    ShellRequest request{hwnd,
                         lpOperation != nullptr,
                         lpFile != nullptr,
                         lpParameters != nullptr,
                         lpDirectory != nullptr,
                         lpOperation ? lpOperation : "",
                         lpFile ? lpFile : "",
                         lpParameters ? lpParameters : "",
                         lpDirectory ? lpDirectory : "",
                         std::string(),
                         nShowCmd};
    if (!ExistingPath(lpFile, request.file_utf8)) return ShellFailure(errno);
    const bool opened = CurrentDriverRef().ShellOpen(request);
    return reinterpret_cast<HINSTANCE>(
        static_cast<INT_PTR>(opened ? kShellOpened : SE_ERR_NOASSOC));
}

PIDLIST_ABSOLUTE WINAPI ILCreateFromPathA(LPCSTR pszPath) {
    std::string path;
    if (!ExistingPath(pszPath, path)) {
        SetLastError(Win32ErrorFromErrno(errno));
        return nullptr;
    }
    auto* item = new (std::nothrow) ITEMIDLIST{Absolute(path)};
    if (item == nullptr) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return item;
}

void WINAPI ILFree(PIDLIST_RELATIVE pidl) {
    delete pidl;
}

BOOL WINAPI SHGetPathFromIDListEx(PCIDLIST_ABSOLUTE pidl, LPWSTR pszPath, DWORD cchPath,
                                  GPFIDL_FLAGS) {
    if (pidl == nullptr || pszPath == nullptr) return FALSE;
    const std::u16string path = Utf16FromUtf8(pidl->path);
    if (path.size() + 1 > cchPath) return FALSE;
    path.copy(pszPath, path.size());
    pszPath[path.size()] = u'\0';
    return TRUE;
}

HRESULT WINAPI SHOpenFolderAndSelectItems(PCIDLIST_ABSOLUTE pidlFolder, UINT cidl,
                                          PCUITEMID_CHILD_ARRAY, DWORD) {
    if (pidlFolder == nullptr) return E_INVALIDARG;
    if (cidl != 0) {
        ReportUnsupported("SHOpenFolderAndSelectItems", "items of a folder (cidl > 0)");
        return E_NOTIMPL;
    }
    ShellRequest request{};
    request.file_utf8 = pidlFolder->path;
    request.show = SW_SHOWNORMAL;
    return CurrentDriverRef().ShowInFileManager(request) ? S_OK : E_FAIL;
}

PIDLIST_ABSOLUTE WINAPI SHBrowseForFolderA(LPBROWSEINFOA lpbi) {
    if (lpbi == nullptr) return nullptr;
    std::string folder;
    const std::string title = lpbi->lpszTitle ? Utf8FromCp932(lpbi->lpszTitle) : std::string();
    if (!CurrentDriverRef().PickFolder(lpbi->hwndOwner, title, &folder)) return nullptr;
    return new (std::nothrow) ITEMIDLIST{Absolute(folder)};
}

BOOL WINAPI SHGetPathFromIDListA(PCIDLIST_ABSOLUTE pidl, LPSTR pszPath) {
    if (pidl == nullptr || pszPath == nullptr) return FALSE;
    const std::string form = listed::ListedFormOf(pidl->path);
    if (form.size() + 1 > MAX_PATH * 2) return FALSE;
    std::memcpy(pszPath, form.data(), form.size());
    pszPath[form.size()] = '\0';
    return TRUE;
}
