// A fresh temporary directory that becomes the current directory for one
// test, with a "DATA" folder in it; removed again when the test ends. Paths
// are given in code page 932, as the program holds them, and written to disk
// under their UTF-8 names (on Windows the system stores them in UTF-16).
// Built for both systems: the Windows build of a suite runs under Wine.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <sorahiki/codepage.h>
#include "search/SearchEngin.h"

namespace testing_support {

namespace fs = std::filesystem;

// The Windows build lists a folder in the file system's order, not in the
// sorted order of the Linux layer, and its tests make no symbolic links.
inline constexpr bool kWindowsBuild = SORAHIKI_TESTS_FOR_WINDOWS != 0;

// Hit lists whose order is the listing order: compared as sets on Windows.
template <typename List>
List InListingOrder(List list) {
    if (kWindowsBuild) std::sort(list.begin(), list.end());
    return list;
}

// A file system path from code page 932 bytes: UTF-8 on both systems, since
// a u8 path never goes through the system's narrow code page.
inline fs::path Utf8Name(const std::string& cp932) {
    std::string utf8;
    EXPECT_TRUE(Cp932ToUtf8(cp932, utf8)) << cp932;
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

inline fs::path NewTemporaryFolder() {
    // <chrono> cannot be built with the code page 932 execution character
    // set; the system's random source and a create that fails on an existing
    // name are enough.
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate =
            fs::temp_directory_path() / ("sorahiki-test-" + std::to_string(random()));
        if (fs::create_directory(candidate)) return candidate;
    }
    ADD_FAILURE() << "no temporary folder could be made";
    return fs::temp_directory_path();
}

// A UTF-8 literal (u8"...") as plain bytes.
inline std::string U8(std::u8string_view text) {
    return std::string(text.begin(), text.end());
}

class DataFolder {
  public:
    explicit DataFolder(bool withData = true) {
        m_root = NewTemporaryFolder();
        m_previous = fs::current_path();
        fs::current_path(m_root);
        if (withData) fs::create_directory("DATA");
    }
    ~DataFolder() {
        fs::current_path(m_previous);
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }
    DataFolder(const DataFolder&) = delete;
    DataFolder& operator=(const DataFolder&) = delete;

    const fs::path& Root() const { return m_root; }

    // Writes `bytes` exactly, making the folders on the way.
    void Write(const std::string& cp932Path, std::string_view bytes) const {
        fs::path path = Utf8Name(cp932Path);
        if (path.has_parent_path()) fs::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    void MakeFolder(const std::string& cp932Path) const {
        fs::create_directories(Utf8Name(cp932Path));
    }

    // A symbolic link at `cp932Path` that points to `target` (as written);
    // Linux only (a test that makes links skips itself on Windows).
    void Link(const std::string& cp932Path, const std::string& target) const {
        fs::path path = Utf8Name(cp932Path);
        if (path.has_parent_path()) fs::create_directories(path.parent_path());
        fs::create_symlink(target, path);
    }

    void Remove(const std::string& cp932Path) const { fs::remove_all(Utf8Name(cp932Path)); }

  private:
    fs::path m_root;
    fs::path m_previous;
};

// The engine is about half a megabyte: never on the stack. Value
// initialisation starts every field at zero, as static storage does.
inline std::unique_ptr<CSearchEngin> NewEngine() {
    return std::make_unique<CSearchEngin>();
}

inline std::vector<std::string> HitPaths(const CSearchEngin& engine) {
    return std::vector<std::string>(engine.m_hitPaths, engine.m_hitPaths + engine.m_nHits);
}

inline std::vector<std::string> Words(const CSearchEngin& engine) {
    return std::vector<std::string>(engine.m_words, engine.m_words + engine.m_nWords);
}

}  // namespace testing_support
