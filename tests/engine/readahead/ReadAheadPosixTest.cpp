// The read-ahead on trees that only Linux makes in tests: with links, pipes
// and paths around the 210-byte limit the search with reader threads gives
// the same hits, in the same order, as the walk that reads each file itself;
// files removed while it runs; and the folder warmer's distance. Linux only.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "search/walk/FolderWarmer.h"
#include "tests/engine/readahead/ReadAheadSupport.h"

using namespace testing_support;

namespace {

// A random tree: nested folders, files holding some of the words "ka", "ki",
// "ku", links to ancestors, to siblings and to nowhere, a link to itself, a
// pipe, and paths around the 210-byte limit.
void MakeRandomTree(const DataFolder& folder, std::mt19937& rng) {
    Strings folders = MakeFolderTree(folder, rng);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
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
    const Strings queries = {"ka", "ki", "ka ku", "ku ki ka", "xx", "none"};
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

// Files removed while the search runs: the hits are those of the plain walk
// without some of the removed files, in the same order, and a file removed
// after its folder was listed is no fault.
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
    const std::vector<Strings> searched = SearchAll({"word"}, 8);
    searching = false;
    remover.join();
    EXPECT_EQ(searched[1], Strings{});
    const Strings& ahead = searched[0];
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
