// Icons of the program's resources. A group icon names its images, each a
// resource of its own; LoadIconA puts them back together as the bytes of an
// .ico file, which is what a driver hands to its image loader.
#include <map>
#include <memory>

#include "platform/src/ui/resources.h"
#include "platform/src/ui/state.h"

namespace sorahiki::ui {
namespace {

constexpr WORD kResourceIcon = 3;
constexpr WORD kResourceGroupIcon = 14;
constexpr std::size_t kHeaderBytes = 6;
constexpr std::size_t kGroupEntryBytes = 14;  // ends with the image's resource id
constexpr std::size_t kFileEntryBytes = 16;   // ends with the image's offset in the file

WORD WordAt(const std::uint8_t* p) {
    return static_cast<WORD>(p[0] | p[1] << 8);
}

void PutDword(std::vector<std::uint8_t>& out, std::size_t at, DWORD value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The .ico file of a group icon; empty when a part is missing.
std::vector<std::uint8_t> IconFile(const ResourceBytes& group) {
    if (group.size < kHeaderBytes) return {};
    const WORD count = WordAt(group.data + 4);
    if (group.size < kHeaderBytes + count * kGroupEntryBytes) return {};
    std::vector<std::uint8_t> file(group.data, group.data + kHeaderBytes);
    file.resize(kHeaderBytes + count * kFileEntryBytes);
    for (WORD i = 0; i < count; ++i) {
        const std::uint8_t* entry = group.data + kHeaderBytes + i * kGroupEntryBytes;
        ResourceBytes image;
        if (!FindProgramResource(kResourceIcon, MAKEINTRESOURCEA(WordAt(entry + 12)), &image)) {
            return {};
        }
        const std::size_t at = kHeaderBytes + i * kFileEntryBytes;
        std::copy(entry, entry + 8, file.begin() + static_cast<std::ptrdiff_t>(at));
        PutDword(file, at + 8, static_cast<DWORD>(image.size));
        PutDword(file, at + 12, static_cast<DWORD>(file.size()));
        file.insert(file.end(), image.data, image.data + image.size);
    }
    return file;
}

std::map<HICON, std::vector<std::uint8_t>>& Icons() {
    static std::map<HICON, std::vector<std::uint8_t>> icons;
    return icons;
}

}  // namespace

const std::vector<std::uint8_t>* IconFileOf(HICON icon) {
    auto it = Icons().find(icon);
    return it == Icons().end() ? nullptr : &it->second;
}

}  // namespace sorahiki::ui

using namespace sorahiki::ui;

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR lpIconName) {
    ResourceBytes group;
    if (!FindProgramResource(kResourceGroupIcon, lpIconName, &group)) {
        ReportUnsupported("LoadIconA", "an icon that is not among the program's resources");
        return nullptr;
    }
    // One handle per group, as the system shares a loaded icon.
    auto handle = reinterpret_cast<HICON>(const_cast<std::uint8_t*>(group.data));
    if (IconFileOf(handle) == nullptr) {
        std::vector<std::uint8_t> file = IconFile(group);
        if (file.empty()) return nullptr;
        Icons()[handle] = std::move(file);
    }
    return handle;
}
