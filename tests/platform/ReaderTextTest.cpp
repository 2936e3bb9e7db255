// Text handed to a screen reader: code page 932 to UTF-16 and the strings
// that carry it (BSTR), as the Windows build gets them from the system.
#include <oleacc.h>

#include <gtest/gtest.h>

#include <vector>

namespace conformance {
namespace {

std::vector<unsigned> Wide(const char* text, int bytes) {
    const int count = MultiByteToWideChar(932, 0, text, bytes, nullptr, 0);
    std::vector<WCHAR> wide(static_cast<size_t>(count > 0 ? count : 0));
    EXPECT_EQ(MultiByteToWideChar(932, 0, text, bytes, wide.data(), count), count);
    return std::vector<unsigned>(wide.begin(), wide.end());
}

TEST(ReaderTextTest, Cp932BecomesUtf16AsOnWindows) {
    // "検索" with its NUL when the count is -1; without it for a count.
    EXPECT_EQ(Wide("\x8C\x9F\x8D\xF5", -1), (std::vector<unsigned>{0x691C, 0x7D22, 0}));
    EXPECT_EQ(Wide("\x8C\x9F\x8D\xF5", 4), (std::vector<unsigned>{0x691C, 0x7D22}));
    // The forms Windows gives the characters that two mappings differ on:
    // ― ～ ∥ － and the yen sign's byte.
    EXPECT_EQ(Wide("\x81\x5C\x81\x60\x81\x61\x81\x7C\x5C", 9),
              (std::vector<unsigned>{0x2015, 0xFF5E, 0x2225, 0xFF0D, 0x5C}));
    // Half-width katakana and a character beyond the first plane's kanji.
    EXPECT_EQ(Wide("\xB1\xFB\xFC", 3), (std::vector<unsigned>{0xFF71, 0x9AD9}));
}

TEST(ReaderTextTest, StringsKeepTheirLength) {
    const WCHAR text[] = {0x691C, 0, 0x7D22};
    BSTR whole = SysAllocStringLen(text, 3);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(SysStringLen(whole), 3u);  // a NUL inside counts
    EXPECT_EQ(whole[3], 0);
    SysFreeString(whole);
    BSTR upToNul = SysAllocString(text);
    EXPECT_EQ(SysStringLen(upToNul), 1u);
    SysFreeString(upToNul);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
}

}  // namespace
}  // namespace conformance
