// The folder watches of either system over a real folder tree: each change
// is told by a number of the folder it was made in, however deep, and on
// Linux a file written in place by its own name. Both
// systems watch each folder by itself: Wine 8 tells a watch over a whole tree
// (ReadDirectoryChangesW with its subtree) of the top folder's own entries
// only. Changes may be told late (Wine hands them over from its server), so
// each is waited for.
#include <gtest/gtest.h>

#include <sorahiki/folderwatch.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <thread>

#include "tests/support/DataFolder.h"

using namespace testing_support;

namespace {

using Change = std::pair<long, std::string>;  // a folder's number, a file's name or ""

// Whether `change` is told within a few seconds; what else is told is no
// fault (a system may tell of a folder's parent too).
bool Told(folderwatch::WatchSet* set, const Change& change) {
    std::set<Change> told;
    auto add = [](long n, const char* name, void* into) {
        static_cast<std::set<Change>*>(into)->emplace(n, name != nullptr ? name : "");
    };
    for (int wait = 0; wait < 500; ++wait) {
        folderwatch::TakeChanges(set, add, &told);
        if (told.count(change) != 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(FolderWatch, EachChangeIsToldByTheFolderItWasMadeIn) {
    DataFolder folder;
    folder.Write("DATA/a.txt", "a");
    folder.Write("DATA/sub/deep/d.txt", "d");
    folderwatch::WatchSet* set = folderwatch::Open();
    ASSERT_NE(set, nullptr);
    const long top = folderwatch::Add(set, "DATA");
    const long sub = folderwatch::Add(set, "DATA/sub");
    const long deep = folderwatch::Add(set, "DATA/sub/deep");
    ASSERT_GE(top, 0);
    ASSERT_GE(sub, 0);
    ASSERT_GE(deep, 0);
    EXPECT_EQ(std::set<long>({top, sub, deep}).size(), 3u);
    EXPECT_EQ(folderwatch::Add(set, "DATA/sub"), sub);

    folder.Write("DATA/sub/deep/new.txt", "n");
    EXPECT_TRUE(Told(set, {deep, ""}));
    fs::remove("DATA/a.txt");
    EXPECT_TRUE(Told(set, {top, ""}));
    fs::rename("DATA/sub/deep", "moved");
    EXPECT_TRUE(Told(set, {sub, ""}));
    folder.Write("DATA/sub/later.txt", "l");
    EXPECT_TRUE(Told(set, {sub, ""}));
    // Written again in place: Linux tells the file by its listed name.
    folder.Write("DATA/sub/later.txt", "again");
    EXPECT_TRUE(Told(set, {sub, kWindowsBuild ? "" : "later.txt"}));
    folderwatch::Close(set);
}

}  // namespace
