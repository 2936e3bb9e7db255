// Strings and variants of OLE Automation, and code page 932 to UTF-16: what
// an accessible object hands to its reader. A BSTR points past a four-byte
// byte count, and ends with a NUL that the count leaves out.
#include <oleacc.h>
#include <sorahiki/codepage.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr size_t kCountBytes = sizeof(DWORD);

// UTF-16 of UTF-8 that Cp932ToUtf8 made, so always well formed.
std::u16string Utf16FromUtf8(const std::string& utf8) {
    std::u16string out;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k) {
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        i += extra + 1;
        if (c >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

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

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar) {
    if ((CodePage != 932 && CodePage != CP_ACP) || lpMultiByteStr == nullptr) return 0;
    // A count of -1 takes the text up to its NUL, which is converted too.
    const size_t length =
        cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
    std::string utf8;
    Cp932ToUtf8(std::string_view(lpMultiByteStr, length), utf8);
    const std::u16string wide = Utf16FromUtf8(utf8);
    if (cchWideChar == 0) return static_cast<int>(wide.size());
    if (lpWideCharStr == nullptr || static_cast<size_t>(cchWideChar) < wide.size()) return 0;
    std::memcpy(lpWideCharStr, wide.data(), wide.size() * sizeof(WCHAR));
    return static_cast<int>(wide.size());
}
