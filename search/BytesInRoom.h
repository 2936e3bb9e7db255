// The byte source of an open file's text, built in a room of the read-ahead
// rather than on the stack of the thread that reads: it holds the decoder's
// two blocks. The room is the reading thread's own while the object lives.
#pragma once

#include <new>

#include "search/readahead/ReadRoom.h"
#include "search/text/SjisReader.h"

class CBytesInRoom {
  public:
    CBytesInRoom(CReadRoom& room, HANDLE file) {
        static_assert(sizeof(sjis::TextFileBytes) <= CReadRoom::kBytes);
        static_assert(alignof(sjis::TextFileBytes) <= alignof(CReadRoom));
        bytes = new (room.bytes) sjis::TextFileBytes(file);
    }
    ~CBytesInRoom() { bytes->~TextFileBytes(); }
    CBytesInRoom(const CBytesInRoom&) = delete;
    CBytesInRoom& operator=(const CBytesInRoom&) = delete;

    sjis::TextFileBytes& operator*() const { return *bytes; }

  private:
    sjis::TextFileBytes* bytes;
};
