// Reading files ahead of a walk: the walk queues the files it finds, in its
// own order, reader threads read them while the walk goes on, and the walk
// takes them back in exactly the order it queued them. Three parts, each in
// its own file: the ring (ReadRing.h), the reader threads (ReaderPool.h) and
// the pacing (ReadPacing.h), which decides how many readers work. This file
// holds the walk's side and the filling of one file, which readers and the
// walk share.
//
// Whatever number of readers the system lets start, none included, every
// file is read: the walk reads files itself whenever no reader works. A read
// that fails for want of a file descriptor stops the readers for the rest of
// the walk and is made again by the walk once no other read is in flight.
//
// Who owns what: one walk at a time per process, on one thread (the walking
// thread), which alone calls the operations below; readers run only the
// client's Fill. What a file's reading yields is the client's: it keeps it
// in slots of its own, kSlots of them, at the slot number it is given.
// The ring and the rooms live inside the object, made once for the process,
// so a walk allocates nothing.
#pragma once

#include "search/readahead/ReadPacing.h"
#include "search/readahead/ReadRing.h"
#include "search/readahead/ReadRoom.h"
#include "search/readahead/ReaderPool.h"

// What a walk does with its files. Fill runs on any thread, once per queued
// file (or again, for a file that could not be opened for want of a
// descriptor, which it says by returning kShortOfDescriptors), and must
// touch nothing but the client's slot `nSlot`, the room and what stays
// unchanged during the walk; Take runs on the walking thread, once per file,
// in queue order, with the same slot, and returns false when the walk wants
// no more files.
class CReadAheadClient {
  public:
    enum class Filled { kRead, kShortOfDescriptors };
    virtual Filled m_sub_Fill(int nSlot, const char* pszPath, CReadRoom& room) const = 0;
    virtual bool m_sub_Take(int nSlot, const char* pszPath) = 0;
    // On the walking thread, once reads are quiet for want of descriptors:
    // the client lets go of those it holds elsewhere.
    virtual void m_sub_ReleaseDescriptors() {}

  protected:
    ~CReadAheadClient() = default;
};

class CReadAhead final : private CFileFiller {
  public:
    static constexpr int kSlots = CReadPacing::kSlots;
    static constexpr int kMaxReaders = CReadPacing::kMaxReaders;

    CReadAhead() : m_pool(m_ring, m_pacing, *this) {}
    CReadAhead(const CReadAhead&) = delete;
    CReadAhead& operator=(const CReadAhead&) = delete;

    // The folder warmer may list ahead of the walk.
    bool m_sub_WarmerRuns() const { return m_pacing.WarmerRuns(); }

    // A walk: Begin, then Push each file in order, then End. Push returns
    // false once the client has refused a file; the walk should stop then.
    // End hands out the files still queued and returns when no reader works
    // for the walk any more.
    void m_sub_Begin(CReadAheadClient& client);
    bool m_sub_Push(const char* pszPath);
    void m_sub_End();
    // Hands out every file queued so far, before the walk goes on.
    void m_sub_Drain();
    // For a walk short of file descriptors: no reader takes a file on for the
    // rest of the walk, and this returns once no read is in flight and the
    // client has let go of its own.
    void m_sub_QuietReads();

  private:
    void m_sub_FillClaimed(long long nFile, CReadRoom& room) override;
    void m_sub_StartReaders();
    bool m_sub_TakeOldest();
    void m_sub_WaitForFilled(long long nFile);
    void m_sub_WaitInFlight();
    void m_sub_DropQueued();

    CReadRing m_ring;
    CReadPacing m_pacing;
    CReadRoom m_walkRoom;
    // Set by the walk before its first push and cleared after its last file
    // was taken back: every reader's use of it lies between the two.
    CReadAheadClient* m_pClient = nullptr;
    bool m_bRefused = false;  // the walk's: the client refused a file
    CReaderPool m_pool;       // last: its threads stop before the rest goes
};

// The one read-ahead of the process.
CReadAhead& SharedReadAhead();
