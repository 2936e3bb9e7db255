// The Shift-JIS reader's two ways of taking text agree: ReadText, which takes
// plain runs straight from the file's buffer, and Next() one character at a
// time, on bytes chosen to hit every careful case at buffer edges.
#include <gtest/gtest.h>

#include <random>

#include "search/SjisReader.h"
#include "tests/support/DataFolder.h"

using namespace testing_support;

namespace {

// The rules of the text, character by character: reading stops as soon as
// the limit is reached, or before a character that would not fit.
std::string TextByCharacters(sjis::SjisCharReader<sjis::TextFileBytes>& reader, int limit,
                             bool lineFeedEnds) {
    std::string text;
    while (static_cast<int>(text.size()) < limit) {
        sjis::SjisChar c = reader.Next();
        if (c.kind == sjis::CharKind::kEnd || c.kind == sjis::CharKind::kNul) break;
        if (c.kind == sjis::CharKind::kLineFeed && lineFeedEnds) break;
        if (c.kind != sjis::CharKind::kText) continue;
        if (static_cast<int>(text.size()) + c.length > limit) {
            reader.PutBack(c);
            break;
        }
        text.append(reinterpret_cast<const char*>(c.bytes), c.length);
    }
    return text;
}

// Without NUL and 0x1A in half the rounds, so that long stretches reach the
// reader that takes 64 bytes at a time.
std::string RandomBytes(std::mt19937& rng, size_t size, bool withEnds) {
    static const unsigned char kBytes[] = {
        0x00, 0x0A, 0x0D, 0x0D, 0x1A, 0x20, 0x81, 0x81, 0x82, 0x83, 0x9F, 0xE0, 0xFC, 0x41, 0x5C,
        0x40, 0x61, 0xA0, 0xB1, 0xFD, 0x7F, 0x80, 0x0A, 0x20, 0x09, 0x31, 0x3F, 0x7E, 0xFF};
    std::uniform_int_distribution<size_t> pick(0, sizeof kBytes - 1);
    std::uniform_int_distribution<int> rare(0, 99);
    std::string bytes(size, 'x');
    for (char& b : bytes) {
        // Mostly ordinary text, so that long plain runs occur as well.
        b = rare(rng) < 30 ? static_cast<char>(kBytes[pick(rng)]) : "ab\x88\x9F"[rare(rng) % 4];
        if (!withEnds && (b == 0 || b == 0x1A)) b = 'x';
    }
    // Stretches of blank lines, which are skipped eight bytes at a time.
    static const char kBlankLines[] = "  \n \r\n   \n\n\r\n      \r\n";
    for (size_t at = 0; at + 40 < size; at += 40 + static_cast<size_t>(rare(rng))) {
        size_t from = static_cast<size_t>(rare(rng)) % (sizeof kBlankLines - 1);
        for (size_t k = 0; k < static_cast<size_t>(rare(rng)) % 40; ++k) {
            bytes[at + k] = kBlankLines[(from + k) % (sizeof kBlankLines - 1)];
        }
    }
    return bytes;
}

TEST(Reader, PlainRunsAgreeWithCharacterReading) {
    DataFolder folder;
    std::mt19937 rng(7);
    const size_t sizes[] = {0, 1, 2, 3, 100, 4095, 4096, 4097, 8191, 8192, 8193, 12000};
    const int limits[] = {2001, 85, 81, 2, 1};
    for (size_t size : sizes) {
        for (int round = 0; round < 50; ++round) {
            std::string bytes = RandomBytes(rng, size, round % 2 == 0);
            folder.Write("DATA/f.bin", bytes);
            for (int limit : limits) {
                SCOPED_TRACE(testing::Message()
                             << "size " << size << " round " << round << " limit " << limit);
                sjis::OpenFile slowFile("DATA/f.bin");
                sjis::TextFileBytes slowBytes(slowFile.Handle());
                sjis::SjisCharReader slow(slowBytes);
                sjis::OpenFile fastFile("DATA/f.bin");
                sjis::TextFileBytes fastBytes(fastFile.Handle());
                sjis::SjisCharReader fast(fastBytes);
                // Twice in a row, as the title and the excerpt share a reader.
                for (bool lineFeedEnds : {true, false}) {
                    std::string expected = TextByCharacters(slow, limit, lineFeedEnds);
                    char text[2100];
                    int length = fast.ReadText(text, limit, lineFeedEnds);
                    ASSERT_EQ(std::string(text, static_cast<size_t>(length)), expected);
                    ASSERT_EQ(text[length], '\0');
                }
            }
        }
    }
}

TEST(Reader, CharacterAfterPutBackComesFirst) {
    DataFolder folder;
    folder.Write("DATA/f.txt", "あいう");
    sjis::OpenFile file("DATA/f.txt");
    sjis::TextFileBytes bytes(file.Handle());
    sjis::SjisCharReader reader(bytes);
    sjis::SjisChar first = reader.Next();
    reader.PutBack(first);
    char text[16];
    EXPECT_EQ(reader.ReadText(text, 15), 6);
    EXPECT_STREQ(text, "あいう");
}

}  // namespace
