// A search on its own thread and the hand-over of its results to the record
// that a window shows. Run under ThreadSanitizer too. Linux only: the stop is
// made at a dangling link.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include <sorahiki/testhooks.h>

#include "search/SearchRun.h"
#include "tests/support/DataFolder.h"

using namespace testing_support;

namespace {

std::unique_ptr<CSearchRun> NewRun() {
    return std::make_unique<CSearchRun>();
}

// Follows the run as a window's frame steps do until it hands over; the
// count so far never falls and never passes the final one.
void FollowToTheEnd(CSearchRun& run, CSearchEngin& shown) {
    int nLast = 0;
    while (!run.HandOver(shown)) {
        const int nSoFar = run.HitsSoFar();
        EXPECT_GE(nSoFar, nLast);
        nLast = nSoFar;
        std::this_thread::yield();
    }
    EXPECT_LE(nLast, shown.m_nHits);
}

void ExpectSameRows(const CSearchEngin& shown, const CSearchEngin& plain) {
    for (int r = 0; r < CSearchEngin::kRowsPerPage; ++r) {
        EXPECT_EQ(shown.m_items[r].bPresent, plain.m_items[r].bPresent);
        EXPECT_STREQ(shown.m_items[r].szTitle, plain.m_items[r].szTitle);
        EXPECT_STREQ(shown.m_items[r].szContent, plain.m_items[r].szContent);
        EXPECT_STREQ(shown.m_items[r].szPath, plain.m_items[r].szPath);
    }
}

TEST(SearchRun, TheHandedOverResultIsThatOfAPlainSearch) {
    DataFolder folder;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "DATA/s" + std::to_string(i % 3) + "/f" + std::to_string(i);
        folder.Write(name + ".txt",
                     "Title " + std::to_string(i) + "\nword" + (i % 4 ? " other" : "") + " text\n");
    }
    auto plain = NewEngine();
    plain->m_sub_Search("word other");
    auto shown = NewEngine();
    shown->m_nHoverItem = 7;
    auto run = NewRun();
    // Twice: the second search reuses the run.
    for (int pass = 0; pass < 2; ++pass) {
        run->Start("word other");
        FollowToTheEnd(*run, *shown);
        EXPECT_FALSE(run->WasStopped());
        EXPECT_EQ(HitPaths(*shown), HitPaths(*plain));
        EXPECT_EQ(Words(*shown), Words(*plain));
        EXPECT_EQ(0, std::memcmp(shown->m_hitFlags, plain->m_hitFlags, sizeof plain->m_hitFlags));
        EXPECT_EQ(shown->m_nPage, 0);
        EXPECT_EQ(shown->m_bNoHit, 0);
        ExpectSameRows(*shown, *plain);
        // The pointer's hover belongs to the window, not to the search.
        EXPECT_EQ(shown->m_nHoverItem, 7);
    }
}

CSearchRun* g_pStoppedRun;

TEST(SearchRun, AStopKeepsTheHitsFoundSoFarAsAResult) {
    DataFolder folder;
    for (int i = 10; i < 60; ++i)
        folder.Write("DATA/f" + std::to_string(i) + ".txt", "Head\nword\n");
    folder.Link("DATA/f30x.txt", "nowhere");
    auto plain = NewEngine();
    plain->m_sub_Search("word");
    auto run = NewRun();
    g_pStoppedRun = run.get();
    // The link cannot be read: the search is stopped there, from its thread.
    run->onReadFailure = [](const char*, DWORD) { g_pStoppedRun->Stop(); };
    auto shown = NewEngine();
    run->Start("word");
    FollowToTheEnd(*run, *shown);
    EXPECT_TRUE(run->WasStopped());
    const std::vector<std::string> all = HitPaths(*plain);
    const std::vector<std::string> kept = HitPaths(*shown);
    ASSERT_GE(kept.size(), 20u);
    ASSERT_LT(kept.size(), all.size());
    EXPECT_EQ(kept, std::vector<std::string>(all.begin(), all.begin() + kept.size()));
    ExpectSameRows(*shown, *plain);

    // The next search is not stopped.
    run->onReadFailure = nullptr;
    run->Start("word");
    FollowToTheEnd(*run, *shown);
    EXPECT_FALSE(run->WasStopped());
    EXPECT_EQ(HitPaths(*shown), all);
}

// A stop while the later words are checked ends the search at once and cuts
// nothing: the files not read again keep the scan's verdict, which found
// every word in them. Every read after the scan's fails, and the first
// failure stops the search.
TEST(SearchRun, AStopDuringTheLaterWordsCutsNoHit) {
    DataFolder folder;
    constexpr int kFiles = 30;
    for (int i = 10; i < 10 + kFiles; ++i)
        folder.Write("DATA/f" + std::to_string(i) + ".txt", "Head\nword other\n");
    auto plain = NewEngine();
    plain->m_sub_Search("word other");
    auto run = NewRun();
    g_pStoppedRun = run.get();
    run->onReadFailure = [](const char*, DWORD) { g_pStoppedRun->Stop(); };
    auto shown = NewEngine();
    testhooks::FailReads(kFiles + 3, -1);
    run->Start("word other");
    while (!run->HandOver(*shown)) std::this_thread::yield();
    testhooks::FailReads(0, 0);
    EXPECT_FALSE(run->WasStopped());
    EXPECT_EQ(shown->m_bReadFailed, 1);
    std::vector<std::string> all = HitPaths(*plain);
    ASSERT_EQ(all.size(), static_cast<size_t>(kFiles));
    // The one that failed is left out.
    all.erase(all.begin() + 3);
    EXPECT_EQ(HitPaths(*shown), all);
}

TEST(SearchRun, WithoutAThreadTheSearchEndsInsideStart) {
    DataFolder folder;
    folder.Write("DATA/a.txt", "Head\nword\n");
    auto run = NewRun();
    run->startThread = [](void (*)(void*), void*) { return false; };
    auto shown = NewEngine();
    run->Start("word");
    ASSERT_TRUE(run->HandOver(*shown));
    EXPECT_EQ(HitPaths(*shown), std::vector<std::string>{"DATA/a.txt"});
    EXPECT_FALSE(run->Running());
}

}  // namespace
