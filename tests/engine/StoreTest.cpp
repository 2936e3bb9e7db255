// Searches with a session store against a fresh engine's, on a real folder
// changed between them: every answer must be the one a walk reading every
// file gives at that moment, whether the folders' watches tell of the
// changes, are refused, or lose count of them. Linux only: it makes hard
// links, and folder watches are the system's own.
#include <gtest/gtest.h>

#include <sorahiki/testhooks.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>

#include "search/store/SessionStore.h"
#include "search/text/WordMatch.h"
#include "tests/support/DataFolder.h"

using namespace testing_support;
using Strings = std::vector<std::string>;

namespace {

// How the folders' watches behave during a test.
enum class Watches { kTell, kRefused, kLoseCount };

class StoredSearch {
  public:
    explicit StoredSearch(Watches watches, std::size_t budget = 0)
        : m_watches(watches), m_kept(budget, 0) {
        m_engine->m_pStore = &m_kept;
        testhooks::FailFolderWatches(watches == Watches::kRefused);
    }
    ~StoredSearch() { testhooks::FailFolderWatches(false); }

    CSearchEngin& Search(const char* query) {
        if (m_watches == Watches::kLoseCount) testhooks::LoseFolderChanges();
        m_engine->m_sub_Search(query);
        return *m_engine;
    }
    const store::CSessionStore& Kept() const { return m_kept; }

  private:
    Watches m_watches;
    store::CSessionStore m_kept;
    std::unique_ptr<CSearchEngin> m_engine = NewEngine();
};

// What a search shows: hits in order, the cap, what was left out, and the
// rows of the first page with their context and marks.
void ExpectSameAnswer(const CSearchEngin& stored, const CSearchEngin& fresh, const char* query) {
    SCOPED_TRACE(query);
    EXPECT_EQ(HitPaths(stored), HitPaths(fresh));
    EXPECT_EQ(stored.m_bHitCap, fresh.m_bHitCap);
    EXPECT_EQ(stored.m_leftOut.nUnreadable, fresh.m_leftOut.nUnreadable);
    EXPECT_EQ(stored.m_leftOut.nTooLong, fresh.m_leftOut.nTooLong);
    for (int row = 0; row < CSearchEngin::kRowsPerPage; ++row) {
        const ResultItem& a = stored.m_items[row];
        const ResultItem& b = fresh.m_items[row];
        EXPECT_STREQ(a.szTitle, b.szTitle);
        EXPECT_STREQ(a.szContent, b.szContent);
        EXPECT_STREQ(a.szContext, b.szContext);
        EXPECT_EQ(0, std::memcmp(a.contentMarks, b.contentMarks, sizeof a.contentMarks));
    }
}

void ExpectAsFresh(StoredSearch& stored, std::initializer_list<const char*> queries) {
    for (const char* query : queries) {
        auto fresh = NewEngine();
        fresh->m_sub_Search(query);
        ExpectSameAnswer(stored.Search(query), *fresh, query);
    }
}

// Lets the clock move past the coarse time stamps of the last change, so
// that a change made now shows in a file's times.
void NextTick() {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

// Rewrites a file with as many bytes, its write time set back as it was: only
// the change time tells.
void RewriteInPlace(const DataFolder& folder, const std::string& path, std::string_view bytes) {
    const auto when = fs::last_write_time(path);
    folder.Write(path, bytes);
    fs::last_write_time(path, when);
}

class StoreChanges : public testing::TestWithParam<Watches> {};

TEST_P(StoreChanges, EveryChangeBetweenSearchesIsSeen) {
    DataFolder folder;
    folder.Write("DATA/a.txt", "Head a\nword one\n");
    folder.Write("DATA/b.txt", "Head b\nother\n");
    folder.Write("DATA/e.txt", "Head e\nword two\n");
    folder.Write("DATA/sub/c.txt", "Head c\nword\n");
    folder.Write("DATA/sub/deep/d.txt", "Head d\nnothing here\n");
    folder.Write("outside/linked.txt", "Head l\nnothing\n");
    folder.MakeFolder("DATA/l");
    fs::create_hard_link("outside/linked.txt", "DATA/l/linked.txt");
    StoredSearch stored(GetParam());
    const auto queries = {"word", "other", "nothing here", "word two", "wor"};
    ExpectAsFresh(stored, queries);

    const std::vector<std::function<void()>> changes = {
        [&] { RewriteInPlace(folder, "DATA/b.txt", "Head b\nword!\n"); },
        // Written through a name in a folder that the walk does not watch.
        [&] { RewriteInPlace(folder, "outside/linked.txt", "Head l\nword!!!\n"); },
        [&] { folder.Remove("DATA/a.txt"); },
        [&] { folder.Write("DATA/sub/new.txt", "Head n\nword other\n"); },
        [&] { fs::rename("DATA/e.txt", "DATA/f.txt"); },
        [&] {
            folder.Remove("DATA/sub/c.txt");
            folder.Write("DATA/sub/c.txt/g.txt", "Head g\nword\n");
        },
        [&] { fs::rename("DATA/sub/deep", "moved-out"); },
        [&] { folder.Write("DATA/sub/deep/d.txt", "Head d2\nword here\n"); },
        [&] {
            fs::rename("DATA/sub", "sub-before");
            folder.Write("DATA/sub/c.txt", "Head c2\nother word\n");
        },
        [&] { fs::rename("sub-before", "DATA/sub/back"); },
        [&] { folder.Write("DATA/sub/back/deep2/x.txt", "Head x\nnothing here\n"); },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        SCOPED_TRACE("change " + std::to_string(i));
        NextTick();
        changes[i]();
        ExpectAsFresh(stored, queries);
    }
}

// A file that has not changed is answered from the store: a search for a
// word in no file reads nothing, and a failing disk is never met.
TEST_P(StoreChanges, AnUnchangedFileIsNotReadAgain) {
    DataFolder folder;
    for (int i = 0; i < 40; ++i) {
        folder.Write("DATA/f" + std::to_string(i) + "/t.txt", "Head\nword " + std::to_string(i));
    }
    StoredSearch stored(GetParam());
    stored.Search("word");
    EXPECT_EQ(stored.Kept().Files(), 40u);
    testhooks::FailReads(0, -1);
    const CSearchEngin& answer = stored.Search("qqq");
    auto fresh = NewEngine();
    fresh->m_sub_Search("qqq");
    testhooks::FailReads(0, 0);
    EXPECT_EQ(answer.m_leftOut.Count(), 0);
    EXPECT_EQ(fresh->m_leftOut.Count(), 40);
}

// Files written, removed and renamed and folders moved out and back while
// searches run: whatever those searches kept, the next one after the storm
// answers as a fresh walk does.
TEST_P(StoreChanges, ChangesWhileSearchesRunAreSeenByTheNextSearch) {
    DataFolder folder;
    auto file = [](int i) {
        return "DATA/d" + std::to_string(i % 4) + "/f" + std::to_string(i) + ".txt";
    };
    for (int i = 0; i < 40; ++i) folder.Write(file(i), "Head\nword " + std::to_string(i) + "\n");
    StoredSearch stored(GetParam());
    stored.Search("word");
    std::atomic<bool> done{false};
    std::thread changer([&] {
        std::error_code ignored;
        for (int step = 0; step < 160; ++step) {
            const int i = step * 7 % 40;
            switch (step % 5) {
                case 0:
                    folder.Write(file(i), "Head\nother " + std::to_string(step) + "\n");
                    break;
                case 1:
                    folder.Write(file(i), "Head\nword " + std::to_string(step) + "\n");
                    break;
                case 2:
                    fs::remove(file(i), ignored);
                    break;
                case 3:
                    fs::rename(file(i), file(i) + ".moved", ignored);
                    break;
                default:
                    fs::rename("DATA/d" + std::to_string(step % 4), "away", ignored);
                    fs::rename("away", "DATA/d" + std::to_string(step % 4), ignored);
            }
        }
        done = true;
    });
    while (!done) stored.Search("word");
    changer.join();
    ExpectAsFresh(stored, {"word", "other", "word 1"});
}

INSTANTIATE_TEST_SUITE_P(Store, StoreChanges,
                         testing::Values(Watches::kTell, Watches::kRefused, Watches::kLoseCount));

// A scan cut short by the full hit list leaves the store with what it
// walked; the next searches go on from there and still give a walk's
// answer, past the store's budget too (the rest is read from disk).
TEST(Store, ACutShortSearchAndAFullBudgetStillGiveTheWholeAnswer) {
    DataFolder folder;
    for (int i = 0; i < CSearchEngin::kMaxHits + 40; ++i) {
        const std::string name = std::to_string(10000 + i);
        folder.Write("DATA/" + name.substr(0, 3) + "/" + name + ".txt",
                     "Head\nword" + std::string(i % 97 == 0 ? " rare" : "") + "\n");
    }
    for (std::size_t budget : {std::size_t{0}, std::size_t{200} << 10}) {
        SCOPED_TRACE(budget);
        StoredSearch stored(Watches::kTell, budget);
        ExpectAsFresh(stored, {"word", "rare", "word", "rare"});
        EXPECT_LE(stored.Kept().BytesHeld(), stored.Kept().Budget());
        NextTick();
        folder.Write("DATA/110/11039.txt", "Head\nrare again\n");
        ExpectAsFresh(stored, {"rare"});
    }
}

// The pairs never rule out a word the match rule finds, on random code page
// 932 text from a few characters of one and two bytes (so that words often
// stand in it, across the characters' bytes too), with words that end in a
// lead byte or begin on a second byte among them.
TEST(Store, PairsNeverRuleOutAWordTheMatchRuleFinds) {
    const std::vector<std::string> characters = {"a",        "b",        "\x82\xa0",
                                                 "\x82\x61", "\x88\x9f", "\x61\x82"};
    std::mt19937 random(7);
    auto pick = [&](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += characters[random() % 4];
        return text;
    };
    int found = 0;
    for (int round = 0; round < 400; ++round) {
        const std::string text = pick(1 + static_cast<int>(random() % 300));
        store::CPairSet pairs;
        pairs.Fill(text);
        for (int i = 0; i < 20; ++i) {
            std::string word = text.substr(random() % text.size(), 1 + random() % 6);
            if (random() % 3 == 0) word = pick(1 + static_cast<int>(random() % 3));
            if (random() % 5 == 0) word += characters[5];
            if (sjis::FindWord(text, word) < 0) continue;
            ++found;
            EXPECT_TRUE(pairs.MayHold(word)) << text << " / " << word;
        }
    }
    EXPECT_GT(found, 1000);
}

// The store is for one folder and the plain options: another folder empties
// it, and a search with an option on reads every file as before.
TEST(Store, AnotherFolderOrAnOptionStartsAfresh) {
    DataFolder folder;
    folder.Write("DATA/a.txt", "Head\nword\n");
    folder.Write("OTHER/b.txt", "Head\nword\n");
    StoredSearch stored(Watches::kTell);
    stored.Search("word");
    EXPECT_EQ(stored.Kept().Files(), 1u);
    CSearchEngin& engine = stored.Search("word");
    std::strcpy(engine.m_szFolder, "OTHER");
    EXPECT_EQ(HitPaths(stored.Search("word")), Strings{"OTHER/b.txt"});
    engine.m_options.bFoldCase = true;
    folder.Write("OTHER/c.txt", "Head\nWORD\n");
    EXPECT_EQ(HitPaths(stored.Search("word")), (Strings{"OTHER/b.txt", "OTHER/c.txt"}));
    EXPECT_EQ(stored.Kept().Files(), 1u);
}

}  // namespace
