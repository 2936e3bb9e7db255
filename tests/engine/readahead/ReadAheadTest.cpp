// Reading ahead changes nothing a search finds, whatever the machine is short
// of: the ring hands files back in queue order however the reads finish and
// however many reader threads the system lets start, none included; a search
// whose opens fail for want of file descriptors gives the same hits as one
// without, or says that it ran out. Built for both systems.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <memory>

#include <sorahiki/testhooks.h>

#include "tests/engine/readahead/ReadAheadSupport.h"

using namespace testing_support;

namespace {

// Keeps the thread busy for about `microseconds`, as a read from the disk
// would: a sleep of the system may last far longer.
void TakeMicroseconds(long long microseconds) {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    do {
        QueryPerformanceCounter(&now);
    } while ((now.QuadPart - start.QuadPart) * 1000000 < microseconds * frequency.QuadPart);
}

// More files hold the word than the hit list takes: both walks stop at the
// same file, and the next search starts clean.
TEST(ReadAhead, StopsAtTheFullHitList) {
    DataFolder folder;
    for (int i = 0; i < CSearchEngin::kMaxHits + 300; ++i) {
        char name[48];
        std::snprintf(name, sizeof name, "DATA/s%02d/a%04d.txt", i / 100, i);
        folder.Write(name, i % 7 == 3 ? "other" : "word and more");
    }
    const Strings queries = {"word", "word more", "other", "word"};
    std::vector<Strings> plain = SearchAll(queries, 0);
    ASSERT_EQ(plain[0].size(), static_cast<size_t>(CSearchEngin::kMaxHits));
    EXPECT_EQ(SearchAll(queries, 4), plain);
}

// A client whose reads end in a scrambled order and that refuses the file
// numbered `refuse`: every file before it is taken once, in order, with what
// its reading left in the client's slot; nothing is read for the walk after
// End. Ten files are fewer than wake a reader while reads are quick, until a
// slow one comes.
class ScrambledClient final : public CReadAheadClient {
  public:
    explicit ScrambledClient(int refuse) : m_refuse(refuse) {}

    Filled m_sub_Fill(int nSlot, const char* pszPath, CReadRoom&) const override {
        int number = std::atoi(pszPath);
        // Runs of reads as slow as the disk's, which set every reader to work.
        if (number % 40 < 6) TakeMicroseconds(200 + number % 300);
        m_read[nSlot] = number;
        m_filled.fetch_add(1);
        return Filled::kRead;
    }
    bool m_sub_Take(int nSlot, const char* pszPath) override {
        EXPECT_EQ(std::atoi(pszPath), m_taken);
        EXPECT_EQ(m_read[nSlot], m_taken);
        return ++m_taken != m_refuse + 1;
    }

    int m_taken = 0;
    mutable std::atomic<int> m_filled{0};

  private:
    int m_refuse;
    mutable int m_read[CReadAhead::kSlots] = {};  // the file each slot was filled from
};

// Thread starts refused for one scope: all of them, or all after `allowed`.
class RefusedThreads {
  public:
    explicit RefusedThreads(int allowed) { testhooks::RefuseThreadsAfter(allowed); }
    ~RefusedThreads() { testhooks::RefuseThreadsAfter(-1); }
};

// Each case on a read-ahead of its own, so that the threads it may start are
// counted from none.
TEST(ReadAhead, RingHandsBackInQueueOrderWhateverThreadsStart) {
    for (int allowed : {-1, 0, 2}) {
        for (int readers : {0, 1, 5, CReadAhead::kMaxReaders}) {
            for (auto [files, refuse] :
                 {std::pair(1000, -1), std::pair(1000, 0), std::pair(1000, 40),
                  std::pair(1000, 999), std::pair(10, -1)}) {
                SCOPED_TRACE(testing::Message()
                             << readers << " readers, " << allowed << " threads allowed, " << files
                             << " files, refusing " << refuse);
                RefusedThreads refused(allowed);
                auto readAhead = std::make_unique<CReadAhead>();
                Readers limit(readers);
                ScrambledClient client(refuse);
                readAhead->m_sub_Begin(client);
                int pushed = 0;
                while (pushed < files && readAhead->m_sub_Push(std::to_string(pushed).c_str())) {
                    ++pushed;
                }
                readAhead->m_sub_End();
                int filledAtEnd = client.m_filled.load();
                EXPECT_EQ(client.m_taken, refuse < 0 ? files : refuse + 1);
                EXPECT_LE(pushed - client.m_taken, CReadAhead::kSlots);
                Sleep(2);
                EXPECT_EQ(client.m_filled.load(), filledAtEnd);
            }
        }
    }
}

// Opens that fail for want of a descriptor, wherever they fall (a folder's
// identity, its listing, a file read by a reader or by the walk), are made
// again once nothing else is open: the hits and the failures reported are
// those of a search without the fault. Marked names too, whose folders are
// listed again to find them by their keys. When every open fails from some
// point on, the search says so once and marks its answer incomplete.
class OpensShortOfDescriptors : public testing::TestWithParam<const char*> {};

TEST_P(OpensShortOfDescriptors, AreMadeAgain) {
    DataFolder folder;
    std::mt19937 rng(7);
    MakeFolderTree(folder, rng, GetParam());
    const Strings queries = {"ka", "ki ku"};
    std::vector<Strings> plain = SearchAll(queries, 0);
    for (int readers : {0, 4}) {
        for (int after : {0, 1, 2, 3, 5, 8, 13, 21, 34, 55, 89, 144}) {
            SCOPED_TRACE(testing::Message() << readers << " readers, failing open " << after);
            testhooks::FailOpens(after, 1);
            EXPECT_EQ(SearchAll(queries, readers), plain);
        }
        testhooks::FailOpens(40, -1);
        Readers scope(readers);
        auto engine = NewEngine();
        engine->m_pfnOnReadFailure = NoteFailure;
        g_failures.clear();
        engine->m_sub_Search("ka");
        testhooks::FailOpens(0, 0);
        EXPECT_EQ(engine->m_bTooManyOpenFiles, 1);
        ASSERT_EQ(g_failures.size(), 1u);
        EXPECT_EQ(g_failures[0].substr(g_failures[0].rfind(' ')), " 4");
        engine->m_sub_Search("ka");
        EXPECT_EQ(engine->m_bTooManyOpenFiles, 0);
        EXPECT_EQ(HitPaths(*engine), plain[0]);
    }
}

INSTANTIATE_TEST_SUITE_P(ReadAhead, OpensShortOfDescriptors,
                         testing::Values("", "\xF0\x9F\x8D\x99"),
                         [](const auto& names) { return names.index == 0 ? "Plain" : "Marked"; });

}  // namespace
