// Finding a listed path again, part by part. A part with the mark is the
// name in its folder with that form and key; another part is the name it
// converts to when that is there ("～" for 0x81 0x60), or else the one name
// whose form it is ("〜", whose form converts back to "～"). The folder of
// the last path found, and the tables of the last folders searched, are kept
// per thread: a walk opens the files of one folder in a row.
#include "platform/src/core/listed_path.h"

#include <memory>
#include <new>
#include <vector>

#include <sorahiki/codepage.h>
#include <sorahiki/cp932.h>
#include <sorahiki/listing.h>

#include "platform/src/core/listed_names.h"
#include "platform/src/core/listed_table.h"
#include "platform/src/core/thread_slot.h"

namespace listed {
namespace {

struct Part {
    std::string_view text;
    bool marked = false;
    unsigned long key = 0;
};

// The parts of a path between separators at character boundaries, each
// marked part with its key; a leading separator gives an empty first part.
std::vector<Part> SplitPath(const char* path) {
    std::string_view text(path);
    std::vector<Part> parts;
    size_t start = 0;
    for (size_t i = 0; i <= text.size();) {
        if (i == text.size() || IsSeparator(static_cast<unsigned char>(text[i]))) {
            parts.push_back(Part{text.substr(start, i - start)});
            start = ++i;
            continue;
        }
        i += cp932::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    }
    size_t marked = 0;
    for (Part& part : parts) {
        part.marked = MarkedParts(part.text) != 0;
        if (part.marked) part.key = KeyOf(path, marked++);
    }
    return parts;
}

SystemString Join(const SystemString& folder, const SystemString& name) {
    if (folder.empty()) return name;
    if (folder.back() == kSystemSeparator) return folder + name;
    return folder + kSystemSeparator + name;
}

// The name of `folder` listed under the part's form and key, from the
// folder's table; a table that no longer holds it is built again once.
bool FindInTable(const SystemString& folder, const Part& part, SystemString& name) {
    bool built = false;
    for (bool rebuild = false; !built; rebuild = true) {
        std::shared_ptr<const FolderTable> table = TableOf(folder, rebuild, built);
        if (table == nullptr) return false;  // the listing's own error stands
        const SystemString* found = table->NameOf(part.text, part.marked ? part.key : 0);
        if (found != nullptr && SystemExists(Join(folder, *found))) {
            name = *found;
            return true;
        }
    }
    SetNotFound();
    return false;
}

bool FindPart(const SystemString& folder, const Part& part, SystemString& name) {
    if (!part.marked && SystemPart(part.text, name) && SystemExists(Join(folder, name))) {
        return true;
    }
    return FindInTable(folder, part, name);
}

// The text of the first `count` parts with their keys: what names a folder
// from the current one.
std::string FolderKey(const std::vector<Part>& parts, size_t count) {
    std::string key;
    for (size_t i = 0; i < count; ++i) {
        key.append(parts[i].text);
        key += '/';
        if (!parts[i].marked) continue;
        char bytes[kKeyBytes];
        WriteKey(parts[i].key, bytes);
        key.append(bytes, kKeyBytes);
    }
    return key;
}

struct LastFolder {
    SystemString current;  // the current folder it was found from
    std::string key;
    SystemString path;
};

bool ResolveParts(const std::vector<Part>& parts, size_t count, SystemString& out) {
    static CThreadSlot<LastFolder> slot;
    LastFolder* thisThreads = slot.Get();
    if (thisThreads == nullptr) throw std::bad_alloc();
    LastFolder& last = *thisThreads;
    size_t first = 0;
    out.clear();
    std::string folderKey = count > 1 ? FolderKey(parts, count - 1) : std::string();
    SystemString current = CurrentFolder();
    if (count > 1 && folderKey == last.key && current == last.current) {
        out = last.path;
        first = count - 1;
    }
    for (size_t i = first; i < count; ++i) {
        if (i == count - 1 && count > 1 && first == 0) last = LastFolder{current, folderKey, out};
        if (parts[i].text.empty()) {
            if (i == 0) out = SystemString(1, kSystemSeparator);
            continue;
        }
        SystemString name;
        if (!FindPart(out, parts[i], name)) return false;
        out = Join(out, name);
    }
    return true;
}

}  // namespace

bool ResolveListedPath(const char* cp932Path, bool leaveLast, SystemString& out) {
    try {
        std::vector<Part> parts = SplitPath(cp932Path);
        size_t count = leaveLast ? parts.size() - 1 : parts.size();
        if (count == 0) {
            out = SystemString(1, '.');
            return true;
        }
        return ResolveParts(parts, count, out);
    } catch (const std::bad_alloc&) {
        SetOutOfMemory();
        return false;
    }
}

std::string ListedFormOf(const SystemString& path) {
    std::string form, keys;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/' && path[i] != kSystemSeparator) continue;
        SystemString name = path.substr(start, i - start);
        std::string shown = ShownForm(Units(name));
        form += shown;
        if (i < path.size()) form += static_cast<char>(kSystemSeparator);
        if (MarkedParts(shown) != 0) {
            char key[kKeyBytes];
            WriteKey(NameKey(Units(name)), key);
            keys.append(key, kKeyBytes);
        }
        start = i + 1;
    }
    return form + '\0' + keys;
}

}  // namespace listed

std::string ListedPathUtf8(const char* cp932Path) {
    listed::SystemString path;
    std::string utf8;
    // An empty path names nothing (resolved, it would read as the root).
    if (cp932Path[0] == '\0') return utf8;
    if (!listed::ResolveListedPath(cp932Path, false, path)) {
        Cp932ToUtf8(cp932Path, utf8);
        return utf8;
    }
    utf8 = listed::Utf8Of(path);
    for (char& c : utf8) {
        if (c == static_cast<char>(listed::kSystemSeparator)) c = '/';
    }
    return utf8;
}
