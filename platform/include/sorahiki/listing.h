// A rule of folder listings that the engine's folder walk and the Linux
// layer's listing share. Both builds include it.
#pragma once

#include <cstring>

// "." and "..", which a listing of any folder but a root holds and which
// every walk skips.
inline bool IsDotOrDotDot(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}
