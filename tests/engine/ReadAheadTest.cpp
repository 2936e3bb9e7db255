// Reading ahead changes nothing a search finds: on random trees the search
// with reader threads gives the same hits, in the same order, as the walk that
// reads each file itself; and the ring hands files back in queue order however
// the reads finish. Linux only: the trees hold links and pipes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <thread>

#include "search/FolderWarmer.h"
#include "search/ReadAhead.h"
#include "tests/support/DataFolder.h"

using namespace testing_support;
using Strings = std::vector<std::string>;

namespace {

// Sets the number of reader threads for one scope.
class Readers {
  public:
    explicit Readers(int n) : m_previous(SharedReadAhead().m_sub_Readers()) {
        SharedReadAhead().m_sub_SetReaders(n);
    }
    ~Readers() { SharedReadAhead().m_sub_SetReaders(m_previous); }

  private:
    int m_previous;
};

// The files and folders a walk could not read, in the order reported.
Strings g_failures;

void NoteFailure(const char* path, DWORD error) {
    g_failures.push_back(std::string(path) + " " + std::to_string(error));
}

// The hits of each query, and last the failures reported on the way.
std::vector<Strings> SearchAll(const std::vector<std::string>& queries, int readers) {
    Readers scope(readers);
    std::vector<Strings> hits;
    auto engine = NewEngine();
    engine->m_pfnOnReadFailure = NoteFailure;
    g_failures.clear();
    for (const std::string& query : queries) {
        engine->m_sub_Search(query.c_str());
        hits.push_back(HitPaths(*engine));
    }
    hits.push_back(g_failures);
    return hits;
}

// A random tree: nested folders, files holding some of the words "ka", "ki",
// "ku", links to ancestors, to siblings and to nowhere, a link to itself, a
// pipe, and paths around the 210-byte limit.
void MakeRandomTree(const DataFolder& folder, std::mt19937& rng) {
    std::vector<std::string> folders = {"DATA"};
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    for (int i = 0; i < 12; ++i) {
        std::string made = folders[pick(folders.size())] + "/d" + std::to_string(i);
        folder.MakeFolder(made);
        folders.push_back(made);
    }
    const char* words[] = {"ka", "ki", "ku", "ka ki", "ki ku ka", "xx"};
    for (int i = 0; i < 150; ++i) {
        std::string body = std::string(pick(3000), ' ') + words[pick(6)] + "\nmore";
        folder.Write(folders[pick(folders.size())] + "/f" + std::to_string(i) + ".txt", body);
    }
    for (int i = 0; i < 6; ++i) {
        const std::string& from = folders[pick(folders.size())];
        const char* targets[] = {"..", "../..", "../d1", "../../d2", "nowhere"};
        folder.Link(from + "/l" + std::to_string(i), targets[pick(5)]);
    }
    folder.Link("DATA/self", "self");
    mkfifo((folders[pick(folders.size())] + "/pipe").c_str(), 0600);
    std::string deep = "DATA/" + std::string(190, 'p');            // 195 bytes
    folder.Write(deep + "/" + std::string(11, 'q') + "ka", "ka");  // 209 bytes
    folder.Write(deep + "/" + std::string(12, 'r') + "ka", "ka");  // 210 bytes
}

TEST(ReadAhead, SameHitsAsThePlainWalkOnRandomTrees) {
    const std::vector<std::string> queries = {"ka", "ki", "ka ku", "ku ki ka", "xx", "none"};
    for (unsigned tree = 1; tree <= 6; ++tree) {
        SCOPED_TRACE(tree);
        DataFolder folder;
        std::mt19937 rng(tree);
        MakeRandomTree(folder, rng);
        std::vector<Strings> plain = SearchAll(queries, 0);
        EXPECT_EQ(SearchAll(queries, 3), plain);
        EXPECT_EQ(SearchAll(queries, CReadAhead::kMaxReaders), plain);
    }
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
    const std::vector<std::string> queries = {"word", "word more", "other", "word"};
    std::vector<Strings> plain = SearchAll(queries, 0);
    ASSERT_EQ(plain[0].size(), static_cast<size_t>(CSearchEngin::kMaxHits));
    EXPECT_EQ(SearchAll(queries, 4), plain);
}

// Files removed while the search runs: the hits are those of the plain walk
// without some of the removed files, in the same order.
TEST(ReadAhead, FilesRemovedDuringTheSearch) {
    DataFolder folder;
    for (int i = 0; i < 400; ++i)
        folder.Write("DATA/d" + std::to_string(i % 9) + "/f" + std::to_string(i), "word");
    Strings plain = SearchAll({"word"}, 0)[0];
    std::atomic<bool> searching{true};
    std::thread remover([&] {
        for (int i = 0; i < 400 && searching; i += 3) {
            folder.Remove("DATA/d" + std::to_string(i % 9) + "/f" + std::to_string(i));
        }
    });
    Strings ahead = SearchAll({"word"}, 8)[0];
    searching = false;
    remover.join();
    size_t at = 0;
    for (const std::string& path : ahead) {
        while (at < plain.size() && plain[at] != path) ++at;
        ASSERT_LT(at, plain.size()) << path << " out of order or unknown";
    }
    for (size_t i = 0; i < plain.size(); ++i) {
        int number = std::stoi(plain[i].substr(plain[i].rfind('f') + 1));
        if (number % 3 != 0) {
            EXPECT_NE(std::find(ahead.begin(), ahead.end(), plain[i]), ahead.end());
        }
    }
}

// A client whose reads end in a scrambled order and that refuses the file
// numbered `refuse`: every file before it is taken once, in order; nothing is
// read for the walk after End. Ten files are fewer than wake a reader while
// reads are quick, until a slow one comes.
class ScrambledClient final : public CReadAheadClient {
  public:
    explicit ScrambledClient(int refuse) : m_refuse(refuse) {}

    void m_sub_Fill(CReadSlot& slot, CReadRoom&) const override {
        int number = std::atoi(slot.szPath);
        // Runs of reads as slow as the disk's, which wake every reader.
        if (number % 40 < 6) usleep(static_cast<useconds_t>(200 + number % 300));
        slot.bOpened = number % 11 != 0;
        slot.nFirstLine = number;
        m_filled.fetch_add(1);
    }
    bool m_sub_Take(const CReadSlot& slot) override {
        EXPECT_EQ(std::atoi(slot.szPath), m_taken);
        EXPECT_EQ(slot.nFirstLine, m_taken);
        EXPECT_EQ(slot.bOpened, m_taken % 11 != 0);
        return ++m_taken != m_refuse + 1;
    }

    int m_taken = 0;
    mutable std::atomic<int> m_filled{0};

  private:
    int m_refuse;
};

TEST(ReadAhead, RingHandsBackInQueueOrder) {
    for (int readers : {0, 1, 5, CReadAhead::kMaxReaders}) {
        for (auto [files, refuse] : {std::pair(1000, -1), std::pair(1000, 0), std::pair(1000, 40),
                                     std::pair(1000, 999), std::pair(10, -1)}) {
            SCOPED_TRACE(testing::Message()
                         << readers << " readers, " << files << " files, refusing " << refuse);
            Readers scope(readers);
            ScrambledClient client(refuse);
            CReadAhead& readAhead = SharedReadAhead();
            readAhead.m_sub_Begin(client);
            int pushed = 0;
            while (pushed < files && readAhead.m_sub_Push(std::to_string(pushed).c_str())) ++pushed;
            readAhead.m_sub_End();
            int filledAtEnd = client.m_filled.load();
            EXPECT_EQ(client.m_taken, refuse < 0 ? files : refuse + 1);
            EXPECT_LE(pushed - client.m_taken, CReadAhead::kSlots);
            usleep(2000);
            EXPECT_EQ(client.m_filled.load(), filledAtEnd);
        }
    }
}

// Waits, within a generous bound, for the warmer to have listed `count`
// folders; then gives it time to list more, which it must not.
int ListedOnceSettled(int count) {
    for (int i = 0; i < 2000 && SharedFolderWarmer().m_sub_Listed() < count; ++i) usleep(1000);
    usleep(20000);
    return SharedFolderWarmer().m_sub_Listed();
}

// The warmer lists no further ahead of the walk than it may, passes over the
// links (through which it would list a loop for ever), lists nothing while
// reads are quick, and forgets a walk that has ended.
TEST(ReadAhead, FolderWarmerKeepsItsDistanceSkipsLinksAndStops) {
    DataFolder folder;
    const int kFolders = 30;
    for (int i = 0; i < kFolders; ++i) folder.MakeFolder("DATA/d" + std::to_string(i) + "/e");
    folder.Link("DATA/d0/up", "..");
    folder.Link("DATA/d1/e/self", ".");
    CFolderWarmer& warmer = SharedFolderWarmer();
    const int ahead = CFolderWarmer::kFoldersAhead;

    warmer.m_sub_Begin("DATA");
    warmer.m_sub_Reached(false);
    EXPECT_EQ(ListedOnceSettled(0), 0);
    warmer.m_sub_Reached(true);
    EXPECT_EQ(ListedOnceSettled(2 + ahead), 2 + ahead);
    for (int i = 0; i < 3 * kFolders; ++i) warmer.m_sub_Reached(true);
    EXPECT_EQ(ListedOnceSettled(1 + 2 * kFolders), 1 + 2 * kFolders);
    warmer.m_sub_End();

    warmer.m_sub_Begin("DATA");
    warmer.m_sub_Reached(true);
    EXPECT_EQ(ListedOnceSettled(1 + ahead), 1 + ahead);
    warmer.m_sub_End();
    warmer.m_sub_Begin("DATA");
    EXPECT_EQ(ListedOnceSettled(0), 0);
    warmer.m_sub_End();
}

}  // namespace
