// The code page 932 form of a file system name as the listing hands it out,
// and the key that tells apart names of one form. Both builds: a Linux name
// is UTF-8 (or any bytes), a Windows name UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace listed {

// How a character with a form is taken.
enum class FormRule {
    kFaithful,  // every form but one that reads as a separator
    kOwnForm,   // as kFaithful, and a form must convert back to the character
};

// The form of a name: each character's form, or the mark 〓 where the
// character has none under `rule`. A byte that is not UTF-8 is marked alone.
std::string ShownForm(std::string_view utf8, FormRule rule = FormRule::kFaithful);
std::string ShownForm(std::u16string_view utf16, FormRule rule = FormRule::kFaithful);

// The key of a name: a hash of its bytes.
unsigned long NameKey(std::string_view utf8);
unsigned long NameKey(std::u16string_view utf16);

}  // namespace listed
