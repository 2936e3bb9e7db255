// The folders that come from the desktop on Windows, in code page 932
// whatever the system's: the folder picker is the common item dialog with
// FOS_PICKFOLDERS (the old tree of SHBrowseForFolderW where the system has
// none), and a chosen or dropped path comes back in the listed form that
// GetFullPathNameA gives, a name with no form of its own marked and keyed.
#define SORAHIKI_LISTED_FILES_IMPLEMENTATION
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <string>

#include "platform/src/core/listed_path.h"
#include "platform/src/win32/listed_files_win32.h"

namespace {

// Room for any path the system gives, long paths included.
constexpr DWORD kLongPathUnits = 32768;

// Copies a listed form, its keys with it, into `out` of `size` bytes: the
// length of its text, or the bytes it needs when it does not fit (nothing
// copied).
UINT CopyForm(const std::string& form, LPSTR out, size_t size) {
    if (out == nullptr || form.size() + 1 > size) return static_cast<UINT>(form.size() + 1);
    std::memcpy(out, form.data(), form.size());
    out[form.size()] = '\0';
    return static_cast<UINT>(std::strlen(form.c_str()));
}

PIDLIST_ABSOLUTE PickWithTree(LPBROWSEINFOA lpbi) {
    const std::wstring title = lpbi->lpszTitle ? Wide(lpbi->lpszTitle) : std::wstring();
    BROWSEINFOW info = {};
    info.hwndOwner = lpbi->hwndOwner;
    info.lpszTitle = lpbi->lpszTitle ? title.c_str() : nullptr;
    info.ulFlags = lpbi->ulFlags;
    return SHBrowseForFolderW(&info);
}

}  // namespace

PIDLIST_ABSOLUTE WINAPI ListedSHBrowseForFolderA(LPBROWSEINFOA lpbi) {
    if (lpbi == nullptr) return nullptr;
    IFileOpenDialog* dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IFileOpenDialog, reinterpret_cast<void**>(&dialog)))) {
        return PickWithTree(lpbi);
    }
    DWORD options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM);
    if (lpbi->lpszTitle != nullptr) dialog->SetTitle(Wide(lpbi->lpszTitle).c_str());
    PIDLIST_ABSOLUTE pidl = nullptr;
    if (SUCCEEDED(dialog->Show(lpbi->hwndOwner))) {
        IShellItem* item = nullptr;
        if (SUCCEEDED(dialog->GetResult(&item))) {
            SHGetIDListFromObject(item, &pidl);
            item->Release();
        }
    }
    dialog->Release();
    return pidl;
}

BOOL WINAPI ListedSHGetPathFromIDListA(PCIDLIST_ABSOLUTE pidl, LPSTR pszPath) {
    if (pidl == nullptr || pszPath == nullptr) return FALSE;
    std::wstring path(kLongPathUnits, L'\0');
    if (!SHGetPathFromIDListEx(pidl, path.data(), kLongPathUnits, GPFIDL_DEFAULT)) return FALSE;
    path.resize(std::wcslen(path.c_str()));
    const std::string form = listed::ListedFormOf(path);
    if (form.size() + 1 > MAX_PATH * 2) return FALSE;
    CopyForm(form, pszPath, MAX_PATH * 2);
    return TRUE;
}

UINT WINAPI ListedDragQueryFileA(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch) {
    if (iFile == 0xFFFFFFFF) return DragQueryFileW(hDrop, iFile, nullptr, 0);
    const UINT units = DragQueryFileW(hDrop, iFile, nullptr, 0);
    if (units == 0) return 0;
    std::wstring path(units + 1, L'\0');
    DragQueryFileW(hDrop, iFile, path.data(), units + 1);
    path.resize(units);
    return CopyForm(listed::ListedFormOf(path), lpszFile, cch);
}
