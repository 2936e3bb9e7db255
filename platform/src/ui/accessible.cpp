// Active Accessibility's calls between a window and its reader: the object
// a window gives for WM_GETOBJECT is kept under a number until the reader
// takes it, and NotifyWinEvent goes to the driver, which tells the desktop.
#include <oleacc.h>

#include <map>

#include "platform/src/ui/state.h"

using namespace sorahiki::ui;

namespace {

// Objects handed out by LresultFromObject and not yet taken, each holding
// the reference that the taker receives.
std::map<LRESULT, IUnknown*>& KeptObjects() {
    static std::map<LRESULT, IUnknown*> kept;
    return kept;
}

}  // namespace

LRESULT WINAPI LresultFromObject(REFIID riid, WPARAM, LPUNKNOWN punk) {
    static LRESULT last = 0;
    if (punk == nullptr) return E_INVALIDARG;
    void* object = nullptr;
    if (FAILED(punk->QueryInterface(riid, &object))) return E_NOINTERFACE;
    KeptObjects()[++last] = static_cast<IUnknown*>(object);
    return last;
}

HRESULT WINAPI ObjectFromLresult(LRESULT lResult, REFIID riid, WPARAM, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    *ppvObject = nullptr;
    auto it = KeptObjects().find(lResult);
    if (it == KeptObjects().end()) return E_INVALIDARG;
    IUnknown* kept = it->second;
    KeptObjects().erase(it);
    const HRESULT hr = kept->QueryInterface(riid, ppvObject);
    kept->Release();
    return hr;
}

HRESULT WINAPI AccessibleObjectFromWindow(HWND hwnd, DWORD dwId, REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    *ppvObject = nullptr;
    if (FindWindowObject(hwnd) == nullptr) return E_INVALIDARG;
    const LRESULT answer = SendMessageA(hwnd, WM_GETOBJECT, 0, static_cast<LONG>(dwId));
    if (answer <= 0) return E_FAIL;
    return ObjectFromLresult(answer, riid, 0, ppvObject);
}

// The toolkit reads controls through objects of its own; there is no
// system object here for a program to wrap.
HRESULT WINAPI CreateStdAccessibleObject(HWND hwnd, LONG, REFIID, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    *ppvObject = nullptr;
    return FindWindowObject(hwnd) == nullptr ? E_INVALIDARG : E_NOTIMPL;
}

void WINAPI NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild) {
    if (FindWindowObject(hwnd) == nullptr) return;
    CurrentDriverRef().AccessibleEvent(hwnd, event, idObject, idChild);
}
