// Folder watches through inotify: one descriptor for the set, one watch per
// folder, read without waiting.
#include <windows.h>

#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include <sorahiki/folderwatch.h>
#include <sorahiki/testhooks.h>

#include <sorahiki/listing.h>

#include "platform/src/core/listed_names.h"
#include "platform/src/posix/paths.h"

namespace folderwatch {

struct WatchSet {
    int descriptor;
};

namespace {

// Every change that can alter what a walk would list or read in the folder.
constexpr uint32_t kChanges = IN_CREATE | IN_DELETE | IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE |
                              IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;
// The changes that leave the folder's entries as they were.
constexpr uint32_t kFileChanges = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE;

// The listed name of a file the event names, when the listing surely gives
// it as its plain form: a name with a character of no form, or whose form
// another name may share, is listed by the whole folder's names, so it
// makes the folder's change (empty).
std::string ListedFileName(const inotify_event& event, const char* name) {
    if ((event.mask & ~kFileChanges) != 0 || event.len == 0 || name[0] == '\0') {
        return std::string();
    }
    const std::string_view system(name);
    std::string form = listed::ShownForm(system);
    if (listed::MarkedParts(form) != 0 ||
        listed::ShownForm(system, listed::FormRule::kOwnForm) != form) {
        return std::string();
    }
    return form;
}

// File systems whose files other machines or processes change without the
// kernel seeing it (network shares, FUSE): inotify would tell of nothing, so
// their folders get no watch and are listed every time.
bool ChangesGoUnseen(const std::string& path) {
    struct statfs info {};
    if (statfs(path.c_str(), &info) != 0) return true;
    switch (static_cast<unsigned long>(info.f_type)) {
        case 0x6969:      // NFS
        case 0x517B:      // SMB
        case 0xFF534D42:  // CIFS
        case 0xFE534D42:  // SMB2
        case 0x65735546:  // FUSE
        case 0x01021997:  // 9P
        case 0x00C36400:  // Ceph
        case 0x5346414F:  // AFS
            return true;
        default:
            return false;
    }
}

}  // namespace

WatchSet* Open() {
    const int descriptor = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (descriptor < 0) return nullptr;
    auto* set = new (std::nothrow) WatchSet{descriptor};
    if (set == nullptr) close(descriptor);
    return set;
}

void Close(WatchSet* set) {
    if (set == nullptr) return;
    close(set->descriptor);
    delete set;
}

long Add(WatchSet* set, const char* listedFolder) {
    std::string path;
    if (set == nullptr || testhooks::FolderWatchFails() || !OpenablePath(listedFolder, path) ||
        ChangesGoUnseen(path)) {
        return -1;
    }
    const int watch = inotify_add_watch(set->descriptor, path.c_str(), kChanges | IN_ONLYDIR);
    return watch < 0 ? -1 : watch;
}

// A watch the system ended (its folder removed) comes as IN_IGNORED: a
// change too.
bool TakeChanges(WatchSet* set, Changed changed, void* context) {
    if (set == nullptr) return false;
    bool whole = !testhooks::FolderChangesLost();
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t got = read(set->descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return whole && (got == 0 || errno == EAGAIN);
        for (ssize_t at = 0; at < got;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            if ((event.mask & IN_Q_OVERFLOW) != 0) whole = false;
            if (event.wd >= 0) {
                const std::string file = ListedFileName(event, buffer + at + sizeof(inotify_event));
                changed(event.wd, file.empty() ? nullptr : file.c_str(), context);
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
        }
    }
}

}  // namespace folderwatch
