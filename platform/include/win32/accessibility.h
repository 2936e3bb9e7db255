// The part of COM, OLE Automation and Active Accessibility (MSAA) that the
// program uses to describe its drawn results to a screen reader, for the
// Linux build. The interfaces keep the slot order and signatures of the
// Win32 headers, so that one implementation builds against both; the GTK
// driver reads such an object and shows it to ATK.
//
// Where this falls short of Windows:
// - no apartments, no marshalling, no type libraries: an interface pointer
//   is only ever used on the program's one thread;
// - VARIANT holds VT_EMPTY, VT_I4, VT_BSTR and VT_DISPATCH only;
// - a BSTR is UTF-16 (WCHAR is char16_t, two bytes as on Windows), with its
//   byte length in the four bytes before it, as on Windows.
#pragma once

#include "types.h"

#define STDMETHODCALLTYPE

using HRESULT = LONG;
using VARTYPE = WORD;
using OLECHAR = WCHAR;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;
using DISPID = LONG;
using LCID = DWORD;

#define S_OK (static_cast<HRESULT>(0))
#define S_FALSE (static_cast<HRESULT>(1))
#define E_NOTIMPL (static_cast<HRESULT>(0x80004001L))
#define E_NOINTERFACE (static_cast<HRESULT>(0x80004002L))
#define E_POINTER (static_cast<HRESULT>(0x80004003L))
#define E_FAIL (static_cast<HRESULT>(0x80004005L))
#define E_OUTOFMEMORY (static_cast<HRESULT>(0x8007000EL))
#define E_INVALIDARG (static_cast<HRESULT>(0x80070057L))
#define DISP_E_MEMBERNOTFOUND (static_cast<HRESULT>(0x80020003L))
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
using IID = GUID;
using REFIID = const IID&;

inline bool IsEqualIID(REFIID a, REFIID b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i]) return false;
    }
    return true;
}

inline constexpr IID IID_IUnknown{
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IDispatch{
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IAccessible{
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// Never used here but named by IDispatch.
struct ITypeInfo;
struct DISPPARAMS;
struct EXCEPINFO;

struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

  protected:
    ~IUnknown() = default;
};
using LPUNKNOWN = IUnknown*;

#define VT_EMPTY 0
#define VT_I4 3
#define VT_BSTR 8
#define VT_DISPATCH 9

struct IDispatch;

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONG lVal;
        BSTR bstrVal;
        IDispatch* pdispVal;
        IUnknown* punkVal;
    };
};

struct IDispatch : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames,
                                                    LCID lcid, DISPID* rgDispId) = 0;
    virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid,
                                             WORD wFlags, DISPPARAMS* pDispParams,
                                             VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                             UINT* puArgErr) = 0;

  protected:
    ~IDispatch() = default;
};

struct IAccessible : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** ppdispParent) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* pcountChildren) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accChild(VARIANT varChildID, IDispatch** ppdispChild) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accName(VARIANT varID, BSTR* pszName) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accValue(VARIANT varID, BSTR* pszValue) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT varID, BSTR* pszDescription) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accRole(VARIANT varID, VARIANT* pvarRole) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accState(VARIANT varID, VARIANT* pvarState) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT varID, BSTR* pszHelp) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* pszHelpFile, VARIANT varID,
                                                       LONG* pidTopic) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT varID,
                                                              BSTR* pszKeyboardShortcut) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* pvarID) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* pvarID) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT varID,
                                                           BSTR* pszDefaultAction) = 0;
    virtual HRESULT STDMETHODCALLTYPE accSelect(LONG flagsSelect, VARIANT varID) = 0;
    virtual HRESULT STDMETHODCALLTYPE accLocation(LONG* pxLeft, LONG* pyTop, LONG* pcxWidth,
                                                  LONG* pcyHeight, VARIANT varID) = 0;
    virtual HRESULT STDMETHODCALLTYPE accNavigate(LONG navDir, VARIANT varStart,
                                                  VARIANT* pvarEnd) = 0;
    virtual HRESULT STDMETHODCALLTYPE accHitTest(LONG xLeft, LONG yTop, VARIANT* pvarID) = 0;
    virtual HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT varID) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_accName(VARIANT varID, BSTR szName) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_accValue(VARIANT varID, BSTR szValue) = 0;

  protected:
    ~IAccessible() = default;
};

// ---- Constants -------------------------------------------------------------
#define WM_GETOBJECT 0x003D

#define OBJID_WINDOW (static_cast<LONG>(0x00000000))
#define OBJID_CLIENT (static_cast<LONG>(0xFFFFFFFC))
#define CHILDID_SELF 0

#define EVENT_OBJECT_REORDER 0x8004
#define EVENT_OBJECT_FOCUS 0x8005
#define EVENT_OBJECT_SELECTION 0x8006
#define EVENT_OBJECT_STATECHANGE 0x800A
#define EVENT_OBJECT_NAMECHANGE 0x800C

#define ROLE_SYSTEM_STATUSBAR 0x17
#define ROLE_SYSTEM_CLIENT 0x0A
#define ROLE_SYSTEM_LINK 0x1E
#define ROLE_SYSTEM_LIST 0x21
#define ROLE_SYSTEM_LISTITEM 0x22
#define ROLE_SYSTEM_STATICTEXT 0x29
#define ROLE_SYSTEM_PUSHBUTTON 0x2B

#define STATE_SYSTEM_SELECTED 0x00000002
#define STATE_SYSTEM_FOCUSED 0x00000004
#define STATE_SYSTEM_READONLY 0x00000040
#define STATE_SYSTEM_INVISIBLE 0x00008000
#define STATE_SYSTEM_FOCUSABLE 0x00100000
#define STATE_SYSTEM_SELECTABLE 0x00200000
#define STATE_SYSTEM_LINKED 0x00400000

#define CP_ACP 0
#define CP_UTF8 65001

#define COINIT_APARTMENTTHREADED 0x2
#define COINIT_DISABLE_OLE1DDE 0x4

// ---- Functions -------------------------------------------------------------
// Nothing to set up here: every call is on the program's one thread. S_OK.
HRESULT WINAPI CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
// Strings of UTF-16 with their length before them; null for no memory.
BSTR WINAPI SysAllocString(const OLECHAR* psz);
BSTR WINAPI SysAllocStringLen(const OLECHAR* strIn, UINT ui);
void WINAPI SysFreeString(BSTR bstrString);
UINT WINAPI SysStringLen(BSTR pbstr);
void WINAPI VariantInit(VARIANT* pvarg);
// Frees a BSTR, releases an interface; the variant is VT_EMPTY afterwards.
HRESULT WINAPI VariantClear(VARIANT* pvarg);

// The answer to WM_GETOBJECT: the object is kept (AddRef) until a client
// takes it with ObjectFromLresult. wParam is ignored.
LRESULT WINAPI LresultFromObject(REFIID riid, WPARAM wParam, LPUNKNOWN punk);
// The object of a positive WM_GETOBJECT answer, queried for riid; the
// reference kept by LresultFromObject passes to the caller.
HRESULT WINAPI ObjectFromLresult(LRESULT lResult, REFIID riid, WPARAM wParam, void** ppvObject);
// Sends WM_GETOBJECT. A window that does not answer it has no standard
// object here: E_FAIL (no proxy is made).
HRESULT WINAPI AccessibleObjectFromWindow(HWND hwnd, DWORD dwId, REFIID riid, void** ppvObject);
// The system's object for a control, for a program to wrap: none here
// (E_NOTIMPL), the toolkit's own objects read the controls.
HRESULT WINAPI CreateStdAccessibleObject(HWND hwnd, LONG idObject, REFIID riid, void** ppvObject);
// Passed to the driver, which tells the desktop's accessibility layer.
void WINAPI NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild);
