// The Windows calls under the finding of listed paths, with the conversion
// between the program's code page 932 and UTF-16 that every wide call of the
// layer uses, never the system's own code page.
#define SORAHIKI_LISTED_FILES_IMPLEMENTATION
#include <windows.h>

#include <sorahiki/cp932forms.h>
#include <sorahiki/listing.h>
#include <sorahiki/testhooks.h>

#include "platform/src/win32/listed_files_win32.h"
#include "platform/src/core/listed_folder.h"
#include "platform/src/core/listed_names.h"
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

bool OpenablePath(const char* cp932Path, std::wstring& path) {
    if (listed::HoldsMark(cp932Path)) return FindListedPath(cp932Path, path);
    path = Wide(cp932Path);
    std::wstring listed;
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
        FindListedPath(cp932Path, listed)) {
        path = listed;
    }
    return true;
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
    if (testhooks::OpenFails()) {
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return false;
    }
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

void SetNotFound() {
    SetLastError(ERROR_FILE_NOT_FOUND);
}

void SetOutOfMemory() {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
}

namespace {

// Where the form converts back to another name of the folder ("〜" gives the
// form of "～"), the characters that take another's form are marked, so that
// the path opens this name by its key.
std::string ListedForm(const SystemString& folder, const SystemString& name) {
    std::string form = ShownForm(Units(name));
    if (MarkedParts(form) != 0) return form;
    std::wstring back = Wide(form);
    if (back == name || !SystemExists(folder.empty() ? back : folder + L'\\' + back)) return form;
    return ShownForm(Units(name), FormRule::kOwnForm);
}

}  // namespace

std::vector<std::string> ListedForms(const SystemString& folder,
                                     const std::vector<SystemString>& names) {
    std::vector<std::string> forms;
    forms.reserve(names.size());
    for (const SystemString& name : names) forms.push_back(ListedForm(folder, name));
    return forms;
}

}  // namespace listed
