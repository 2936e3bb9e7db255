// Strings and variants of OLE Automation: what an accessible object hands
// to its reader. A BSTR points past a four-byte byte count, and ends with a
// NUL that the count leaves out.
#include <oleacc.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kCountBytes = sizeof(DWORD);

}  // namespace

HRESULT WINAPI CoInitializeEx(LPVOID, DWORD) {
    return S_OK;
}

BSTR WINAPI SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
    auto* block =
        static_cast<unsigned char*>(std::malloc(kCountBytes + (ui + 1) * sizeof(OLECHAR)));
    if (block == nullptr) return nullptr;
    const DWORD bytes = ui * sizeof(OLECHAR);
    std::memcpy(block, &bytes, kCountBytes);
    auto* text = reinterpret_cast<OLECHAR*>(block + kCountBytes);
    if (strIn != nullptr) {
        std::memcpy(text, strIn, bytes);
    } else {
        std::memset(text, 0, bytes);
    }
    text[ui] = 0;
    return text;
}

BSTR WINAPI SysAllocString(const OLECHAR* psz) {
    if (psz == nullptr) return nullptr;
    UINT length = 0;
    while (psz[length] != 0) ++length;
    return SysAllocStringLen(psz, length);
}

void WINAPI SysFreeString(BSTR bstrString) {
    if (bstrString != nullptr)
        std::free(reinterpret_cast<unsigned char*>(bstrString) - kCountBytes);
}

UINT WINAPI SysStringLen(BSTR pbstr) {
    if (pbstr == nullptr) return 0;
    DWORD bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<unsigned char*>(pbstr) - kCountBytes, kCountBytes);
    return bytes / sizeof(OLECHAR);
}

void WINAPI VariantInit(VARIANT* pvarg) {
    std::memset(pvarg, 0, sizeof *pvarg);
}

HRESULT WINAPI VariantClear(VARIANT* pvarg) {
    if (pvarg == nullptr) return E_INVALIDARG;
    if (pvarg->vt == VT_BSTR) SysFreeString(pvarg->bstrVal);
    if (pvarg->vt == VT_DISPATCH && pvarg->pdispVal != nullptr) pvarg->pdispVal->Release();
    VariantInit(pvarg);
    return S_OK;
}
