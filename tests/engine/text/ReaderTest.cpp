// The Shift-JIS reader's fast paths agree with its character reader, the
// reference: ReadText, which takes plain runs straight from the file's buffer,
// and the quick look at a file's first block, against Next() one character at
// a time, on bytes chosen to hit every careful case at buffer edges.
#include <gtest/gtest.h>

#include <sorahiki/testhooks.h>

#include <random>

#include "search/text/SjisReader.h"
#include "search/text/WordProbe.h"
#include "tests/engine/text/WordSamples.h"
#include "tests/support/DataFolder.h"
#include "tests/support/MemoryBytes.h"

using namespace testing_support;

namespace {

// The rules of the text, character by character: reading stops as soon as
// the limit is reached, or before a character that would not fit.
template <typename Source>
std::string TextByCharacters(sjis::SjisCharReader<Source>& reader, int limit, bool lineFeedEnds) {
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
// reader that takes 64 bytes at a time. The ordinary text is a few bytes, or
// with `varied` letters and kanji of many kinds, so that a word's rarest
// character may be missing from a file.
std::string RandomBytes(std::mt19937& rng, size_t size, bool withEnds, bool varied = false) {
    static const unsigned char kBytes[] = {
        0x00, 0x0A, 0x0D, 0x0D, 0x1A, 0x20, 0x81, 0x81, 0x82, 0x83, 0x9F, 0xE0, 0xFC, 0x41, 0x5C,
        0x40, 0x61, 0xA0, 0xB1, 0xFD, 0x7F, 0x80, 0x0A, 0x20, 0x09, 0x31, 0x3F, 0x7E, 0xFF};
    std::uniform_int_distribution<size_t> pick(0, sizeof kBytes - 1);
    std::uniform_int_distribution<int> rare(0, 99);
    std::string bytes(size, 'x');
    for (char& b : bytes) {
        // Mostly ordinary text, so that long plain runs occur as well.
        if (rare(rng) < 30) {
            b = static_cast<char>(kBytes[pick(rng)]);
        } else if (varied) {
            // Letters, lead bytes of kanji, 0x81 (a pair dropped with the byte
            // after it) and bytes that can stand second.
            int kind = rare(rng);
            b = static_cast<char>(kind < 35   ? 'a' + kind % 26
                                  : kind < 60 ? 0x88 + kind % 24
                                  : kind < 75 ? 0x81
                                              : 0x40 + kind % 63);
        } else {
            b = "ab\x88\x9F"[rare(rng) % 4];
        }
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

// In memory, where a buffer may end after any number of bytes: the gatherer
// keeps what the character reader keeps, and the quick look passes over a
// file only when the character reader's text lacks the word, never for a word
// cut from that text.
TEST(Reader, FastPathsAgreeWithTheReferenceAtEveryBufferEnd) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<size_t> smallSize(0, 700);
    for (int round = 0; round < 1500; ++round) {
        const size_t size = round % 50 == 0 ? 4000 + smallSize(rng) * 2 : smallSize(rng);
        const std::string bytes = RandomBytes(rng, size, round % 2 == 0, round % 4 < 2);
        const size_t bufferBytes = 1 + static_cast<size_t>(round) % 97;
        for (int limit : {2001, 85, 7, 1}) {
            SCOPED_TRACE(testing::Message() << "round " << round << " limit " << limit);
            testing_support::ByteByByte slowBytes(bytes);
            sjis::SjisCharReader slow(slowBytes);
            testing_support::MemoryBytes fastBytes(bytes, bufferBytes);
            sjis::SjisCharReader fast(fastBytes);
            for (bool lineFeedEnds : {true, false}) {
                std::string expected = TextByCharacters(slow, limit, lineFeedEnds);
                char text[2100];
                int length = fast.ReadText(text, limit, lineFeedEnds);
                ASSERT_EQ(std::string(text, static_cast<size_t>(length)), expected);
            }
            if (limit == 1) continue;
            // The text a search gathers, its line feeds dropped.
            testing_support::ByteByByte wholeBytes(bytes);
            sjis::SjisCharReader whole(wholeBytes);
            const std::string reference = TextByCharacters(whole, limit, false);
            const int block = static_cast<int>(std::min<size_t>(size, 4096));
            const auto* raw = reinterpret_cast<const unsigned char*>(bytes.data());
            for (const std::string& word :
                 {word_samples::WordAt(reference, rng() % (reference.size() + 1), 20, 20),
                  word_samples::WordAt(bytes, rng() % 64, 20, 20)}) {
                if (word.empty()) continue;
                sjis::WordProbes probes;
                probes.Add(word.c_str());
                bool held = word_samples::HoldsAtBoundary(reference, word);
                // With the wide vectors where the processor has them, and
                // with the narrow ones.
                for (bool narrow : {false, true}) {
                    testhooks::NarrowVectorsOnly(narrow);
                    bool may = probes.MayAllOccur(raw, block, size <= 4096, limit);
                    EXPECT_TRUE(may || !held) << testing::PrintToString(word) << narrow;
                }
                testhooks::NarrowVectorsOnly(false);
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
