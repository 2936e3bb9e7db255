#include "platform/src/posix/paths.h"

#include <sorahiki/codepage.h>

bool Utf8PathFromCp932(const char* path, std::string& out) {
    if (!Cp932ToUtf8(path, out)) return false;
    // After conversion a 0x5C byte is a backslash, never half of a character.
    for (char& c : out) {
        if (c == '\\') c = '/';
    }
    return true;
}
