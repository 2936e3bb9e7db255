// A fresh temporary directory that becomes the current directory for one
// test, with a "DATA" folder in it; removed again when the test ends. Paths
// are given in code page 932, as the program holds them, and written to disk
// under their UTF-8 names.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <sorahiki/codepage.h>
#include "search/SearchEngin.h"

namespace testing_support {

namespace fs = std::filesystem;

inline std::string Utf8Name(const std::string& cp932) {
    std::string utf8;
    EXPECT_TRUE(Cp932ToUtf8(cp932, utf8)) << cp932;
    return utf8;
}

// A UTF-8 literal (u8"...") as plain bytes.
inline std::string U8(std::u8string_view text) {
    return std::string(text.begin(), text.end());
}

class DataFolder {
  public:
    explicit DataFolder(bool withData = true) {
        char pattern[] = "/tmp/sorahiki-test-XXXXXX";
        char* made = mkdtemp(pattern);
        EXPECT_NE(made, nullptr);
        m_root = made;
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

    // A symbolic link at `cp932Path` that points to `target` (as written).
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
