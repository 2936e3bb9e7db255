// Modeless dialogs from the program's templates and the three controls they
// use. Dialog units become pixels with the base units of a 9-point
// "MS UI Gothic" at 96 dots per inch, taken as 6 x 12: x * 6 / 4 and
// y * 12 / 8, rounded as MulDiv rounds; at another text scale the font, and
// so the base units, grow with it (9 x 18 at 144 dots per inch).
#include <algorithm>

#include "platform/src/ui/resources.h"
#include "platform/src/ui/state.h"

namespace sorahiki::ui {
namespace {

constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 12;

int MulDivRounded(int value, int numerator, int denominator) {
    long long product = static_cast<long long>(value) * numerator;
    long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}
int UnitsToPixelsX(int units) {
    return MulDivRounded(units, kBaseUnitX * ScreenDpi(), 4 * USER_DEFAULT_SCREEN_DPI);
}
int UnitsToPixelsY(int units) {
    return MulDivRounded(units, kBaseUnitY * ScreenDpi(), 8 * USER_DEFAULT_SCREEN_DPI);
}

void NotifyParent(HWND control, WORD code) {
    Window* w = FindWindowObject(control);
    if (w == nullptr || w->parent == nullptr) return;
    SendMessageA(w->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(w->id), code),
                 reinterpret_cast<LPARAM>(control));
}

// The selection in characters, as the driver's edit counts them.
int CharactersBefore(const std::string& text, int bytes) {
    const std::string utf8 = Utf8FromCp932(text.substr(0, static_cast<size_t>(bytes)));
    return static_cast<int>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

void ShowSelection(Window& w) {
    CurrentDriverRef().EditSelected(w.handle, CharactersBefore(w.text, w.sel_first),
                                    CharactersBefore(w.text, w.sel_last));
}

// EM_SETSEL: 0 and -1 select everything, a first of -1 keeps the caret, and
// positions past the end stand for the end.
void SetSelection(Window& w, LONG_PTR first, LONG_PTR last) {
    const auto end = static_cast<LONG_PTR>(w.text.size());
    if (first == -1) return;
    if (last < 0 || last > end) last = end;
    first = std::clamp<LONG_PTR>(first, 0, end);
    w.sel_first = static_cast<int>(std::min(first, last));
    w.sel_last = static_cast<int>(std::max(first, last));
    ShowSelection(w);
}

// One byte of a typed character: a lead byte waits for its second byte; the
// character replaces the selection, and the caret stands after it.
void TypeCharacterByte(Window& w, unsigned char byte) {
    std::string character;
    if (w.pending_lead != 0) {
        character = {static_cast<char>(w.pending_lead), static_cast<char>(byte)};
        w.pending_lead = 0;
    } else if ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC)) {
        w.pending_lead = byte;
        return;
    } else if (byte < 0x20 || byte == 0x7F) {
        return;
    } else {
        character = std::string(1, static_cast<char>(byte));
    }
    w.sel_first = std::min(w.sel_first, static_cast<int>(w.text.size()));
    w.sel_last = std::clamp(w.sel_last, w.sel_first, static_cast<int>(w.text.size()));
    w.text.replace(static_cast<size_t>(w.sel_first), static_cast<size_t>(w.sel_last - w.sel_first),
                   character);
    w.sel_first = w.sel_last = w.sel_first + static_cast<int>(character.size());
    CurrentDriverRef().ChildTextChanged(w.handle, Utf8FromCp932(w.text));
    ShowSelection(w);
    NotifyParent(w.handle, EN_UPDATE);
    NotifyParent(w.handle, EN_CHANGE);
}

// What the three controls leave to default processing, and their font: kept
// for WM_GETFONT, and the driver shows their text at its character height.
LRESULT ControlDefault(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Window* w = FindWindowObject(hwnd);
    if (w == nullptr || (message != WM_SETFONT && message != WM_GETFONT)) {
        return DefWindowProcA(hwnd, message, wparam, lparam);
    }
    if (message == WM_GETFONT) return reinterpret_cast<LRESULT>(w->font);
    w->font = reinterpret_cast<HGDIOBJ>(wparam);
    if (w->announced) CurrentDriverRef().ChildFontChanged(hwnd, CharacterHeight(w->font));
    return 0;
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case EM_SETSEL:
            if (Window* w = FindWindowObject(hwnd))
                SetSelection(*w, static_cast<LONG_PTR>(wparam), lparam);
            return 0;
        case EM_GETSEL: {
            Window* w = FindWindowObject(hwnd);
            if (w == nullptr) return 0;
            if (wparam) *reinterpret_cast<DWORD*>(wparam) = static_cast<DWORD>(w->sel_first);
            if (lparam) *reinterpret_cast<DWORD*>(lparam) = static_cast<DWORD>(w->sel_last);
            return MAKELPARAM(w->sel_first, w->sel_last);
        }
        case WM_CHAR:
            if (Window* w = FindWindowObject(hwnd))
                TypeCharacterByte(*w, static_cast<unsigned char>(wparam));
            return 0;
        case WM_SETTEXT: {
            LRESULT result = DefWindowProcA(hwnd, message, wparam, lparam);
            if (Window* w = FindWindowObject(hwnd)) {
                w->sel_first = w->sel_last = 0;
                w->pending_lead = 0;
            }
            NotifyParent(hwnd, EN_UPDATE);
            NotifyParent(hwnd, EN_CHANGE);
            return result;
        }
        case WM_SETFOCUS:
            NotifyParent(hwnd, EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            NotifyParent(hwnd, EN_KILLFOCUS);
            return 0;
        case kEditTyped:
            // Typed in the driver's own edit: the caret is taken to stand at the end.
            if (Window* w = FindWindowObject(hwnd)) {
                w->sel_first = w->sel_last = static_cast<int>(w->text.size());
            }
            NotifyParent(hwnd, EN_UPDATE);
            NotifyParent(hwnd, EN_CHANGE);
            return 0;
        default:
            return ControlDefault(hwnd, message, wparam, lparam);
    }
}

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == BM_CLICK) {
        NotifyParent(hwnd, BN_CLICKED);
        return 0;
    }
    return ControlDefault(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return ControlDefault(hwnd, message, wparam, lparam);
}

// The dialog class's procedure: the dialog procedure first; what it leaves
// (FALSE) gets default processing.
LRESULT CALLBACK DialogClassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Window* w = FindWindowObject(hwnd);
    if (w && w->dlgproc) {
        INT_PTR handled = w->dlgproc(hwnd, message, wparam, lparam);
        if (handled != 0) return message == WM_INITDIALOG ? handled : 0;
        if (FindWindowObject(hwnd) == nullptr) return 0;
    }
    switch (message) {
        case WM_CLOSE:
            PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDCANCEL)));
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

bool CreateControls(HWND dialog, const DialogTemplate& dlg, HINSTANCE instance,
                    HWND* first_tab_stop) {
    for (const DialogItem& item : dlg.items) {
        HWND control = CreateWindowObject(
            item.ex_style | WS_EX_NOPARENTNOTIFY, item.class_name.c_str(), item.text.c_str(),
            item.style | WS_CHILD, UnitsToPixelsX(item.x), UnitsToPixelsY(item.y),
            UnitsToPixelsX(item.cx), UnitsToPixelsY(item.cy), dialog,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(static_cast<int>(item.id))), instance,
            nullptr);
        if (control == nullptr) return false;
        if (*first_tab_stop == nullptr && (item.style & WS_TABSTOP)) *first_tab_stop = control;
    }
    return true;
}

}  // namespace

void RegisterSystemClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    auto brush = [](int colour) {
        return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(colour + 1));
    };
    AddSystemClass("Edit", EditProc, brush(COLOR_WINDOW), ChildKind::Edit);
    AddSystemClass("Button", ButtonProc, brush(COLOR_BTNFACE), ChildKind::Button);
    AddSystemClass("Static", StaticProc, brush(COLOR_BTNFACE), ChildKind::Static);
    AddSystemClass("#32770", DialogClassProc, brush(COLOR_BTNFACE), ChildKind::Dialog);
}

ChildKind KindOf(HWND hwnd) {
    Window* w = FindWindowObject(hwnd);
    return w ? w->kind : ChildKind::Other;
}

}  // namespace sorahiki::ui

using namespace sorahiki::ui;

HWND WINAPI CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    ResourceBytes bytes;
    DialogTemplate dlg;
    if (!FindProgramResource(kResourceDialog, lpTemplateName, &bytes) ||
        !ParseDialogTemplate(bytes, &dlg)) {
        return nullptr;
    }
    RECT inset = NonClientInsets(dlg.style, dlg.ex_style, false);
    int width = UnitsToPixelsX(dlg.cx) + inset.left + inset.right;
    int height = UnitsToPixelsY(dlg.cy) + inset.top + inset.bottom;
    int x = UnitsToPixelsX(dlg.x), y = UnitsToPixelsY(dlg.y);
    if (!(dlg.style & WS_CHILD)) {
        if (Window* owner = FindWindowObject(hWndParent)) {
            POINT origin = ClientOriginOnScreen(*owner);
            x += origin.x;
            y += origin.y;
        }
    }
    // Every dialog gets the 3-D look.
    HWND dialog = CreateWindowObject(dlg.ex_style, "#32770", dlg.title.c_str(),
                                     (dlg.style | DS_3DLOOK) & ~WS_VISIBLE, x, y, width, height,
                                     hWndParent, nullptr, hInstance, nullptr);
    if (dialog == nullptr) return nullptr;
    FindWindowObject(dialog)->dlgproc = lpDialogFunc;
    HWND first_tab_stop = nullptr;
    if (!CreateControls(dialog, dlg, hInstance, &first_tab_stop)) {
        DestroyWindow(dialog);
        return nullptr;
    }
    // TRUE from WM_INITDIALOG gives the focus to the first tab stop.
    if (SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first_tab_stop),
                     dwInitParam) &&
        first_tab_stop) {
        MoveFocus(first_tab_stop);
    }
    if (!IsWindow(dialog)) return nullptr;
    if (dlg.style & WS_VISIBLE) ShowWindow(dialog, SW_SHOWNORMAL);
    return dialog;
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    Window* dialog = FindWindowObject(hDlg);
    if (dialog == nullptr) return nullptr;
    for (HWND child : dialog->children) {
        if (Window* w = FindWindowObject(child); w && w->id == nIDDlgItem) return child;
    }
    return nullptr;
}

BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect) {
    Window* dialog = FindWindowObject(hDlg);
    if (dialog == nullptr || dialog->kind != ChildKind::Dialog || lpRect == nullptr) return FALSE;
    *lpRect = RECT{UnitsToPixelsX(lpRect->left), UnitsToPixelsY(lpRect->top),
                   UnitsToPixelsX(lpRect->right), UnitsToPixelsY(lpRect->bottom)};
    return TRUE;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    Window* w = FindWindowObject(hWnd);
    return w && !w->TopLevel() ? w->id : 0;
}
