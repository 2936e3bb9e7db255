// The accessible object's answers: each question answers from the view the
// announcer took last (screen/ResultsAnnouncer.cpp) for the object itself
// (CHILDID_SELF), the list of results, or for part k - 1 as child k.
#include "screen/ResultsAccessible.h"

#include "screen/ResultsParts.h"
#include "screen/SearchEdit.h"

namespace {

// The list's own name, "検索結果", in UTF-16.
constexpr WCHAR kListName[] = {0x691C, 0x7D22, 0x7D50, 0x679C, 0};

HRESULT ReturnText(const WideText& text, BSTR* pszOut) {
    if (pszOut == nullptr) return E_POINTER;
    *pszOut = nullptr;
    if (text.empty()) return S_FALSE;
    *pszOut = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *pszOut != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT ReturnLong(LONG nValue, VARIANT* pvarOut) {
    if (pvarOut == nullptr) return E_POINTER;
    VariantInit(pvarOut);
    pvarOut->vt = VT_I4;
    pvarOut->lVal = nValue;
    return S_OK;
}

}  // namespace

void CResultsAccessible::m_sub_Attach(const CSearchEdit* pScreen, HWND hWnd) {
    m_pScreen = pScreen;
    m_hWnd = hWnd;
}

// The view of the part a child id names; null for the object itself or an
// id out of range (*pbSelf tells which).
const CResultsAccessible::PartView* CResultsAccessible::m_sub_ViewOf(const VARIANT& varID,
                                                                     bool* pbSelf) const {
    *pbSelf = varID.vt == VT_I4 && varID.lVal == CHILDID_SELF;
    if (varID.vt != VT_I4 || varID.lVal < 1 || varID.lVal > m_nViews) return nullptr;
    return &m_views[varID.lVal - 1];
}

bool CResultsAccessible::m_sub_Focused() const {
    return m_hWnd != nullptr && GetFocus() == m_hWnd;
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IAccessible)) {
        *ppvObject = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CResultsAccessible::AddRef() {
    return ++m_nRefs;
}

ULONG STDMETHODCALLTYPE CResultsAccessible::Release() {
    return m_nRefs > 0 ? --m_nRefs : 0;
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::GetTypeInfoCount(UINT* pctinfo) {
    if (pctinfo == nullptr) return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID,
                                                            DISPID*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*,
                                                     VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

// The window's own object, which the system (not the layer) makes.
HRESULT STDMETHODCALLTYPE CResultsAccessible::get_accParent(IDispatch** ppdispParent) {
    if (ppdispParent == nullptr) return E_POINTER;
    *ppdispParent = nullptr;
    void* pParent = nullptr;
    if (FAILED(AccessibleObjectFromWindow(m_hWnd, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                          &pParent))) {
        return S_FALSE;
    }
    *ppdispParent = static_cast<IDispatch*>(pParent);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::get_accChildCount(LONG* pcountChildren) {
    if (pcountChildren == nullptr) return E_POINTER;
    *pcountChildren = m_nViews;
    return S_OK;
}

// Every child is a simple element, answered through this object.
HRESULT STDMETHODCALLTYPE CResultsAccessible::get_accChild(VARIANT, IDispatch** ppdispChild) {
    if (ppdispChild == nullptr) return E_POINTER;
    *ppdispChild = nullptr;
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::get_accName(VARIANT varID, BSTR* pszName) {
    bool bSelf = false;
    if (const PartView* view = m_sub_ViewOf(varID, &bSelf)) return ReturnText(view->name, pszName);
    if (bSelf) return ReturnText(WideText(kListName), pszName);
    return E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::get_accValue(VARIANT, BSTR* pszValue) {
    if (pszValue != nullptr) *pszValue = nullptr;
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::get_accDescription(VARIANT varID,
                                                                 BSTR* pszDescription) {
    bool bSelf = false;
    if (const PartView* view = m_sub_ViewOf(varID, &bSelf)) {
        return ReturnText(view->description, pszDescription);
    }
    if (bSelf) return ReturnText(WideText(), pszDescription);
    return E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::get_accRole(VARIANT varID, VARIANT* pvarRole) {
    bool bSelf = false;
    if (const PartView* view = m_sub_ViewOf(varID, &bSelf)) return ReturnLong(view->role, pvarRole);
    if (bSelf) return ReturnLong(ROLE_SYSTEM_LIST, pvarRole);
    return E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::get_accState(VARIANT varID, VARIANT* pvarState) {
    bool bSelf = false;
    if (const PartView* view = m_sub_ViewOf(varID, &bSelf))
        return ReturnLong(view->state, pvarState);
    if (!bSelf) return E_INVALIDARG;
    LONG state = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_READONLY;
    if (m_bViewFocused) state |= STATE_SYSTEM_FOCUSED;
    return ReturnLong(state, pvarState);
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::get_accHelp(VARIANT, BSTR* pszHelp) {
    if (pszHelp != nullptr) *pszHelp = nullptr;
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::get_accHelpTopic(BSTR* pszHelpFile, VARIANT,
                                                               LONG* pidTopic) {
    if (pszHelpFile != nullptr) *pszHelpFile = nullptr;
    if (pidTopic != nullptr) *pidTopic = 0;
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::get_accKeyboardShortcut(VARIANT,
                                                                      BSTR* pszKeyboardShortcut) {
    if (pszKeyboardShortcut != nullptr) *pszKeyboardShortcut = nullptr;
    return S_FALSE;
}

// The selected row while the results have the keyboard, else the list
// itself; nothing when the keyboard is elsewhere.
HRESULT STDMETHODCALLTYPE CResultsAccessible::get_accFocus(VARIANT* pvarID) {
    if (pvarID == nullptr) return E_POINTER;
    VariantInit(pvarID);
    if (!m_bViewFocused) return S_FALSE;
    return ReturnLong(m_nFocusChild, pvarID);
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::get_accSelection(VARIANT* pvarID) {
    if (pvarID == nullptr) return E_POINTER;
    VariantInit(pvarID);
    if (m_nSelectedChild == CHILDID_SELF) return S_FALSE;
    return ReturnLong(m_nSelectedChild, pvarID);
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::get_accDefaultAction(VARIANT,
                                                                   BSTR* pszDefaultAction) {
    if (pszDefaultAction != nullptr) *pszDefaultAction = nullptr;
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::accSelect(LONG, VARIANT) {
    return DISP_E_MEMBERNOTFOUND;
}

// In screen pixels, as the reader takes them.
HRESULT STDMETHODCALLTYPE CResultsAccessible::accLocation(LONG* pxLeft, LONG* pyTop, LONG* pcxWidth,
                                                          LONG* pcyHeight, VARIANT varID) {
    if (pxLeft == nullptr || pyTop == nullptr || pcxWidth == nullptr || pcyHeight == nullptr) {
        return E_POINTER;
    }
    bool bSelf = false;
    RECT rect{};
    if (const PartView* view = m_sub_ViewOf(varID, &bSelf)) {
        rect = view->rect;
    } else if (!bSelf || !GetClientRect(m_hWnd, &rect)) {
        return E_INVALIDARG;
    }
    POINT corner{rect.left, rect.top};
    ClientToScreen(m_hWnd, &corner);
    *pxLeft = corner.x;
    *pyTop = corner.y;
    *pcxWidth = rect.right - rect.left;
    *pcyHeight = rect.bottom - rect.top;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::accNavigate(LONG, VARIANT, VARIANT* pvarEnd) {
    if (pvarEnd != nullptr) VariantInit(pvarEnd);
    return E_NOTIMPL;
}

// The first part under the point, in reading order, else the list itself.
HRESULT STDMETHODCALLTYPE CResultsAccessible::accHitTest(LONG xLeft, LONG yTop, VARIANT* pvarID) {
    if (pvarID == nullptr) return E_POINTER;
    VariantInit(pvarID);
    POINT pt{xLeft, yTop};
    RECT client{};
    if (m_pScreen == nullptr || !ScreenToClient(m_hWnd, &pt) || !GetClientRect(m_hWnd, &client) ||
        !PtInRect(&client, pt)) {
        return S_FALSE;
    }
    for (int k = 0; k < m_nViews; ++k) {
        if (PtInRect(&m_views[k].rect, pt)) return ReturnLong(k + 1, pvarID);
    }
    return ReturnLong(CHILDID_SELF, pvarID);
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::accDoDefaultAction(VARIANT) {
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::put_accName(VARIANT, BSTR) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CResultsAccessible::put_accValue(VARIANT, BSTR) {
    return E_NOTIMPL;
}
