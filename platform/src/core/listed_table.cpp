// The tables of the folders a thread last searched. A table is a snapshot:
// whoever takes a name from it checks that the name is still there, and asks
// for a new table when it is not.
#include "platform/src/core/listed_table.h"

#include <algorithm>
#include <new>
#include <vector>

#include <sorahiki/listing.h>

#include "platform/src/core/listed_names.h"
#include "platform/src/core/thread_slot.h"

namespace listed {
namespace {

// A search walks a few folders deep at once; more than this many tables
// per thread would only hold memory.
constexpr size_t kTablesKept = 4;

struct KeptTable {
    SystemString current;  // the current folder that `folder` is taken from
    SystemString folder;
    std::shared_ptr<const FolderTable> table;
};

std::string FormAndKey(std::string_view form, unsigned long key) {
    std::string text(form);
    char bytes[kKeyBytes];
    WriteKey(key, bytes);
    return text.append(1, '\0').append(bytes, kKeyBytes);
}

// A name that the conversion of its own form opens.
bool OpensAsConverted(const SystemString& name, const std::string& form) {
    return MarkedParts(form) == 0 && ShownForm(Units(name), FormRule::kOwnForm) == form;
}

std::shared_ptr<const FolderTable> NewTable(const SystemString& folder) {
    auto table = std::make_shared<FolderTable>();
    if (!table->Build(folder)) return nullptr;
    return table;
}

}  // namespace

bool FolderTable::Build(const SystemString& folder) {
    std::vector<SystemString> names;
    bool listed = ForEachName(folder, [&](const SystemString& name) {
        names.push_back(name);
        return false;
    });
    if (!listed) return false;
    std::vector<ListedName> listings = ListNames(folder, names);
    for (size_t i = 0; i < names.size(); ++i) {
        const ListedName& listing = listings[i];
        if (OpensAsConverted(names[i], listing.form)) continue;
        m_listings.emplace(names[i], listing);
        Add(listing.form, listing.key, names[i]);
        // A one-way name listed with the mark is still found by the unmarked
        // form it shows elsewhere, when no other name has that form.
        std::string shown = ShownForm(Units(names[i]));
        if (MarkedParts(shown) == 0 && shown != listing.form) Add(shown, 0, names[i]);
    }
    return true;
}

void FolderTable::Add(std::string_view form, unsigned long key, const SystemString& name) {
    auto [at, added] = m_names.emplace(FormAndKey(form, key), name);
    if (!added) at->second.clear();  // several names: none is meant
}

const SystemString* FolderTable::NameOf(std::string_view form, unsigned long key) const {
    auto at = m_names.find(FormAndKey(form, key));
    return at == m_names.end() || at->second.empty() ? nullptr : &at->second;
}

const ListedName* FolderTable::ListingOf(const SystemString& name) const {
    auto at = m_listings.find(name);
    return at == m_listings.end() ? nullptr : &at->second;
}

std::shared_ptr<const FolderTable> TableOf(const SystemString& folder, bool rebuild, bool& built) {
    static CThreadSlot<std::vector<KeptTable>> slot;
    std::vector<KeptTable>* thisThreads = slot.Get();
    if (thisThreads == nullptr) throw std::bad_alloc();
    std::vector<KeptTable>& kept = *thisThreads;
    SystemString current = CurrentFolder();
    auto at = std::find_if(kept.begin(), kept.end(), [&](const KeptTable& table) {
        return table.folder == folder && table.current == current;
    });
    built = rebuild || at == kept.end();
    if (!built) {
        std::rotate(kept.begin(), at, at + 1);
        return kept.front().table;
    }
    if (at != kept.end()) kept.erase(at);
    std::shared_ptr<const FolderTable> table = NewTable(folder);
    if (table == nullptr) return nullptr;
    if (kept.size() == kTablesKept) kept.pop_back();
    kept.insert(kept.begin(), KeptTable{current, folder, table});
    return table;
}

}  // namespace listed
