// The thread's message queue. Posted messages come first, then the quit
// message, then input (mouse and keys), and WM_PAINT last, made up for a
// window with an invalid region only when nothing else is waiting.
#include <deque>

#include "platform/src/ui/state.h"

namespace sorahiki::ui {
namespace {

// An input message with the modifier keys held when it was made.
struct Input {
    MSG msg;
    unsigned modifiers;
};

struct Queue {
    std::deque<MSG> posted;
    std::deque<Input> input;
    unsigned modifiers = 0;  // those of the input message last taken
    bool quit = false;
    int exit_code = 0;
    DWORD clock = 0;
};

Queue& TheQueue() {
    static Queue queue;
    return queue;
}

bool Matches(const MSG& m, HWND filter, UINT min, UINT max) {
    if (filter != nullptr && m.hwnd != filter) return false;
    if (min == 0 && max == 0) return true;
    return m.message >= min && m.message <= max;
}

bool TakeFrom(std::deque<MSG>& from, MSG* msg, HWND filter, UINT min, UINT max, bool remove) {
    for (auto it = from.begin(); it != from.end(); ++it) {
        if (!Matches(*it, filter, min, max)) continue;
        *msg = *it;
        if (remove) from.erase(it);
        return true;
    }
    return false;
}

bool TakeInput(MSG* msg, HWND filter, UINT min, UINT max, bool remove) {
    auto& input = TheQueue().input;
    for (auto it = input.begin(); it != input.end(); ++it) {
        if (!Matches(it->msg, filter, min, max)) continue;
        *msg = it->msg;
        if (remove) {
            TheQueue().modifiers = it->modifiers;
            input.erase(it);
        }
        return true;
    }
    return false;
}

bool Shown(const Window* w) {
    for (; w != nullptr; w = FindWindowObject(w->parent)) {
        if (!w->Visible()) return false;
    }
    return true;
}

bool TakePaint(MSG* msg, HWND filter, UINT min, UINT max) {
    for (Window* w : AllWindows()) {
        if (w->invalid.Empty() || !Shown(w)) continue;
        MSG paint{w->handle, WM_PAINT, 0, 0, TheQueue().clock, {0, 0}};
        if (!Matches(paint, filter, min, max)) continue;
        *msg = paint;
        return true;
    }
    return false;
}

MSG Make(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return MSG{hwnd, message, wparam, lparam, ++TheQueue().clock, {0, 0}};
}

}  // namespace

bool TakeMessage(MSG* msg, HWND filter, UINT min, UINT max, bool remove, bool skip_quit) {
    Queue& q = TheQueue();
    if (TakeFrom(q.posted, msg, filter, min, max, remove)) return true;
    bool quit_wanted = (min == 0 && max == 0) || (min <= WM_QUIT && WM_QUIT <= max);
    if (q.quit && !skip_quit && filter == nullptr && quit_wanted) {
        *msg = Make(nullptr, WM_QUIT, static_cast<WPARAM>(q.exit_code), 0);
        if (remove) q.quit = false;
        return true;
    }
    if (TakeInput(msg, filter, min, max, remove)) return true;
    return TakePaint(msg, filter, min, max);
}

void PostInput(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, unsigned modifiers) {
    auto& input = TheQueue().input;
    // A pointer that moves again before the program looked replaces the
    // waiting move, as the system's input queue does.
    if (message == WM_MOUSEMOVE && !input.empty() && input.back().msg.message == WM_MOUSEMOVE &&
        input.back().msg.hwnd == hwnd) {
        input.back() = Input{Make(hwnd, message, wparam, lparam), modifiers};
        return;
    }
    input.push_back(Input{Make(hwnd, message, wparam, lparam), modifiers});
}

unsigned HeldModifiers() {
    return TheQueue().modifiers;
}

void PurgeMessages(HWND hwnd) {
    auto mine = [hwnd](const MSG& m) { return m.hwnd == hwnd; };
    std::erase_if(TheQueue().posted, mine);
    std::erase_if(TheQueue().input, [&](const Input& in) { return mine(in.msg); });
}

void ClearQueue() {
    Queue& q = TheQueue();
    q.posted.clear();
    q.input.clear();
    q.quit = false;
    q.exit_code = 0;
    q.modifiers = 0;
}

}  // namespace sorahiki::ui

using namespace sorahiki::ui;

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                         UINT wRemoveMsg) {
    CurrentDriverRef().PumpEvents();
    MSG taken;
    if (!TakeMessage(&taken, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0,
                     false)) {
        return FALSE;
    }
    if (lpMsg != nullptr) *lpMsg = taken;
    return TRUE;
}

SHORT WINAPI GetKeyState(int nVirtKey) {
    unsigned bit = 0;
    if (nVirtKey == VK_SHIFT) bit = kShiftKey;
    if (nVirtKey == VK_CONTROL) bit = kControlKey;
    if (nVirtKey == VK_MENU) bit = kAltKey;
    return (HeldModifiers() & bit) != 0 ? static_cast<SHORT>(0x8000) : 0;
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
    if (lpMsg == nullptr || lpMsg->message != WM_KEYDOWN) return FALSE;
    // Keys that type a character also queue it as WM_CHAR.
    switch (lpMsg->wParam) {
        case VK_ESCAPE:
        case VK_RETURN:
        case VK_BACK:
        case VK_TAB:
            PostMessageA(lpMsg->hwnd, WM_CHAR, lpMsg->wParam, lpMsg->lParam);
            return TRUE;
        default:
            // Letters, digits and the space bar type characters on Windows;
            // here only the controls' own input (the drivers' edits) does.
            if (lpMsg->wParam == ' ' || (lpMsg->wParam >= '0' && lpMsg->wParam <= 'Z')) {
                ReportUnsupported("TranslateMessage", "WM_CHAR for a character key");
            }
            return FALSE;
    }
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
    if (lpMsg == nullptr) return 0;
    Window* w = FindWindowObject(lpMsg->hwnd);
    if (w == nullptr || w->proc == nullptr) return 0;
    return w->proc(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowObject(hWnd);
    if (w == nullptr || w->proc == nullptr) return 0;
    return w->proc(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd != nullptr && FindWindowObject(hWnd) == nullptr) return FALSE;
    TheQueue().posted.push_back(Make(hWnd, Msg, wParam, lParam));
    return TRUE;
}

void WINAPI PostQuitMessage(int nExitCode) {
    TheQueue().quit = true;
    TheQueue().exit_code = nExitCode;
}
