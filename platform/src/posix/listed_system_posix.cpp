// The Linux calls under the finding of listed paths: names are UTF-8 bytes.
#include <dirent.h>
#include <sys/stat.h>

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <sorahiki/codepage.h>
#include <sorahiki/listing.h>
#include <sorahiki/testhooks.h>

#include "platform/src/core/listed_folder.h"
#include "platform/src/core/listed_names.h"
#include "platform/src/core/listed_path.h"
#include "platform/src/posix/paths.h"

namespace listed {
namespace {

bool IsAscii(const SystemString& name) {
    for (char c : name) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

}  // namespace

bool SystemPart(std::string_view cp932Part, SystemString& out) {
    return Cp932ToUtf8(cp932Part, out);
}

bool SystemExists(const SystemString& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

SystemString CurrentFolder() {
    char* cwd = getcwd(nullptr, 0);
    SystemString current = cwd != nullptr ? cwd : "";
    std::free(cwd);
    return current;
}

std::string Utf8Of(const SystemString& name) {
    return name;
}

bool ForEachName(const SystemString& folder,
                 const std::function<bool(const SystemString&)>& visit) {
    if (testhooks::OpenFails()) {
        errno = EMFILE;
        return false;
    }
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return false;
    while (dirent* d = readdir(dir)) {
        if (!IsDotOrDotDot(d->d_name) && visit(d->d_name)) break;
    }
    closedir(dir);
    return true;
}

void SetNotFound() {
    errno = ENOENT;
}

void SetOutOfMemory() {
    errno = ENOMEM;
}

// Where several names share one unmarked form ("〜" and "～" both give
// 0x81 0x60), the form opens the name it converts back to; every other name
// of the group is marked where a character takes another's form, so that its
// path opens it by its key. Only a name with a character beyond ASCII can
// take another's form.
std::vector<std::string> ListedForms(const SystemString& /*folder*/,
                                     const std::vector<SystemString>& names) {
    std::vector<std::string> forms(names.size());
    std::unordered_map<std::string_view, size_t> shared;  // unmarked form: names
    std::vector<size_t> oneWay;
    for (size_t i = 0; i < names.size(); ++i) {
        forms[i] = ShownForm(names[i]);
        if (IsAscii(names[i]) || MarkedParts(forms[i]) != 0) continue;
        if (ShownForm(names[i], FormRule::kOwnForm) != forms[i]) oneWay.push_back(i);
    }
    if (oneWay.empty()) return forms;
    for (size_t i : oneWay) shared[forms[i]] = 0;
    for (const std::string& form : forms) {
        auto at = shared.find(form);
        if (at != shared.end()) ++at->second;
    }
    std::vector<size_t> marked;
    for (size_t i : oneWay) {
        std::string roundTrip;
        Cp932ToUtf8(forms[i], roundTrip);
        if (shared[forms[i]] > 1 && names[i] != roundTrip) marked.push_back(i);
    }
    for (size_t i : marked) forms[i] = ShownForm(names[i], FormRule::kOwnForm);
    return forms;
}

}  // namespace listed

bool FindListedPath(const char* cp932Path, std::string& utf8) {
    return listed::ResolveListedPath(cp932Path, false, utf8);
}

bool FindListedFolder(const char* cp932Path, std::string& utf8Folder) {
    return listed::ResolveListedPath(cp932Path, true, utf8Folder);
}

bool OpenablePath(const char* cp932Path, std::string& utf8) {
    if (listed::HoldsMark(cp932Path) || !Utf8PathFromCp932(cp932Path, utf8)) {
        return FindListedPath(cp932Path, utf8);
    }
    struct stat st;
    if (lstat(utf8.c_str(), &st) == 0 || errno != ENOENT) return true;
    return FindListedPath(cp932Path, utf8);
}
