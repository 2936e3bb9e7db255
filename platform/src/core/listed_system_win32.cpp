// The Windows calls under the finding of listed paths, with the conversion
// between the program's code page 932 and UTF-16 that every wide call of the
// layer uses, never the system's own code page.
#define SORAHIKI_LISTED_FILES_IMPLEMENTATION
#include <windows.h>

#include <sorahiki/cp932forms.h>
#include <sorahiki/listing.h>

#include "platform/src/core/listed_files_win32.h"
#include "platform/src/core/listed_path.h"

namespace {

constexpr UINT kCp932 = 932;

}  // namespace

std::wstring Wide(std::string_view text) {
    std::wstring wide;
    if (text.empty()) return wide;
    auto size = static_cast<int>(text.size());
    int length = MultiByteToWideChar(kCp932, 0, text.data(), size, nullptr, 0);
    wide.resize(static_cast<size_t>(length));
    MultiByteToWideChar(kCp932, 0, text.data(), size, wide.data(), length);
    return wide;
}

// Both characters of a pair that shares one form ("〜" and "～") take it.
std::string Narrow(std::wstring_view text) {
    std::string narrow;
    if (text.empty()) return narrow;
    std::wstring folded(text);
    for (wchar_t& c : folded) {
        for (const SharedCp932Form& pair : kSharedCp932Forms) {
            if (c == static_cast<wchar_t>(pair.alone)) c = static_cast<wchar_t>(pair.convertsBack);
        }
    }
    auto size = static_cast<int>(folded.size());
    int length = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, folded.data(), size, nullptr, 0,
                                     "?", nullptr);
    narrow.resize(static_cast<size_t>(length));
    WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, folded.data(), size, narrow.data(), length,
                        "?", nullptr);
    return narrow;
}

bool FindListedPath(const char* cp932Path, std::wstring& path) {
    return listed::ResolveListedPath(cp932Path, false, path);
}

std::wstring OpenablePath(const char* cp932Path) {
    std::wstring path;
    bool marked = listed::HoldsMark(cp932Path);
    if (marked && FindListedPath(cp932Path, path)) return path;
    path = Wide(cp932Path);
    std::wstring listed;
    if (!marked && GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
        FindListedPath(cp932Path, listed)) {
        return listed;
    }
    return path;
}

namespace listed {

bool SystemPart(std::string_view cp932Part, SystemString& out) {
    out = Wide(cp932Part);
    return out.find(L'\xFFFD') == SystemString::npos;
}

bool SystemExists(const SystemString& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

SystemString CurrentFolder() {
    DWORD size = GetCurrentDirectoryW(0, nullptr);
    SystemString current(size, L'\0');
    current.resize(GetCurrentDirectoryW(size, current.data()));
    return current;
}

std::string Utf8Of(const SystemString& name) {
    std::string utf8;
    if (name.empty()) return utf8;
    auto size = static_cast<int>(name.size());
    int length = WideCharToMultiByte(CP_UTF8, 0, name.data(), size, nullptr, 0, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(length));
    WideCharToMultiByte(CP_UTF8, 0, name.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

bool ForEachName(const SystemString& folder,
                 const std::function<bool(const SystemString&)>& visit) {
    std::wstring pattern = folder.empty() ? L"." : folder;
    if (pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW(pattern.c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return false;
    do {
        std::wstring name = entry.cFileName;
        if (name != L"." && name != L".." && visit(name)) break;
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return true;
}

}  // namespace listed
