// The results area as an accessible object: the main window gives it for
// WM_GETOBJECT (OBJID_CLIENT), a list whose simple children are the parts
// of screen/ResultsParts.h, child id k being part k - 1. It lives in the
// search screen for the whole process: references are counted, never freed.
// Its answers are of one moment: the view the announcer took when it last
// told of a change (a reader that walks the children while a search adds
// rows reads one state, and hears of the next).
// The announcer, called once per turn of the frame loop, tells the reader
// when the shown parts change, when the keyboard's row or page-strip element
// moves, and once when a search ends, what the count box then says.
//
// Threads: only the window's thread calls it, as it calls the painters.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include "screen/ResultsParts.h"

class CSearchEdit;

class CResultsAccessible final : public IAccessible {
  public:
    CResultsAccessible() = default;
    virtual ~CResultsAccessible() {}
    CResultsAccessible(const CResultsAccessible&) = delete;
    CResultsAccessible& operator=(const CResultsAccessible&) = delete;

    // The search screen it describes and the window that shows it.
    void m_sub_Attach(const CSearchEdit* pScreen, HWND hWnd);
    // One frame step: events for what changed since the last (cheap when
    // nothing did). Defined in screen/ResultsAnnouncer.cpp.
    int m_sub_Announce();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch: not offered, readers call the interface directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames,
                                            LCID lcid, DISPID* rgDispId) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                     DISPPARAMS* pDispParams, VARIANT* pVarResult,
                                     EXCEPINFO* pExcepInfo, UINT* puArgErr) override;
    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** ppdispParent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* pcountChildren) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT varChildID, IDispatch** ppdispChild) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT varID, BSTR* pszName) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT varID, BSTR* pszValue) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT varID, BSTR* pszDescription) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT varID, VARIANT* pvarRole) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT varID, VARIANT* pvarState) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT varID, BSTR* pszHelp) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* pszHelpFile, VARIANT varID,
                                               LONG* pidTopic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT varID,
                                                      BSTR* pszKeyboardShortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* pvarID) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* pvarID) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT varID, BSTR* pszDefaultAction) override;
    HRESULT STDMETHODCALLTYPE accSelect(LONG flagsSelect, VARIANT varID) override;
    HRESULT STDMETHODCALLTYPE accLocation(LONG* pxLeft, LONG* pyTop, LONG* pcxWidth,
                                          LONG* pcyHeight, VARIANT varID) override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG navDir, VARIANT varStart, VARIANT* pvarEnd) override;
    HRESULT STDMETHODCALLTYPE accHitTest(LONG xLeft, LONG yTop, VARIANT* pvarID) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT varID) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT varID, BSTR szName) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT varID, BSTR szValue) override;

  private:
    // What the announcer last told, to notice changes.
    struct Told {
        int nParts = -1;
        int nFirstHit = -1;
        int nHitCount = -1;
        int nHistory = -1;
        int nRow = -1;
        int nStripElement = -1;
        int nSearchesEnded = 0;
        bool bSearching = false;
        bool bFocused = false;
        bool operator==(const Told&) const = default;
    };

    // One part as the view has it.
    struct PartView {
        WideText name;
        WideText description;
        LONG role = 0;
        LONG state = 0;
        RECT rect{};
    };

    bool m_sub_Focused() const;
    Told m_sub_Now() const;
    void m_sub_TakeView();
    const PartView* m_sub_ViewOf(const VARIANT& varID, bool* pbSelf) const;

    const CSearchEdit* m_pScreen = nullptr;
    HWND m_hWnd = nullptr;
    ULONG m_nRefs = 0;
    Told m_told;
    PartView m_views[kMaxResultsParts];
    int m_nViews = 0;
    bool m_bViewFocused = false;
    LONG m_nFocusChild = CHILDID_SELF;     // the keyboard's part while focused
    LONG m_nSelectedChild = CHILDID_SELF;  // the selected row
};
