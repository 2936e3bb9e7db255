// Finding a listed path again: the file system's path of the entry that a
// listing handed out by its code page 932 path. One routine for both builds
// (listed_path.cpp) over a few calls that each system gives
// (listed_system_posix.cpp, listed_system_win32.cpp).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace listed {

#if defined(_WIN32)
using SystemString = std::wstring;
inline constexpr wchar_t kSystemSeparator = L'\\';
inline std::u16string_view Units(const SystemString& name) {
    return {reinterpret_cast<const char16_t*>(name.data()), name.size()};
}
#else
using SystemString = std::string;
inline constexpr char kSystemSeparator = '/';
inline std::string_view Units(const SystemString& name) {
    return name;
}
#endif

// Each system's part.
// A part of a path in code page 932 as the system names it, converted as it
// is; false when it has no such name.
bool SystemPart(std::string_view cp932Part, SystemString& out);
bool SystemExists(const SystemString& path);
SystemString CurrentFolder();
std::string Utf8Of(const SystemString& name);
// Calls `visit` with each name of `folder` ("" for the current folder), "."
// and ".." left out, until it returns true. False when the folder cannot be
// listed.
bool ForEachName(const SystemString& folder, const std::function<bool(const SystemString&)>& visit);
// The system's error for a path that names nothing, and for want of memory.
void SetNotFound();
void SetOutOfMemory();

// The file system's path of a listed path (every part, or every part but the
// last with `leaveLast`): a marked part is the name of its form and key; any
// other part is the name it converts to, or else the one name of its form.
// False when some part is not found, or when a folder on the way cannot be
// listed or memory runs out: the system's error tells which.
bool ResolveListedPath(const char* cp932Path, bool leaveLast, SystemString& out);

// The listed form of a path of the file system: each part's form, and after
// the NUL the keys of the marked parts.
std::string ListedFormOf(const SystemString& path);

}  // namespace listed
