// A search on its own thread and the hand-over of its results to the record
// that a window shows. Run under ThreadSanitizer too. Linux only: the stop is
// made at a dangling link.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <thread>

#include <sorahiki/testhooks.h>

#include "search/SearchRun.h"
#include "tests/engine/readahead/ReadAheadSupport.h"
#include "tests/support/DataFolder.h"

using namespace testing_support;

namespace {

std::unique_ptr<CSearchRun> NewRun() {
    return std::make_unique<CSearchRun>();
}

// The query of the record shown, which the hand-over copies.
char g_szShownQuery[CSearchRun::kQueryBytes];

// Follows the run as a window's frame steps do until it hands over; the
// count so far never falls and never passes the final one.
void FollowToTheEnd(CSearchRun& run, CSearchEngin& shown) {
    int nLast = 0;
    while (!run.HandOver(shown, g_szShownQuery)) {
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
// failure stops the search. The walk reads every file itself, so that the
// reads, which the hook counts, come in the order of the files.
TEST(SearchRun, AStopDuringTheLaterWordsCutsNoHit) {
    testing_support::Readers walkAlone(0);
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
    while (!run->HandOver(*shown, g_szShownQuery)) std::this_thread::yield();
    testhooks::FailReads(0, 0);
    EXPECT_FALSE(run->WasStopped());
    EXPECT_EQ(shown->m_leftOut.nUnreadable, 1);
    std::vector<std::string> all = HitPaths(*plain);
    ASSERT_EQ(all.size(), static_cast<size_t>(kFiles));
    // The one that failed is left out.
    all.erase(all.begin() + 3);
    EXPECT_EQ(HitPaths(*shown), all);
}

// Follows the run to its end, then checks that the rows it showed while it
// ran, as they stand at its end, are those of the first page it handed over.
void ExpectLiveRowsAreThePage(CSearchRun& run, CSearchEngin& shown) {
    while (!run.HandOver(shown, g_szShownQuery)) std::this_thread::yield();
    auto live = std::make_unique<ResultItem[]>(CSearchEngin::kRowsPerPage);
    int nLive = 0;
    run.CopyLiveRows(live.get(), nLive);
    int nPresent = 0;
    for (const ResultItem& item : shown.m_items) nPresent += item.bPresent;
    EXPECT_EQ(nLive, nPresent);
    for (int r = 0; r < nLive && r < nPresent; ++r) {
        EXPECT_EQ(live[r].bPresent, 1);
        EXPECT_STREQ(live[r].szPath, shown.m_items[r].szPath);
        EXPECT_STREQ(live[r].szTitle, shown.m_items[r].szTitle);
        EXPECT_STREQ(live[r].szContent, shown.m_items[r].szContent);
        EXPECT_STREQ(live[r].szContext, shown.m_items[r].szContext);
        EXPECT_EQ(0, std::memcmp(live[r].titleMarks, shown.m_items[r].titleMarks,
                                 sizeof live[r].titleMarks));
    }
}

std::atomic<bool> g_bReleased;
void HoldSearch() {
    while (!g_bReleased.load()) std::this_thread::yield();
}

// Rows shown while a search runs end as the finished search's first page:
// for a search that ends, for one whose later word drops a hit of the scan
// (a read fails the second time), for one that fills its hit list, and for
// one stopped right after its first hit. A second start meanwhile is refused.
TEST(SearchRun, TheRowsShownWhileItRunsAreThoseOfItsFirstPage) {
    DataFolder folder;
    constexpr int kFiles = CSearchEngin::kMaxHits + 5;
    for (int i = 100; i < 100 + kFiles; ++i) {
        folder.Write("DATA/f" + std::to_string(i) + ".txt",
                     "Head " + std::to_string(i) + "\nword" + (i < 130 ? " other" : "") + "\n");
    }
    folder.Write("DATA/e.txt", "Head\nword\n");
    folder.Link("DATA/ex.txt", "nowhere");
    auto run = NewRun();
    auto shown = NewEngine();

    g_bReleased = false;
    testhooks::OnSearchThread(HoldSearch, nullptr);
    ASSERT_TRUE(run->Start("word other"));
    EXPECT_FALSE(run->Start("head"));
    g_bReleased = true;
    ExpectLiveRowsAreThePage(*run, *shown);
    EXPECT_STREQ(shown->m_words[0], "word");
    EXPECT_EQ(shown->m_nHits, 30);
    testhooks::OnSearchThread(nullptr, nullptr);

    // The scan reads every file once, e.txt included.
    run->remembers = false;
    testhooks::FailReads(kFiles + 1 + 1, 1);
    run->Start("word other");
    ExpectLiveRowsAreThePage(*run, *shown);
    testhooks::FailReads(0, 0);
    // The file whose read failed and the link to nowhere.
    EXPECT_EQ(shown->m_leftOut.nUnreadable, 2);
    EXPECT_EQ(shown->m_nHits, 29);

    run->Start("word");
    ExpectLiveRowsAreThePage(*run, *shown);
    EXPECT_EQ(shown->m_nHits, CSearchEngin::kMaxHits);
    EXPECT_EQ(shown->m_bHitCap, 1);

    // The walk reaches e.txt, then the link, which cannot be read.
    g_pStoppedRun = run.get();
    run->onReadFailure = [](const char*, DWORD) { g_pStoppedRun->Stop(); };
    run->Start("word");
    ExpectLiveRowsAreThePage(*run, *shown);
    EXPECT_TRUE(run->WasStopped());
    EXPECT_EQ(HitPaths(*shown), std::vector<std::string>{"DATA/e.txt"});
    EXPECT_EQ(shown->m_bHitCap, 0);
}

// The rows a window holds, copied as its frame steps copy them.
struct WindowRows {
    ResultItem items[CSearchEngin::kRowsPerPage]{};
    int nRows = 0;

    std::vector<std::string> Copy(CSearchRun& run) {
        run.CopyLiveRows(items, nRows);
        std::vector<std::string> paths;
        for (const ResultItem& item : items) {
            if (item.bPresent) paths.push_back(item.szPath);
        }
        EXPECT_EQ(paths.size(), static_cast<size_t>(nRows));
        return paths;
    }
};

// What the window held, and the count, at each failure the search reported.
// Written on the search's thread, read once it has handed over.
struct Seen {
    std::vector<std::string> rows;
    int hits;
};
std::vector<Seen> g_seen;
WindowRows g_window;
fs::path g_changedAtFirstFailure;

void NoteWhatIsShown(const char*, DWORD) {
    g_seen.push_back({g_window.Copy(*g_pStoppedRun), g_pStoppedRun->HitsSoFar()});
    if (g_seen.size() == 1) std::ofstream(g_changedAtFirstFailure) << "Head\nword\n";
}

// The rows of a query of two words come as the scan finds their files: at
// the link that ends the scan they stand while the search runs. A file
// changed there loses the later word: its row goes at once, the rows after
// it move up and the count loses it, before the next failure, a read of the
// later word. The walk reads each file itself, one read a file.
TEST(SearchRun, RowsOfSeveralWordsComeWithTheScanAndMoveUpWhenALaterWordDropsOne) {
    testing_support::Readers walkAlone(0);
    DataFolder folder;
    for (const char* name : {"a", "b", "c", "d"})
        folder.Write(std::string("DATA/") + name + ".txt", "Head\nword other\n");
    folder.Link("DATA/e.txt", "nowhere");
    g_changedAtFirstFailure = folder.Root() / "DATA/b.txt";
    auto run = NewRun();
    g_pStoppedRun = run.get();
    run->onReadFailure = NoteWhatIsShown;
    g_seen.clear();
    // The scan reads a to d, the later word a to c again; d's read fails.
    testhooks::FailReads(4 + 3, 1);
    run->Start("word other");
    auto shown = NewEngine();
    while (!run->HandOver(*shown, g_szShownQuery)) std::this_thread::yield();
    testhooks::FailReads(0, 0);
    using Paths = std::vector<std::string>;
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0].rows, (Paths{"DATA/a.txt", "DATA/b.txt", "DATA/c.txt", "DATA/d.txt"}));
    EXPECT_EQ(g_seen[0].hits, 4);
    EXPECT_EQ(g_seen[1].rows, (Paths{"DATA/a.txt", "DATA/c.txt", "DATA/d.txt"}));
    EXPECT_EQ(g_seen[1].hits, 3);
    // d is dropped too: the window's rows are those handed over.
    EXPECT_EQ(g_window.Copy(*run), (Paths{"DATA/a.txt", "DATA/c.txt"}));
    EXPECT_EQ(HitPaths(*shown), (Paths{"DATA/a.txt", "DATA/c.txt"}));
}

TEST(SearchRun, WithoutAThreadTheSearchEndsInsideStart) {
    DataFolder folder;
    folder.Write("DATA/a.txt", "Head\nword\n");
    auto run = NewRun();
    testhooks::RefuseThreadsAfter(0);
    auto shown = NewEngine();
    run->Start("word");
    testhooks::RefuseThreadsAfter(-1);
    ASSERT_TRUE(run->HandOver(*shown, g_szShownQuery));
    EXPECT_EQ(HitPaths(*shown), std::vector<std::string>{"DATA/a.txt"});
    EXPECT_FALSE(run->Running());
}

}  // namespace
