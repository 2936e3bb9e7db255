// The forms and keys under which the names of one folder are listed, worked
// out from all of its names at once. The listing of either build and the
// finding of a listed path again both go through ListNames, so that a key
// handed out always finds the name it was handed out for.
#pragma once

#include <string>
#include <vector>

#include "platform/src/core/listed_path.h"

namespace listed {

struct ListedName {
    std::string form;       // code page 932, the mark 〓 where a character has none
    unsigned long key = 0;  // a marked form's key: no other name of that form has it
};

// The listed form and key of each of `names`, all the names of `folder`.
// Names of one marked form take their own hash as key, unless an earlier of
// them (in the order of their units) has it: then the next key that none of
// that form has.
std::vector<ListedName> ListNames(const SystemString& folder,
                                  const std::vector<SystemString>& names);

// Each system's rule of forms (listed_system_*.cpp): the form of each name,
// marked where a character takes another's form and that form would open
// another name of the folder.
std::vector<std::string> ListedForms(const SystemString& folder,
                                     const std::vector<SystemString>& names);

}  // namespace listed
