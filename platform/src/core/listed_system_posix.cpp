// The Linux calls under the finding of listed paths: names are UTF-8 bytes.
#include <dirent.h>
#include <sys/stat.h>

#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include <sorahiki/codepage.h>
#include <sorahiki/listing.h>

#include "platform/src/core/listed_path.h"
#include "platform/src/core/paths.h"

namespace listed {

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
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return false;
    while (dirent* d = readdir(dir)) {
        if (!IsDotOrDotDot(d->d_name) && visit(d->d_name)) break;
    }
    closedir(dir);
    return true;
}

}  // namespace listed

bool FindListedPath(const char* cp932Path, std::string& utf8) {
    bool found = listed::ResolveListedPath(cp932Path, false, utf8);
    if (!found) errno = ENOENT;
    return found;
}

bool FindListedFolder(const char* cp932Path, std::string& utf8Folder) {
    bool found = listed::ResolveListedPath(cp932Path, true, utf8Folder);
    if (!found) errno = ENOENT;
    return found;
}
