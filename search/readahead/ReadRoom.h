// Room for the buffers of one file's reading: each reader thread owns one and
// the walk one, so that no thread keeps them on its stack. Only the thread
// that owns a room writes or reads it.
#pragma once

#include <cstddef>

#include "search/Limits.h"

struct CReadRoom {
    static constexpr std::size_t kBytes = limits::kReadRoomBytes;
    alignas(64) unsigned char bytes[kBytes];
    // The first two blocks of a file, for a look past the first one.
    static constexpr std::size_t kAheadBytes = 2 * 4096;
    unsigned char ahead[kAheadBytes];
    // The parts of a whole file after its first block, for the look at each:
    // most files then take one read past the first block. Touched only by
    // searches of whole files.
    static constexpr std::size_t kPartBytes = 32 * 1024;
    unsigned char parts[kPartBytes];
};
