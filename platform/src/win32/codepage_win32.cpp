// Code page conversion over the system's own tables: code page 932 and UTF-8
// meet in UTF-16.
#include <sorahiki/codepage.h>
#include <sorahiki/cp932.h>
#include <windows.h>

namespace {

constexpr UINT kCp932 = 932;
constexpr wchar_t kReplacement = 0xFFFD;

// Converts one code page 932 character (one or two bytes); false when the
// bytes form no character.
bool AppendCp932Char(const char* bytes, int length, std::wstring& wide) {
    wchar_t unit[2];
    int n = MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, bytes, length, unit, 2);
    if (n <= 0) return false;
    wide.append(unit, static_cast<size_t>(n));
    return true;
}

bool Cp932ToWide(std::string_view in, std::wstring& wide) {
    bool clean = true;
    size_t i = 0;
    while (i < in.size()) {
        auto c = static_cast<unsigned char>(in[i]);
        int length = cp932::IsLeadByte(c) && i + 1 < in.size() ? 2 : 1;
        if (AppendCp932Char(in.data() + i, length, wide)) {
            i += static_cast<size_t>(length);
            continue;
        }
        // The byte begins no valid character: stand in for it and go on
        // with the next byte.
        wide.push_back(kReplacement);
        clean = false;
        ++i;
    }
    return clean;
}

void WideToUtf8(const std::wstring& wide, std::string& out) {
    out.clear();
    if (wide.empty()) return;
    int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                   0, nullptr, nullptr);
    out.resize(static_cast<size_t>(size));
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size,
                        nullptr, nullptr);
}

}  // namespace

bool Cp932ToUtf8(std::string_view in, std::string& out) {
    std::wstring wide;
    bool clean = Cp932ToWide(in, wide);
    WideToUtf8(wide, out);
    return clean;
}

bool Utf8ToCp932(std::string_view in, std::string& out) {
    out.clear();
    if (in.empty()) return true;
    int inLength = static_cast<int>(in.size());
    bool clean = true;
    int wideSize =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, in.data(), inLength, nullptr, 0);
    if (wideSize <= 0) {
        clean = false;  // not valid UTF-8: convert what can be, with stand-ins
        wideSize = MultiByteToWideChar(CP_UTF8, 0, in.data(), inLength, nullptr, 0);
    }
    std::wstring wide(static_cast<size_t>(wideSize), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, in.data(), inLength, wide.data(), wideSize);
    BOOL usedDefault = FALSE;
    int size = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize, nullptr, 0,
                                   "?", &usedDefault);
    out.resize(static_cast<size_t>(size));
    WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), wideSize, out.data(), size, "?",
                        &usedDefault);
    return clean && !usedDefault;
}
