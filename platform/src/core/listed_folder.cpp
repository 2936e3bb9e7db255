// The keys of a folder's marked names. Nearly always each name of a marked
// form is alone with its hash; two names of one form whose hashes meet are
// told apart in the order of their units, which any listing of the folder
// gives the same.
#include "platform/src/core/listed_folder.h"

#include <algorithm>
#include <unordered_set>

#include <sorahiki/listing.h>

#include "platform/src/core/listed_names.h"

namespace listed {
namespace {

constexpr unsigned long kKeyMask = 0xFFFFFFFFul;

// Keys for the names at `group` (one marked form, in the order of their
// units): the first to have a hash keeps it, each later one takes the next
// key that no name of the group has.
void KeyGroup(const std::vector<SystemString>& names, const std::vector<size_t>& group,
              std::vector<ListedName>& listed) {
    std::unordered_set<unsigned long> taken;
    std::vector<size_t> later;
    for (size_t i : group) {
        listed[i].key = NameKey(Units(names[i]));
        if (!taken.insert(listed[i].key).second) later.push_back(i);
    }
    for (size_t i : later) {
        unsigned long key = listed[i].key;
        do {
            key = (key + 1) & kKeyMask;
        } while (!taken.insert(key).second);
        listed[i].key = key;
    }
}

// The names with a marked form, ordered by form and then by their units.
std::vector<size_t> MarkedInOrder(const std::vector<SystemString>& names,
                                  const std::vector<ListedName>& listed) {
    std::vector<size_t> marked;
    for (size_t i = 0; i < listed.size(); ++i) {
        if (MarkedParts(listed[i].form) != 0) marked.push_back(i);
    }
    std::sort(marked.begin(), marked.end(), [&](size_t a, size_t b) {
        if (listed[a].form != listed[b].form) return listed[a].form < listed[b].form;
        return Units(names[a]) < Units(names[b]);
    });
    return marked;
}

}  // namespace

std::vector<ListedName> ListNames(const SystemString& folder,
                                  const std::vector<SystemString>& names) {
    std::vector<std::string> forms = ListedForms(folder, names);
    std::vector<ListedName> listed(names.size());
    for (size_t i = 0; i < names.size(); ++i) listed[i].form = std::move(forms[i]);
    std::vector<size_t> marked = MarkedInOrder(names, listed);
    std::vector<size_t> group;
    for (size_t i = 0; i < marked.size(); ++i) {
        group.push_back(marked[i]);
        bool groupEnds =
            i + 1 == marked.size() || listed[marked[i + 1]].form != listed[marked[i]].form;
        if (!groupEnds) continue;
        if (group.size() == 1) {
            listed[group[0]].key = NameKey(Units(names[group[0]]));
        } else {
            KeyGroup(names, group, listed);
        }
        group.clear();
    }
    return listed;
}

}  // namespace listed
