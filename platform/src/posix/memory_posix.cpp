// Global memory blocks, which the clipboard takes, and the conversion of code
// page 932 text to UTF-16 that fills them.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include <sorahiki/codepage.h>

HGLOBAL WINAPI GlobalAlloc(UINT uFlags, std::size_t dwBytes) {
    void* block = (uFlags & GMEM_ZEROINIT) ? std::calloc(1, dwBytes ? dwBytes : 1)
                                           : std::malloc(dwBytes ? dwBytes : 1);
    if (block == nullptr) SetLastError(8);  // ERROR_NOT_ENOUGH_MEMORY
    return block;
}

LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
    return hMem;
}

BOOL WINAPI GlobalUnlock(HGLOBAL) {
    return FALSE;  // no lock is counted, so none is left
}

HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
    std::free(hMem);
    return nullptr;
}

namespace {

// Appends the UTF-16 code units of the UTF-8 text, which the code page
// conversion made and which is therefore valid.
void AppendUtf16(const std::string& utf8, std::u16string& out) {
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1   ? lead
                        : length == 2 ? lead & 0x1F
                        : length == 3 ? lead & 0x0F
                                      : lead & 0x07;
        for (int k = 1; k < length && i + k < utf8.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
        i += static_cast<size_t>(length);
    }
}

}  // namespace

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar) {
    if ((CodePage != 932 && CodePage != CP_ACP) || lpMultiByteStr == nullptr || cchWideChar < 0) {
        SetLastError(87);  // ERROR_INVALID_PARAMETER
        return 0;
    }
    const size_t bytes =
        cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
    std::string utf8;
    Cp932ToUtf8(std::string_view(lpMultiByteStr, bytes), utf8);
    std::u16string wide;
    AppendUtf16(utf8, wide);
    const int needed = static_cast<int>(wide.size());
    if (cchWideChar == 0) return needed;
    if (needed > cchWideChar) {
        SetLastError(122);  // ERROR_INSUFFICIENT_BUFFER
        return 0;
    }
    std::memcpy(lpWideCharStr, wide.data(), wide.size() * sizeof(char16_t));
    return needed;
}
