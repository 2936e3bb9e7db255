// The names of a folder that a converted path does not open, kept per
// thread for the folders last searched, so that opening the files of one
// folder in a row lists it once rather than once per file.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/src/core/listed_folder.h"

namespace listed {

// The names of one folder that a converted path does not open: those listed
// with the mark, and those whose form converts back to another name.
class FolderTable {
  public:
    // False, with the system's error, when the folder cannot be listed.
    bool Build(const SystemString& folder);
    // The name listed under `form` and `key` (0 for a form without the
    // mark); null when none, or when several names have that unmarked form.
    const SystemString* NameOf(std::string_view form, unsigned long key) const;
    // How `name` is listed; null for a name that a converted path opens.
    const ListedName* ListingOf(const SystemString& name) const;

  private:
    void Add(std::string_view form, unsigned long key, const SystemString& name);

    std::unordered_map<std::string, SystemString> m_names;  // by form and key
    std::unordered_map<SystemString, ListedName> m_listings;
};

// The table of `folder` as this thread last built it, or built now (also
// when `rebuild`); null, with the system's error, when the folder cannot be
// listed. Sets `built` when it was built by this call.
std::shared_ptr<const FolderTable> TableOf(const SystemString& folder, bool rebuild, bool& built);

}  // namespace listed
