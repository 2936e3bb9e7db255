// The clipboard: one owner at a time between OpenClipboard and CloseClipboard;
// Unicode text set meanwhile goes to the driver (the desktop's clipboard)
// when it is closed.
#include <cstring>

#include "platform/src/ui/state.h"

namespace sorahiki::ui {
namespace {

struct Clipboard {
    bool open = false;
    HGLOBAL text = nullptr;  // the UTF-16 text set since it was opened
    bool changed = false;
};

Clipboard& TheClipboard() {
    static Clipboard clipboard;
    return clipboard;
}

// The text as it stands, every character kept (a path with no code page 932
// form among them).
std::string ClipboardUtf8(const char16_t* text) {
    size_t length = 0;
    while (text[length] != 0) ++length;
    return Utf8FromUtf16(text, length);
}

}  // namespace
}  // namespace sorahiki::ui

using namespace sorahiki::ui;

BOOL WINAPI OpenClipboard(HWND) {
    Clipboard& clipboard = TheClipboard();
    if (clipboard.open) return FALSE;
    clipboard.open = true;
    clipboard.changed = false;
    return TRUE;
}

BOOL WINAPI EmptyClipboard() {
    Clipboard& clipboard = TheClipboard();
    if (!clipboard.open) return FALSE;
    if (clipboard.text != nullptr) GlobalFree(clipboard.text);
    clipboard.text = nullptr;
    clipboard.changed = true;
    return TRUE;
}

HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem) {
    Clipboard& clipboard = TheClipboard();
    if (!clipboard.open || hMem == nullptr) return nullptr;
    if (uFormat != CF_UNICODETEXT) {
        ReportUnsupported("SetClipboardData", "a format other than CF_UNICODETEXT");
        return nullptr;
    }
    if (clipboard.text != nullptr && clipboard.text != hMem) GlobalFree(clipboard.text);
    clipboard.text = hMem;
    clipboard.changed = true;
    return hMem;
}

BOOL WINAPI CloseClipboard() {
    Clipboard& clipboard = TheClipboard();
    if (!clipboard.open) return FALSE;
    clipboard.open = false;
    if (clipboard.changed && clipboard.text != nullptr) {
        CurrentDriverRef().ClipboardText(
            ClipboardUtf8(static_cast<const char16_t*>(GlobalLock(clipboard.text))));
    }
    return TRUE;
}
