// The wrapped object of a named button: every question goes to the system's
// own object for the button, but its name. Each WM_GETOBJECT makes one,
// owned by its references; it keeps a copy of the name, so that it outlives
// the button safely.
#include "screen/ReaderNamedButton.h"

#include <oleacc.h>

#include "screen/WideText.h"

namespace {

class CNamedButtonAccessible final : public IAccessible {
  public:
    CNamedButtonAccessible(IAccessible* pSystem, WideText name)
        : m_pSystem(pSystem), m_name(std::move(name)) {}
    virtual ~CNamedButtonAccessible() {
        if (m_pSystem != nullptr) m_pSystem->Release();
    }
    CNamedButtonAccessible(const CNamedButtonAccessible&) = delete;
    CNamedButtonAccessible& operator=(const CNamedButtonAccessible&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        if (ppvObject == nullptr) return E_POINTER;
        *ppvObject = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch) &&
            !IsEqualIID(riid, IID_IAccessible)) {
            return E_NOINTERFACE;
        }
        *ppvObject = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRefs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG nRefs = --m_nRefs;
        if (nRefs == 0) delete this;
        return nRefs;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override {
        if (pctinfo == nullptr) return E_POINTER;
        *pctinfo = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT varID, BSTR* pszName) override {
        if (varID.vt != VT_I4 || varID.lVal != CHILDID_SELF) {
            return m_pSystem ? m_pSystem->get_accName(varID, pszName) : E_INVALIDARG;
        }
        if (pszName == nullptr) return E_POINTER;
        *pszName = SysAllocStringLen(m_name.data(), static_cast<UINT>(m_name.size()));
        return *pszName != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    // The rest is the system's answer, where the system has an object.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** ppdispParent) override {
        return Ask(&IAccessible::get_accParent, ppdispParent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* pcountChildren) override {
        return Ask(&IAccessible::get_accChildCount, pcountChildren);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT varChildID, IDispatch** ppdispChild) override {
        return Ask(&IAccessible::get_accChild, varChildID, ppdispChild);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT varID, BSTR* pszValue) override {
        return Ask(&IAccessible::get_accValue, varID, pszValue);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT varID, BSTR* pszDescription) override {
        return Ask(&IAccessible::get_accDescription, varID, pszDescription);
    }
    // A push button, whatever the system's object for its class says.
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT varID, VARIANT* pvarRole) override {
        if (varID.vt != VT_I4 || varID.lVal != CHILDID_SELF) {
            return Ask(&IAccessible::get_accRole, varID, pvarRole);
        }
        if (pvarRole == nullptr) return E_POINTER;
        VariantInit(pvarRole);
        pvarRole->vt = VT_I4;
        pvarRole->lVal = ROLE_SYSTEM_PUSHBUTTON;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT varID, VARIANT* pvarState) override {
        return Ask(&IAccessible::get_accState, varID, pvarState);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT varID, BSTR* pszHelp) override {
        return Ask(&IAccessible::get_accHelp, varID, pszHelp);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* pszHelpFile, VARIANT varID,
                                               LONG* pidTopic) override {
        return Ask(&IAccessible::get_accHelpTopic, pszHelpFile, varID, pidTopic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT varID,
                                                      BSTR* pszKeyboardShortcut) override {
        return Ask(&IAccessible::get_accKeyboardShortcut, varID, pszKeyboardShortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* pvarChild) override {
        return Ask(&IAccessible::get_accFocus, pvarChild);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* pvarChildren) override {
        return Ask(&IAccessible::get_accSelection, pvarChildren);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT varID, BSTR* pszDefaultAction) override {
        return Ask(&IAccessible::get_accDefaultAction, varID, pszDefaultAction);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flagsSelect, VARIANT varID) override {
        return Ask(&IAccessible::accSelect, flagsSelect, varID);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* pxLeft, LONG* pyTop, LONG* pcxWidth,
                                          LONG* pcyHeight, VARIANT varID) override {
        return Ask(&IAccessible::accLocation, pxLeft, pyTop, pcxWidth, pcyHeight, varID);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG navDir, VARIANT varStart,
                                          VARIANT* pvarEndUpAt) override {
        return Ask(&IAccessible::accNavigate, navDir, varStart, pvarEndUpAt);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG xLeft, LONG yTop, VARIANT* pvarChild) override {
        return Ask(&IAccessible::accHitTest, xLeft, yTop, pvarChild);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT varID) override {
        return Ask(&IAccessible::accDoDefaultAction, varID);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT varID, BSTR szName) override {
        return Ask(&IAccessible::put_accName, varID, szName);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT varID, BSTR szValue) override {
        return Ask(&IAccessible::put_accValue, varID, szValue);
    }

  private:
    template <typename Method, typename... Args>
    HRESULT Ask(Method method, Args... args) {
        return m_pSystem != nullptr ? (m_pSystem->*method)(args...) : E_NOTIMPL;
    }

    IAccessible* m_pSystem;  // owned reference, or null where the system has none
    WideText m_name;
    ULONG m_nRefs = 1;
};

struct NamedButton {
    HWND hButton = nullptr;
    WNDPROC pfnSystemProc = nullptr;
    WideText name;
};

constexpr int kMaxNamedButtons = 4;
NamedButton g_namedButtons[kMaxNamedButtons];

NamedButton* NamedButtonOf(HWND hButton) {
    for (NamedButton& button : g_namedButtons) {
        if (button.hButton == hButton) return &button;
    }
    return nullptr;
}

LRESULT AnswerReader(HWND hButton, const WideText& name, WPARAM wParam) {
    IAccessible* pSystem = nullptr;
    if (FAILED(CreateStdAccessibleObject(hButton, OBJID_CLIENT, IID_IAccessible,
                                         reinterpret_cast<void**>(&pSystem)))) {
        pSystem = nullptr;  // the name alone, then
    }
    auto* pNamed = new CNamedButtonAccessible(pSystem, name);
    const LRESULT answer = LresultFromObject(IID_IAccessible, wParam, pNamed);
    pNamed->Release();
    return answer;
}

LRESULT CALLBACK NamedButtonProc(HWND hButton, UINT message, WPARAM wParam, LPARAM lParam) {
    NamedButton* button = NamedButtonOf(hButton);
    if (button == nullptr) return DefWindowProcA(hButton, message, wParam, lParam);
    const WNDPROC pfnSystemProc = button->pfnSystemProc;
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        return AnswerReader(hButton, button->name, wParam);
    }
    if (message == WM_NCDESTROY) *button = NamedButton{};
    return CallWindowProcA(pfnSystemProc, hButton, message, wParam, lParam);
}

}  // namespace

void NameButtonForReaders(HWND hButton, const char* pszName) {
    if (hButton == nullptr) return;
    NamedButton* button = NamedButtonOf(hButton);
    if (button == nullptr) button = NamedButtonOf(nullptr);
    if (button == nullptr) return;
    button->name = FromCp932(pszName);
    if (button->hButton == nullptr) {
        button->hButton = hButton;
        button->pfnSystemProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hButton, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NamedButtonProc)));
    }
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hButton, OBJID_CLIENT, CHILDID_SELF);
}
