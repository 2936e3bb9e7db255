// The folder walk over what only the Linux build's tests make: symbolic
// links, pipes, and names that hold a backslash or share a code page 932
// form. Linux only.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/DataFolder.h"

using namespace testing_support;
using namespace std::literals;
using Strings = std::vector<std::string>;

namespace {

// A search that blocks on a file ends the test run.
class Deadline {
  public:
    Deadline() { alarm(20); }
    ~Deadline() { alarm(0); }
};

// Folder links are followed; each folder is walked once, where the walk
// first reaches it, and later links to it are passed over.
TEST(ScanLinks, LoopsEndAndOtherLinksAreFollowed) {
    DataFolder folder;
    folder.Write("DATA/a/f.txt", "word");
    folder.Link("DATA/a/up", "..");
    folder.Link("DATA/a/self", ".");
    folder.Write("DATA/c/g.txt", "word");
    folder.Link("DATA/b/toC", "../c");
    auto engine = NewEngine();
    engine->m_sub_Search("word");
    EXPECT_EQ(HitPaths(*engine), (Strings{"DATA/a/f.txt", "DATA/b/toC/g.txt"}));
}

TEST(ScanLinks, LatticeOfLinksIsWalkedOnce) {
    DataFolder folder;
    // Twenty-four levels, each with two links to the next: 2^23 ways down.
    constexpr int kLevels = 24;
    for (int level = 1; level < kLevels; ++level) {
        std::string here = "DATA/n" + std::to_string(level);
        std::string next = "../n" + std::to_string(level + 1);
        folder.Link(here + "/p", next);
        folder.Link(here + "/q", next);
    }
    folder.Write("DATA/n" + std::to_string(kLevels) + "/f.txt", "word");
    folder.Write("DATA/a/f.txt", "word");
    folder.Link("DATA/a/toB", "../b");
    folder.Link("DATA/b/toA", "../a");
    auto engine = NewEngine();
    Deadline deadline;
    engine->m_sub_Search("word");
    std::string deepest = "DATA/n1";
    for (int level = 1; level < kLevels; ++level) deepest += "/p";
    EXPECT_EQ(HitPaths(*engine), (Strings{"DATA/a/f.txt", deepest + "/f.txt"}));
}

// A temporary folder in memory where the system has /dev/shm: thousands of
// folders made and removed on a disk cost seconds.
class FolderInMemory {
  public:
    FolderInMemory() {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/sorahiki-test-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) path = pattern;
    }
    ~FolderInMemory() {
        std::error_code ignored;
        if (!path.empty()) fs::remove_all(path, ignored);
    }
    FolderInMemory(const FolderInMemory&) = delete;
    FolderInMemory& operator=(const FolderInMemory&) = delete;

    const fs::path& Path() const { return path; }

  private:
    fs::path path;
};

// However many folders a search meets, each is walked once: a link to a
// folder walked after thousands of others still leads to no second hit, and
// the lattice of links still costs only its folders.
TEST(ScanLinks, FoldersPastThousandsAreWalkedOnce) {
    DataFolder folder;
    FolderInMemory many;
    ASSERT_FALSE(many.Path().empty());
    for (int i = 0; i < 9000; ++i) fs::create_directory(many.Path() / std::to_string(i));
    folder.Link("DATA/e", many.Path().string());
    folder.Write("DATA/m/f.txt", "word");
    folder.Link("DATA/z/toM", "../m");
    constexpr int kLevels = 16;
    for (int level = 1; level < kLevels; ++level) {
        std::string here = "DATA/z/n" + std::to_string(level);
        std::string next = "../n" + std::to_string(level + 1);
        folder.Link(here + "/p", next);
        folder.Link(here + "/q", next);
    }
    folder.Write("DATA/z/n" + std::to_string(kLevels) + "/g.txt", "word");
    auto engine = NewEngine();
    Deadline deadline;
    for (int search = 0; search < 2; ++search) {
        engine->m_sub_Search("word");
        std::string deepest = "DATA/z/n1";
        for (int level = 1; level < kLevels; ++level) deepest += "/p";
        EXPECT_EQ(HitPaths(*engine), (Strings{"DATA/m/f.txt", deepest + "/g.txt"}));
    }
}

// A pipe, also behind a link, is never opened: the search ends.
TEST(ScanHostile, PipesAreNeverOpened) {
    DataFolder folder;
    folder.Write("DATA/a.txt", "word");
    ASSERT_EQ(mkfifo("DATA/pipe", 0600), 0);
    folder.Link("DATA/toPipe", "pipe");
    auto engine = NewEngine();
    Deadline deadline;
    engine->m_sub_Search("word");
    EXPECT_EQ(HitPaths(*engine), (Strings{"DATA/a.txt"}));
}

// Every listed name opens its own file, also where its code page 932 form
// converts back to another name; a name whose form would open another file
// (a backslash, a form shared with the name it converts back to) is shown
// with the mark 〓 and still opens its own.
TEST(ScanHostile, EveryNameOpensItsOwnFile) {
    DataFolder folder;
    auto write = [&](std::u8string_view path, const char* text) {
        fs::path file = folder.Root() / U8(path);
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text;
    };
    write(u8"DATA/10〜12月.txt", "word");
    write(u8"DATA/資料〜2024/a.txt", "word");
    write(u8"DATA/−—‖¢£¬.txt", "word");
    write(u8"DATA/pair/〜.txt", "wave");
    write(u8"DATA/pair/～.txt", "word");
    write(u8"DATA/a\\b.txt", "back");
    write(u8"DATA/x\\y/c.txt", "back");
    write(u8"DATA/a/b.txt", "slash");
    write(u8"DATA/a¥b.txt", "back");  // "¥" converts to 0x5C, a separator
    write(u8"DATA/x‾y.txt", "word");  // "‾" converts to "~", no name of its own
    auto engine = NewEngine();
    engine->m_sub_Search("word");
    EXPECT_EQ(HitPaths(*engine),
              (Strings{"DATA/10\x81\x60"
                       "12月.txt",
                       "DATA/pair/\x81\x60.txt", "DATA/x~y.txt",
                       "DATA/\x81\x7C\x81\x5C\x81\x61\x81\x91\x81\x92\x81\xCA.txt",
                       "DATA/資料\x81\x60"
                       "2024/a.txt"}));
    engine->m_sub_Search("wave");
    EXPECT_EQ(HitPaths(*engine), (Strings{"DATA/pair/〓.txt"}));
    engine->m_sub_Search("back");
    EXPECT_EQ(HitPaths(*engine), (Strings{"DATA/a〓b.txt", "DATA/a〓b.txt", "DATA/x〓y/c.txt"}));
    engine->m_sub_Search("slash");
    EXPECT_EQ(HitPaths(*engine), (Strings{"DATA/a/b.txt"}));
}

TEST(ScanLinks, LinkedDataFolderIsWalked) {
    DataFolder folder(false);
    folder.Write("real/f.txt", "word");
    folder.Link("DATA", "real");
    folder.Link("real/again", "../DATA");
    auto engine = NewEngine();
    engine->m_sub_Search("word");
    EXPECT_EQ(HitPaths(*engine), (Strings{"DATA/f.txt"}));
}

// A file that cannot be opened is no hit, and the walk goes on after it.
TEST(ScanUnreadable, FileThatCannotBeOpenedIsNoHit) {
    DataFolder folder;
    folder.Write("DATA/a.txt", "word");
    folder.Link("DATA/b.txt", "missing.txt");
    folder.Write("DATA/c.txt", "word");
    auto engine = NewEngine();
    engine->m_sub_Search("word");
    EXPECT_EQ(HitPaths(*engine), (Strings{"DATA/a.txt", "DATA/c.txt"}));
    std::snprintf(engine->m_szPath, sizeof engine->m_szPath, "unchanged");
    EXPECT_EQ(engine->m_sub_TestFile("DATA/b.txt"), 0);
    EXPECT_EQ(engine->m_nHits, 2);
}

}  // namespace
