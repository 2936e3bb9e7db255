// Rules of folder listings that the engine's folder walk and both builds'
// listings share.
//
// A name that has no faithful code page 932 form is listed with the mark 〓
// (0x81 0xAC) in place of each character that has none (or whose form would
// read as a folder separator, or would open another name). Several names may
// then give one form, so a path whose text holds the mark carries, after its
// NUL, a key for each part that holds the mark, in the order of the parts:
// four bytes, low byte first, that tell the names of one form apart. Whoever
// copies such a path copies ListedPathSize bytes; whoever opens it finds
// each marked part by its form and its key.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include <sorahiki/cp932.h>

// "." and "..", which a listing of any folder but a root holds and which
// every walk skips.
inline bool IsDotOrDotDot(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

namespace listed {

inline constexpr char kMark[] = "\x81\xAC";
inline constexpr size_t kKeyBytes = 4;

inline bool IsSeparator(unsigned char c) {
    return c == '/' || c == '\\';
}

// How many parts of `path` (between separators at character boundaries)
// hold the mark.
inline size_t MarkedParts(std::string_view path) {
    size_t marked = 0;
    bool partMarked = false;
    for (size_t i = 0; i < path.size();) {
        auto c = static_cast<unsigned char>(path[i]);
        if (IsSeparator(c)) {
            partMarked = false;
            ++i;
            continue;
        }
        if (c == 0x81 && i + 1 < path.size() && static_cast<unsigned char>(path[i + 1]) == 0xAC &&
            !partMarked) {
            partMarked = true;
            ++marked;
        }
        i += cp932::IsLeadByte(c) && i + 1 < path.size() ? 2 : 1;
    }
    return marked;
}

inline bool HoldsMark(const char* path) {
    return MarkedParts(path) != 0;
}

// The bytes of a listed path: its text, its NUL and its keys.
inline size_t PathSize(const char* path) {
    size_t length = std::strlen(path);
    return length + 1 + kKeyBytes * MarkedParts(std::string_view(path, length));
}

// The key of the `index`th marked part of `path`.
inline unsigned long KeyOf(const char* path, size_t index) {
    const auto* key =
        reinterpret_cast<const unsigned char*>(path + std::strlen(path) + 1 + kKeyBytes * index);
    return key[0] | key[1] << 8 | static_cast<unsigned long>(key[2]) << 16 |
           static_cast<unsigned long>(key[3]) << 24;
}

inline void WriteKey(unsigned long key, char* at) {
    for (size_t i = 0; i < kKeyBytes; ++i) at[i] = static_cast<char>(key >> (8 * i) & 0xFF);
}

// Copies a listed path with its keys into `out` of `size` bytes; false, with
// nothing copied, when it does not fit.
inline bool CopyPath(const char* path, char* out, size_t size) {
    size_t bytes = PathSize(path);
    if (bytes > size) return false;
    std::memmove(out, path, bytes);
    return true;
}

// The same listed path, keys included: the same file.
inline bool SamePath(const char* a, const char* b) {
    const size_t bytes = PathSize(a);
    return bytes == PathSize(b) && std::memcmp(a, b, bytes) == 0;
}

}  // namespace listed
