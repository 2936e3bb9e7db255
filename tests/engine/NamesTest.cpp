// Files whose names have characters with no code page 932 form: each is
// searched, shown with the mark 〓 for each such character, and opened as
// its own file, also where several names give one form.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "tests/support/DataFolder.h"

using namespace testing_support;
using Rows = std::vector<std::pair<std::string, std::string>>;

namespace {

struct NamedFile {
    std::u8string path;  // under DATA, as the file system has it
    std::string title;   // the file's first line, the same in every code page
    std::string shown;   // its path as the program shows it
};

std::vector<NamedFile> Names() {
    std::u8string longFolder;
    for (int i = 0; i < 50; ++i) longFolder += u8"😀";
    std::string longShown;
    for (int i = 0; i < 50; ++i) longShown += "〓";
    return {
        {u8"𠮷野家の献立.txt", "yoshinoya", "DATA/〓野家の献立.txt"},
        {u8"📝買い物.txt", "memo", "DATA/〓買い物.txt"},
        {u8"📄買い物.txt", "page", "DATA/〓買い物.txt"},
        {u8"〓買い物.txt", "mark", "DATA/〓買い物.txt"},
        {u8"한글메모.txt", "hangul", "DATA/〓〓〓〓.txt"},
        // Two pairs of one form whose names hash alike: in UTF-8 (Linux)
        // and in UTF-16 (Windows).
        {u8"갭쾳.txt", "gaep", "DATA/〓〓.txt"},
        {u8"굞날.txt", "gum", "DATA/〓〓.txt"},
        {u8"곫쪠.txt", "gop", "DATA/〓〓.txt"},
        {u8"긗닲.txt", "geut", "DATA/〓〓.txt"},
        {u8"メモ–下書き.txt", "dash", "DATA/メモ〓下書き.txt"},
        {u8"🍙/おにぎり.txt", "rice", "DATA/〓/おにぎり.txt"},
        {u8"🍣/おにぎり.txt", "fish", "DATA/〓/おにぎり.txt"},
        // Longer than a path slot in UTF-8, not in its shown form.
        {longFolder + u8"/長い.txt", "long", "DATA/" + longShown + "/長い.txt"},
    };
}

// The first bytes of the file at the full path of a row's path, as a click
// hands it to the shell.
std::string ReadByFullPath(const char* path, size_t bytes) {
    char full[1024];
    DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full) return "no full path";
    HANDLE file =
        CreateFileA(full, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "not opened";
    std::string text(bytes, '\0');
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(bytes), &read, nullptr);
    CloseHandle(file);
    text.resize(read);
    return text;
}

// The rows of every page as read again from the files; each row's file is
// opened by its full path and shows its own first line.
Rows ReloadedRows(CSearchEngin& engine) {
    Rows rows;
    for (int page = 0; page * CSearchEngin::kRowsPerPage < engine.m_nHits; ++page) {
        engine.m_nPage = page;
        engine.m_sub_LoadPage();
        for (const ResultItem& item : engine.m_items) {
            if (!item.bPresent) continue;
            rows.emplace_back(item.szPath, item.szTitle);
            std::string title = item.szTitle;
            EXPECT_EQ(ReadByFullPath(item.szPath, title.size()), title) << item.szPath;
        }
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

TEST(Names, EveryNameIsSearchedAndOpensItsOwnFile) {
    DataFolder folder;
    Rows expected;
    for (const NamedFile& file : Names()) {
        fs::path path = folder.Root() / "DATA" / fs::path(file.path);
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << file.title << "\nkondate";
        expected.emplace_back(file.shown, file.title);
    }
    std::sort(expected.begin(), expected.end());
    auto engine = NewEngine();
    engine->m_sub_Search("kondate");
    EXPECT_EQ(ReloadedRows(*engine), expected);
    // A filter pass opens each candidate again by its path.
    for (const char* title : {"memo", "page", "mark", "rice", "fish", "gaep", "gum"}) {
        std::string query = std::string("kondate ") + title;
        engine->m_sub_Search(query.c_str());
        Rows rows = ReloadedRows(*engine);
        ASSERT_EQ(rows.size(), 1u) << title;
        EXPECT_EQ(rows[0].second, title);
    }
}

// A marked path whose file was renamed since it was listed opens nothing:
// never the file named as its form reads, here "〓買い物.txt".
TEST(Names, RenamedMarkedFileOpensNothing) {
    DataFolder folder;
    for (const char8_t* name : {u8"📝買い物.txt", u8"〓買い物.txt"}) {
        std::ofstream(folder.Root() / "DATA" / fs::path(name)) << "memo\nkondate";
    }
    auto engine = NewEngine();
    engine->m_sub_Search("kondate");
    ASSERT_EQ(engine->m_nHits, 2);
    fs::rename(folder.Root() / "DATA" / fs::path(u8"📝買い物.txt"),
               folder.Root() / "DATA" / fs::path(u8"📓買い物.txt"));
    std::vector<std::string> opened;
    for (const ResultItem& item : engine->m_items) {
        if (item.szPath[0] != '\0') opened.push_back(ReadByFullPath(item.szPath, 4));
    }
    std::sort(opened.begin(), opened.end());
    EXPECT_EQ(opened, (std::vector<std::string>{"memo", "not opened"}));
}

}  // namespace
