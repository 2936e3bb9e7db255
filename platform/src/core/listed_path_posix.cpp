// Finding a listed file again by its code page 932 path. Some names have a
// code page 932 form that converts back to another name ("〜" U+301C gives
// 0x81 0x60, which converts back to "～" U+FF5E), so the converted path may
// name nothing. Then each part of the path that is not there as converted is
// looked up in its folder by its code page 932 form, as the listing gave it.
#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

#include <sorahiki/codepage.h>
#include <sorahiki/cp932.h>

#include "platform/src/core/paths.h"

namespace {

using cp932::IsLeadByte;

// The parts of a path between separators ("/", or "\" at a character
// boundary); a leading separator gives an empty first part.
std::vector<std::string_view> SplitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i < path.size();) {
        auto c = static_cast<unsigned char>(path[i]);
        if (c == '/' || c == '\\') {
            parts.push_back(path.substr(start, i - start));
            start = ++i;
        } else {
            i += IsLeadByte(c) && i + 1 < path.size() ? 2 : 1;
        }
    }
    parts.push_back(path.substr(start));
    return parts;
}

bool IsAscii(std::string_view text) {
    for (unsigned char c : text) {
        if (c >= 0x80) return false;
    }
    return true;
}

// The one name in `folder` whose code page 932 form is `cp932Name`. Names
// that share a form are left out of the listing, so then nothing is found.
bool FindByForm(const std::string& folder, std::string_view cp932Name, std::string& name) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return false;
    int found = 0;
    std::string form;
    while (dirent* d = readdir(dir)) {
        if (!IsAscii(d->d_name) && Utf8ToCp932(d->d_name, form) && form == cp932Name) {
            name = d->d_name;
            ++found;
        }
    }
    closedir(dir);
    return found == 1;
}

// Resolves the first `count` parts of `parts` into `out`.
bool ResolveParts(const std::vector<std::string_view>& parts, size_t count, std::string& out) {
    out.clear();
    for (size_t i = 0; i < count; ++i) {
        if (i > 0 && out != "/") out += '/';
        if (i == 0 && parts[0].empty()) out = "/";
        if (parts[i].empty()) continue;
        std::string name;
        if (!Cp932ToUtf8(parts[i], name)) return false;
        std::string folder = out;
        struct stat st;
        if (lstat((out + name).c_str(), &st) != 0 && !FindByForm(folder, parts[i], name)) {
            return false;
        }
        out += name;
    }
    return true;
}

bool Resolve(std::string_view cp932Path, bool leaveLast, std::string& out) {
    std::vector<std::string_view> parts = SplitPath(cp932Path);
    size_t count = leaveLast ? parts.size() - 1 : parts.size();
    if (count == 0) out = ".";
    bool found = count == 0 || ResolveParts(parts, count, out);
    if (!found) errno = ENOENT;
    return found;
}

}  // namespace

bool FindListedPath(const char* cp932Path, std::string& utf8) {
    return Resolve(cp932Path, false, utf8);
}

bool FindListedFolder(const char* cp932Path, std::string& utf8Folder) {
    return Resolve(cp932Path, true, utf8Folder);
}
