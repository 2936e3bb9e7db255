// The Linux file layer under the folder walk: listing order, names in code
// page 932, links, opening by code page 932 path and folder identities.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

#include "tests/support/DataFolder.h"

using namespace testing_support;
using Strings = std::vector<std::string>;

namespace {

struct Listed {
    std::string name;
    bool isFolder;
    bool operator==(const Listed&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Listed& entry) {
    return out << entry.name << (entry.isFolder ? "/" : "");
}

std::vector<Listed> List(const char* pattern) {
    std::vector<Listed> entries;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern, &data);
    if (find == INVALID_HANDLE_VALUE) return entries;
    do {
        entries.push_back(
            {data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(find, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    FindClose(find);
    return entries;
}

TEST(Listing, OrderAndKinds) {
    DataFolder folder;
    for (const char* name : {"DATA/b.txt", "DATA/B.txt", "DATA/a.txt", "DATA/_x", "DATA/Z",
                             "DATA/メモ.txt", "DATA/あ.txt", "DATA/10.txt"}) {
        folder.Write(name, "x");
    }
    folder.MakeFolder("DATA/sub");
    folder.Link("DATA/link", "sub");
    folder.Link("DATA/dangling", "nowhere");
    const std::vector<Listed> expected = {
        {".", true},         {"..", true},     {"10.txt", false},   {"a.txt", false},
        {"B.txt", false},    {"b.txt", false}, {"dangling", false}, {"link", true},
        {"sub", true},       {"Z", false},     {"_x", false},       {"あ.txt", false},
        {"メモ.txt", false},
    };
    EXPECT_EQ(List("DATA/*.*"), expected);
    EXPECT_EQ(List("DATA/*"), expected);
}

// What is neither file nor folder, also behind a link, carries the device bit.
TEST(Listing, PipesAreDevices) {
    DataFolder folder;
    ASSERT_EQ(mkfifo("DATA/pipe", 0600), 0);
    folder.Link("DATA/toPipe", "pipe");
    folder.Write("DATA/file", "x");
    folder.Link("DATA/toFile", "file");
    std::map<std::string, DWORD> attributes;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA("DATA/*", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        attributes[data.cFileName] = data.dwFileAttributes;
    } while (FindNextFileA(find, &data));
    FindClose(find);
    constexpr DWORD kKind = FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    EXPECT_EQ(attributes["pipe"] & kKind, static_cast<DWORD>(FILE_ATTRIBUTE_DEVICE));
    EXPECT_EQ(attributes["toPipe"] & kKind,
              static_cast<DWORD>(FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT));
    EXPECT_EQ(attributes["file"] & kKind, static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(attributes["toFile"] & kKind,
              static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT));
}

TEST(Listing, PatternsAndFailures) {
    DataFolder folder;
    folder.Write("DATA/a.txt", "x");
    folder.Write("DATA/b.log", "x");
    EXPECT_EQ(List("DATA/*.log"), (std::vector<Listed>{{"b.log", false}}));
    EXPECT_EQ(List("DATA/A.TXT"), (std::vector<Listed>{{"a.txt", false}}));
    WIN32_FIND_DATAA data;
    EXPECT_EQ(FindFirstFileA("missing/*.*", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFileA("DATA/*.none", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

// Each character with no form, and each byte that is not UTF-8, is listed
// as the mark 〓.
TEST(Listing, NamesWithoutShiftJisFormAreMarked) {
    DataFolder folder;
    folder.Write("DATA/keep.txt", "x");
    for (const std::string& name :
         {U8(u8"한국어.txt"), U8(u8"smile😀.txt"), std::string("bad\xFF\xFE.txt")}) {
        std::ofstream(folder.Root() / "DATA" / name) << "x";
    }
    EXPECT_EQ(List("DATA/*"), (std::vector<Listed>{{".", true},
                                                   {"..", true},
                                                   {"bad〓〓.txt", false},
                                                   {"keep.txt", false},
                                                   {"smile〓.txt", false},
                                                   {"〓〓〓.txt", false}}));
}

TEST(Listing, Cp932NamesOpenTheirFiles) {
    DataFolder folder;
    std::ofstream(folder.Root() / "DATA" / U8(u8"料理メモ.txt")) << "abc";
    std::vector<Listed> entries = List("DATA/*");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[2].name, "料理メモ.txt");
    HANDLE file = CreateFileA("DATA/料理メモ.txt", GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char buffer[16];
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), "abc");
    EXPECT_TRUE(CloseHandle(file));
}

TEST(Listing, OpeningFoldersAndTheirIdentity) {
    DataFolder folder;
    folder.MakeFolder("DATA/sub");
    folder.Link("DATA/link", "sub");
    EXPECT_EQ(
        CreateFileA("DATA/sub", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr),
        INVALID_HANDLE_VALUE);
    auto identity = [](const char* path) {
        HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        EXPECT_NE(handle, INVALID_HANDLE_VALUE) << path;
        BY_HANDLE_FILE_INFORMATION info{};
        EXPECT_TRUE(GetFileInformationByHandle(handle, &info));
        CloseHandle(handle);
        EXPECT_NE(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
        return std::tuple(info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
    };
    EXPECT_EQ(identity("DATA/sub"), identity("DATA/link"));
    EXPECT_NE(identity("DATA/sub"), identity("DATA"));
}

struct ConversionCase {
    const char* name;
    std::string cp932;
    std::string utf8;
    bool clean;
};

// Cases are shown by name in the test output.
void PrintTo(const ConversionCase& c, std::ostream* out) {
    *out << c.name;
}

class CodePage : public testing::TestWithParam<ConversionCase> {};

TEST_P(CodePage, ToUtf8) {
    std::string out;
    EXPECT_EQ(Cp932ToUtf8(GetParam().cp932, out), GetParam().clean);
    EXPECT_EQ(out, GetParam().utf8);
}

const ConversionCase kConversionCases[] = {
    {"Ascii", "DATA/a.txt", "DATA/a.txt", true},
    {"Kanji", "料理", U8(u8"料理"), true},
    {"HalfWidthKana", "\xB6\xC5", U8(u8"ｶﾅ"), true},
    {"TrailByteBackslash", "ソ", U8(u8"ソ"), true},
    {"LeadByteAtTheEnd", "a\x83", U8(u8"a\uFFFD"), false},
    {"InvalidPair", "\x81\x20x", U8(u8"\uFFFD x"), false},
    {"StrayByte", "\x80y", U8(u8"\uFFFDy"), false},
};

INSTANTIATE_TEST_SUITE_P(Listing, CodePage, testing::ValuesIn(kConversionCases),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST(Listing, Utf8ToCp932) {
    std::string out;
    EXPECT_TRUE(Utf8ToCp932(U8(u8"メモ ｶﾅ 料理"), out));
    EXPECT_EQ(out, "メモ ｶﾅ 料理");
    const std::string withEmoji =
        "a\xF0\x9F\x98\x80"
        "b";  // U+1F600 has no Shift-JIS form
    EXPECT_FALSE(Utf8ToCp932(withEmoji, out));
    EXPECT_EQ(out, "a?b");
    EXPECT_FALSE(
        Utf8ToCp932("a\xFF"
                    "b",
                    out));
    EXPECT_EQ(out, "a?b");
}

}  // namespace
