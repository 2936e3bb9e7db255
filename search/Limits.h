// Every fixed size of the search, in one place: the engine's record, the
// read-ahead's slots and the folder listing all size their arrays from here.
#pragma once

#include <cstddef>

namespace limits {

// A path: at most 209 bytes and its NUL.
constexpr int kPathBytes = 210;
// A name as a listing gives it, with its NUL (MAX_PATH).
constexpr int kNameBytes = 260;
// The path of an entry passed over as too long: a folder that fits a path,
// a slash and a name.
constexpr int kLongPathBytes = kPathBytes + kNameBytes;
// The entries left out of a search that its record names, the first ones met.
constexpr int kNamedLeftOut = 5;
// A file's gathered text: at most kTextBytes stored bytes, in a buffer of
// kTextBuffer with room to spare.
constexpr int kTextBytes = 2001;
constexpr int kTextBuffer = 2100;
// The query: kWords words of at most kWordBytes bytes, each in a slot of
// kWordSlot.
constexpr int kWords = 10;
constexpr int kWordBytes = 20;
constexpr int kWordSlot = 250;
// The hits of one pass, and their pages of kRows rows.
constexpr int kHits = 1010;
constexpr int kRows = 10;
constexpr int kPages = kHits / kRows;
// A row: the title and the excerpt, in bytes.
constexpr int kTitleBytes = 81;
constexpr int kExcerptBytes = 85;
// The room of one thread's reading of a file: the decoder's two blocks.
constexpr std::size_t kReadRoomBytes = 12 * 1024;
// The folders one search may walk before the table of walked folders moves
// to the heap (it is kept at most half full).
constexpr std::size_t kWalkedFolderSlots = 16384;
// The stack of each thread the search starts: its readers keep their buffers
// in the read-ahead, so little of it is used.
constexpr std::size_t kThreadStackBytes = 256 * 1024;

static_assert(kTextBytes < kTextBuffer && kWordBytes < kWordSlot);

}  // namespace limits
