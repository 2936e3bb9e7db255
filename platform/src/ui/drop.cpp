// Files dropped on a window: the driver reports a drop with the files'
// paths as the file system names them, the window that accepts files gets
// WM_DROPFILES, and the program reads each path in code page 932 in the
// listed form that GetFullPathNameA gives. A drop's object lives from its
// message until DragFinish; all of it on the program's one thread.
#include <shellapi.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "platform/src/core/listed_path.h"
#include "platform/src/ui/state.h"

struct HDROP__ {
    std::vector<std::string> listed;  // each path's listed form, keys after its NUL
};

namespace sorahiki::ui {

void FilesDropped(HWND toplevel, const std::vector<std::string>& paths_utf8) {
    Window* w = FindWindowObject(toplevel);
    if (w == nullptr || !(w->ex_style & WS_EX_ACCEPTFILES) || paths_utf8.empty()) return;
    auto* drop = new (std::nothrow) HDROP__;
    if (drop == nullptr) return;
    for (const std::string& path : paths_utf8) drop->listed.push_back(listed::ListedFormOf(path));
    PostMessageA(toplevel, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
}

}  // namespace sorahiki::ui

using namespace sorahiki::ui;

void WINAPI DragAcceptFiles(HWND hWnd, BOOL fAccept) {
    Window* w = FindWindowObject(hWnd);
    if (w == nullptr) return;
    w->ex_style = fAccept ? (w->ex_style | WS_EX_ACCEPTFILES) : (w->ex_style & ~WS_EX_ACCEPTFILES);
}

UINT WINAPI DragQueryFileA(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch) {
    if (hDrop == nullptr) return 0;
    if (iFile == 0xFFFFFFFF) return static_cast<UINT>(hDrop->listed.size());
    if (iFile >= hDrop->listed.size()) return 0;
    const std::string& path = hDrop->listed[iFile];
    if (lpszFile == nullptr || path.size() + 1 > cch) return static_cast<UINT>(path.size() + 1);
    std::memcpy(lpszFile, path.data(), path.size());
    lpszFile[path.size()] = '\0';
    return static_cast<UINT>(std::strlen(path.c_str()));
}

void WINAPI DragFinish(HDROP hDrop) {
    delete hDrop;
}
