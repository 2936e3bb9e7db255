// What the read-ahead's tests share: the number of reader threads for one
// scope, searches that note the failures reported on the way, and a tree of
// nested folders with files holding some of the words "ka", "ki", "ku".
#pragma once

#include <random>
#include <string>
#include <vector>

#include <sorahiki/testhooks.h>

#include "search/readahead/ReadAhead.h"
#include "tests/support/DataFolder.h"

namespace testing_support {

using Strings = std::vector<std::string>;

class Readers {
  public:
    explicit Readers(int n) : m_previous(testhooks::ReaderLimit()) { testhooks::LimitReaders(n); }
    ~Readers() { testhooks::LimitReaders(m_previous); }

  private:
    int m_previous;
};

// The files and folders a walk could not read, in the order reported, each
// with the system's error code.
inline Strings g_failures;

inline void NoteFailure(const char* path, DWORD error) {
    g_failures.push_back(std::string(path) + " " + std::to_string(error));
}

// The hits of each query, and last the failures reported on the way.
inline std::vector<Strings> SearchAll(const Strings& queries, int readers) {
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

// Nested folders, and 150 files of up to 3,000 blanks and a line of words.
// Each name begins with `mark` (UTF-8): an emoji lists every name with the
// mark 〓, to be found again by its key. The folders' paths are returned in
// code page 932 when the mark is empty.
inline Strings MakeFolderTree(const DataFolder& folder, std::mt19937& rng,
                              const std::string& mark = "") {
    Strings folders = {"DATA"};
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    auto onDisk = [&](const std::string& utf8) {
        return folder.Root() / fs::path(std::u8string(utf8.begin(), utf8.end()));
    };
    for (int i = 0; i < 12; ++i) {
        std::string made = folders[pick(folders.size())] + "/" + mark + "d" + std::to_string(i);
        fs::create_directories(onDisk(made));
        folders.push_back(made);
    }
    const char* words[] = {"ka", "ki", "ku", "ka ki", "ki ku ka", "xx"};
    for (int i = 0; i < 150; ++i) {
        std::string body = std::string(pick(3000), ' ') + words[pick(6)] + "\nmore";
        std::string path =
            folders[pick(folders.size())] + "/" + mark + "f" + std::to_string(i) + ".txt";
        std::ofstream(onDisk(path), std::ios::binary) << body;
    }
    return folders;
}

}  // namespace testing_support
