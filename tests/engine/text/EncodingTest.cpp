// Text written in UTF-8 and UTF-16 is searched and shown as the same text in
// Shift-JIS is; the decision "this block is UTF-8" and the conversion agree
// with utfcpp on random bytes; the quick look at a file's raw bytes passes it
// over only when its gathered text lacks a word.
#include <gtest/gtest.h>

#include <sorahiki/testhooks.h>
#include <utf8.h>

#include <random>

#include "search/text/Cp932Forms.h"
#include "search/Limits.h"
#include "search/text/QuickLook.h"
#include "search/text/SjisReader.h"
#include "search/text/TextDecoder.h"
#include "tests/engine/text/EncodedFiles.h"
#include "tests/engine/text/WordSamples.h"
#include "tests/support/DataFolder.h"

using namespace testing_support;
using namespace std::literals;

namespace {

using encoded_files::Cp932;
using encoded_files::Utf16;

struct SameText {
    const char* name;
    std::string utf8;      // the text as written in UTF-8
    std::string shiftJis;  // the same text as Shift-JIS has it (in UTF-8 here)
    std::string query;     // in UTF-8
    bool found;
    std::string title;       // expected, in UTF-8
    std::string excerpt;     // expected, in UTF-8
    bool wellFormed = true;  // false: written in UTF-8 without mark only
};

// "A" and 40 kanji fill a title's 81 bytes; the next kanji begins the excerpt.
const std::string kLongLine =
    U8(u8"A漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字続く");
const std::string kFullTitle =
    U8(u8"A漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字");

// A character that byte 4,096 of the UTF-8 file cuts in two: "題名\n" (7
// bytes), blanks, and "境" at bytes 4,094 to 4,096 (counted from 0).
const std::string kAcrossBlocks = U8(u8"題名\n") + std::string(4094 - 7, ' ') + U8(u8"境界語です");

const SameText kCases[] = {
    {"CrLfAndBlanks", U8(u8"買い物 リスト\r\n牛乳と卵\r\nパン\r\n"),
     U8(u8"買い物 リスト\r\n牛乳と卵\r\nパン\r\n"), U8(u8"買い物"), true, U8(u8"買い物リスト"),
     U8(u8"牛乳と卵パン")},
    {"EmojiDropped", U8(u8"絵文字😀あり𠮷\n本文😀です"), U8(u8"絵文字あり\n本文です"),
     U8(u8"文字あり"), true, U8(u8"絵文字あり"), U8(u8"本文です")},
    {"TwoFormsOneCharacter", U8(u8"記号〜−‖—¢£¬印\n波〜線"), U8(u8"記号～－∥―￠￡￢印\n波～線"),
     U8(u8"号印"), true, U8(u8"記号印"), U8(u8"波線")},
    {"TitleFills81Bytes", kLongLine + "\n", kLongLine + "\n", U8(u8"漢字続く"), true, kFullTitle,
     U8(u8"続く")},
    {"NulEndsText", U8(u8"表題\nここまで\0見えない"s), U8(u8"表題\nここまで\0見えない"s),
     U8(u8"見えない"), false, "", ""},
    {"NulEndsExcerpt", U8(u8"表題\nここまで\0見えない"s), U8(u8"表題\nここまで\0見えない"s),
     U8(u8"ここまで"), true, U8(u8"表題"), U8(u8"ここまで")},
    {"ControlZEndsText", U8(u8"表題\n前半\x1A後半"), U8(u8"表題\n前半\x1A後半"), U8(u8"後半"),
     false, "", ""},
    {"CutByTheFirstBlock", kAcrossBlocks, kAcrossBlocks, U8(u8"境界語"), true, U8(u8"題名"),
     U8(u8"境界語です")},
    {"CutAtTheEnd", U8(u8"途中まで\n本文あ") + "\xE3\x81", U8(u8"途中まで\n本文あ"), U8(u8"本文あ"),
     true, U8(u8"途中まで"), U8(u8"本文あ"), false},
};

void PrintTo(const SameText& c, std::ostream* out) {
    *out << c.name;
}

class EncodingCase : public testing::TestWithParam<SameText> {};

// Every file of the case's folder holds the same text: Shift-JIS, UTF-8 with
// and without mark, UTF-16 in both byte orders. Each is found or not alike,
// and shows the same title and excerpt.
TEST_P(EncodingCase, SameResultInEveryEncoding) {
    const SameText& c = GetParam();
    DataFolder folder;
    folder.Write("DATA/sjis.txt", Cp932(c.shiftJis));
    folder.Write("DATA/utf8.txt", c.utf8);
    int files = 2;
    if (c.wellFormed) {
        folder.Write("DATA/utf8-mark.txt", "\xEF\xBB\xBF" + c.utf8);
        folder.Write("DATA/utf16le.txt", Utf16(c.utf8, false));
        folder.Write("DATA/utf16be.txt", Utf16(c.utf8, true));
        files = 5;
    }
    auto engine = NewEngine();
    std::string query = Cp932(c.query);
    engine->m_sub_Search(query.c_str());
    ASSERT_EQ(engine->m_nHits, c.found ? files : 0) << testing::PrintToString(HitPaths(*engine));
    for (int row = 0; row < engine->m_nHits; ++row) {
        SCOPED_TRACE(engine->m_items[row].szPath);
        EXPECT_EQ(std::string(engine->m_items[row].szTitle), Cp932(c.title));
        EXPECT_EQ(std::string(engine->m_items[row].szContent), Cp932(c.excerpt));
    }
}

INSTANTIATE_TEST_SUITE_P(Encoding, EncodingCase, testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

// Bytes that are not UTF-8 stay bytes: a Latin-1 file is read as Shift-JIS,
// where an accented letter forms one character with the letter after it, and
// one before a blank is an incomplete character and is dropped.
TEST(Encoding, NotUtf8StaysBytes) {
    DataFolder folder;
    folder.Write("DATA/latin1.txt", "caf\xE9 cr\xE8me\nmenu \xE0 la carte");
    auto engine = NewEngine();
    engine->m_sub_Search("menu");
    ASSERT_EQ(engine->m_nHits, 1);
    EXPECT_STREQ(engine->m_items[0].szTitle, "cafcr\xE8me");
    EXPECT_STREQ(engine->m_items[0].szContent, "menulacarte");
}

// Random bytes, mostly pieces of UTF-8, some of them broken.
std::string RandomUtf8ish(std::mt19937& rng, size_t size) {
    static const char* const kPieces[] = {"a",
                                          " ",
                                          "\n",
                                          "\r\n",
                                          "\0",
                                          "\xC3\xA9",
                                          "\xE3\x81\x82",
                                          "\xE6\xBC\xA2",
                                          "\xEF\xBD\x9E",
                                          "\xF0\x9F\x98\x80",
                                          "\xE3\x81",
                                          "\x80",
                                          "\xC0\x80",
                                          "\xED\xA0\x80",
                                          "\xF4\x90\x80\x80",
                                          "\xE0\x80\x80",
                                          "\xFF",
                                          "\xC2",
                                          "\x82\xA0",
                                          "\x1A"};
    std::uniform_int_distribution<size_t> pick(0, std::size(kPieces) - 1);
    std::uniform_int_distribution<int> rare(0, 999);
    std::string bytes;
    while (bytes.size() < size) {
        size_t i = pick(rng);
        // Broken pieces are rare, so that whole valid blocks occur too.
        if (i >= 10 && rare(rng) > 2) i = 6;
        bytes += i == 4 ? "\0"s : std::string(kPieces[i]);
    }
    bytes.resize(size);
    return bytes;
}

std::string DecodedText(const char* path, TextEncoding& encoding) {
    sjis::OpenFile file(path);
    CTextDecoder decoder;
    decoder.m_sub_Begin(file.Handle());
    encoding = decoder.m_sub_Encoding();
    std::string text;
    const unsigned char* data;
    while (DWORD count = decoder.m_sub_Fill(data))
        text.append(reinterpret_cast<const char*>(data), count);
    return text;
}

// What utfcpp makes of the bytes: invalid sequences replaced by U+FFFD,
// which code page 932 has no form for.
std::string ReferenceCp932(const std::string& bytes) {
    std::string valid;
    utf8::replace_invalid(bytes.begin(), bytes.end(), std::back_inserter(valid), 0xFFFD);
    std::string out;
    for (auto it = valid.begin(); it != valid.end();) {
        char32_t c = utf8::next(it, valid.end());
        unsigned short form = c < 0x80 ? static_cast<unsigned short>(c) : cp932::FormOf(c);
        if (c != 0 && form == 0) continue;
        if (form >= 0x100) out += static_cast<char>(form >> 8);
        out += static_cast<char>(form & 0xFF);
    }
    return out;
}

// Without a mark the first block is UTF-8 when utfcpp finds it valid (a
// sequence cut off at its end allowed) with a character of two or more
// bytes; with a mark the bytes convert as utfcpp reads them.
TEST(Encoding, AgreesWithUtfcpp) {
    DataFolder folder;
    std::mt19937 rng(11);
    const size_t sizes[] = {1, 2, 3, 50, 4095, 4096, 4097, 9000};
    for (size_t size : sizes) {
        for (int round = 0; round < 40; ++round) {
            std::string bytes = RandomUtf8ish(rng, size);
            SCOPED_TRACE(testing::Message() << "size " << size << " round " << round);
            folder.Write("DATA/plain.txt", bytes);
            std::string block = bytes.substr(0, CTextDecoder::kBlockBytes);
            auto invalid = utf8::find_invalid(block.begin(), block.end());
            bool valid =
                invalid == block.end() || utf8::internal::validate_next(invalid, block.end()) ==
                                              utf8::internal::NOT_ENOUGH_ROOM;
            bool multibyte = false;
            for (auto it = block.begin(); it != block.end() && it < invalid;) {
                multibyte |= utf8::next(it, block.end()) >= 0x80;
            }
            TextEncoding encoding;
            DecodedText("DATA/plain.txt", encoding);
            EXPECT_EQ(encoding == TextEncoding::kUtf8, valid && multibyte);

            folder.Write("DATA/marked.txt", "\xEF\xBB\xBF" + bytes);
            std::string text = DecodedText("DATA/marked.txt", encoding);
            EXPECT_EQ(encoding, TextEncoding::kUtf8);
            ASSERT_EQ(text, ReferenceCp932(bytes));
        }
    }
}

// Random text of characters that gathering keeps, drops or has no form
// for, more than half of it dropped, so that the text may go on past the
// first block. Rare pieces, words of one character of one, two or three
// bytes in UTF-8, come a few times in a text, so that a word may stand only
// past the first block; rarer still are a NUL, a 0x1A and (when `broken`)
// sequences that are no UTF-8.
// A `dense` text has no blanks or line ends, and many characters without a
// form, so that its bytes read as code page 932 surely fill the text while
// its UTF-8 text may go on past the first block.
std::string RandomText(std::mt19937& rng, size_t size, bool broken, bool dense) {
    static const std::string kPieces[] = {"a", "Z", " ", "  ", "\n", "\r\n", U8(u8"漢"), U8(u8"字"),
                                          U8(u8"あ"), U8(u8"ア"), U8(u8"ｱ"), U8(u8"Ω"), U8(u8"、"),
                                          U8(u8"。"), U8(u8"ー"), U8(u8"〜"), U8(u8"　"), U8(u8"é"),
                                          U8(u8"😀"),
                                          // rare from here on
                                          "Q", U8(u8"Д"), U8(u8"語"), U8(u8"ｶ"),
                                          // rarer still
                                          "\0"s, "\x1A", "\xE3\x81", "\x80"};
    constexpr size_t kFirstRare = 19, kFirstRarer = 23, kFirstBroken = 25;
    std::uniform_int_distribution<size_t> pick(0, std::size(kPieces) - 1);
    std::uniform_int_distribution<int> chance(0, 999);
    std::string text;
    while (text.size() < size) {
        size_t i = pick(rng);
        if (i >= kFirstRare && chance(rng) >= (i >= kFirstRarer ? 3 : 30)) i = 2;
        if (i >= kFirstBroken && !broken) i = 2;
        if (dense && i >= 2 && i <= 5) i = 17;
        text += kPieces[i];
    }
    return text;
}

// The text that gathering takes from a file, as the search reads it.
std::string ReadGatheredText(const char* path, int limit) {
    sjis::OpenFile file(path);
    sjis::TextFileBytes bytes(file.Handle());
    sjis::SjisCharReader reader(bytes);
    char text[limits::kTextBuffer];
    return std::string(text, static_cast<size_t>(reader.ReadText(text, limit)));
}

bool MayHold(const char* path, const std::string& word, int limit) {
    sjis::QuickLook look;
    look.Add(word.c_str());
    sjis::OpenFile file(path);
    sjis::TextFileBytes bytes(file.Handle());
    return look.MayHoldWords(bytes, limit);
}

// Each test of the quick look runs twice: with the wide vectors where the
// processor has them, and with the narrow ones that every processor has.
class QuickLookForm : public testing::TestWithParam<bool> {
  protected:
    void SetUp() override { testhooks::NarrowVectorsOnly(GetParam()); }
    void TearDown() override { testhooks::NarrowVectorsOnly(false); }
};
INSTANTIATE_TEST_SUITE_P(Encoding, QuickLookForm, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& param) {
                             return param.param ? "Narrow" : "Wide";
                         });

// A block of UTF-8 but for one sequence is read as code page 932, so the
// look must not take it for UTF-8 wherever that sequence stands between two
// characters: around the look's 64-byte steps and near the block's end. The
// kanji around it keep their forms and fill the text well inside the block.
TEST_P(QuickLookForm, ReadsOneBadSequenceAsCodePage932) {
    DataFolder folder;
    const std::string bad[] = {"\xE0\x80\x80", "\xED\xA0\x80", "\xC0\xAF", "\xF4\x90\x80\x80",
                               "\xF5",         "\xE3\x81",     "\x80"};
    std::string kanji;
    while (kanji.size() < 4200) kanji += U8(u8"漢字");
    const size_t block = CTextDecoder::kBlockBytes;
    for (const std::string& sequence : bad) {
        for (size_t at = 60; at < block; at = at == 68 ? 124 : at == 132 ? block - 72 : at + 1) {
            SCOPED_TRACE(testing::Message() << testing::PrintToString(sequence) << " at " << at);
            // ASCII before the kanji puts a character's start at `at`.
            std::string text = std::string(at % 3, 'a') + kanji;
            folder.Write("DATA/bad.txt", text.insert(at, sequence));
            const std::string word =
                word_samples::WordAt(ReadGatheredText("DATA/bad.txt", 2001), 0, 3, 6);
            ASSERT_TRUE(MayHold("DATA/bad.txt", word, 2001)) << testing::PrintToString(word);
        }
    }
}

// The same random text in every encoding, around the first block's end and
// the text's limit: a file passed over never holds the word, and a word cut
// from a file's text never passes it over.
TEST_P(QuickLookForm, PassesOverOnlyFilesWithoutTheWord) {
    DataFolder folder;
    std::mt19937 rng(23);
    const std::string words[] = {Cp932(U8(u8"漢字")),
                                 Cp932(U8(u8"字あ")),
                                 Cp932(U8(u8"ｱ")),
                                 Cp932(U8(u8"Ω")),
                                 Cp932(U8(u8"存")),
                                 Cp932(U8(u8"在る")),
                                 Cp932(U8(u8"語")),
                                 Cp932(U8(u8"ｶ")),
                                 Cp932(U8(u8"Д")),
                                 "Q",
                                 "aZ"};
    const size_t sizes[] = {30, 1500, 2900, 4090, 4100, 6200, 9000};
    int passedOver[4] = {};
    for (int round = 0; round < 80; ++round) {
        const size_t size = sizes[round % std::size(sizes)];
        const std::string text = RandomText(rng, size, true, round % 2 == 1);
        const std::string whole = RandomText(rng, size, false, round % 2 == 1);
        const std::string files[][2] = {{"DATA/utf8.txt", text},
                                        {"DATA/utf8-mark.txt", "\xEF\xBB\xBF" + text},
                                        {"DATA/utf16le.txt", Utf16(whole, false)},
                                        {"DATA/utf16be.txt", Utf16(whole, true)}};
        for (int f = 0; f < 4; ++f) {
            const char* path = files[f][0].c_str();
            folder.Write(path, files[f][1]);
            // A limit between puts the text's end near the block's end at
            // other mixes of kept and dropped characters.
            const int between = 600 + static_cast<int>(rng() % 1400);
            for (int limit : {2001, 85, between}) {
                SCOPED_TRACE(testing::Message()
                             << "round " << round << " " << path << " limit " << limit);
                const std::string gathered = ReadGatheredText(path, limit);
                const std::string cut =
                    word_samples::WordAt(gathered, rng() % (gathered.size() + 1), 3, 6);
                if (!cut.empty()) {
                    EXPECT_TRUE(MayHold(path, cut, limit)) << testing::PrintToString(cut);
                }
                for (const std::string& word : words) {
                    if (MayHold(path, word, limit)) continue;
                    ++passedOver[f];
                    EXPECT_FALSE(word_samples::HoldsAtBoundary(gathered, word))
                        << testing::PrintToString(word);
                }
            }
        }
    }
    for (int passed : passedOver) EXPECT_GT(passed, 0);
}

// A word's two characters in a UTF-8 or UTF-16 file with something between
// them that the conversion or the gathering drops (bytes that are no
// character, a surrogate, a character without a form, a blank of full
// width), among kanji that fill the text well inside the first block.
TEST_P(QuickLookForm, FindsPairsSplitByWhatConversionDrops) {
    DataFolder folder;
    const std::string word = Cp932(U8(u8"漢字"));
    std::string pad;
    while (pad.size() < 1500) pad += U8(u8"語");
    const std::string utf8Between[] = {
        "\xC1\x81",     "\xE0\x81\x81", "\xED\xA0\x80", "\xF0\x9F\x98\x80",
        U8(u8"\u3000"), U8(u8"、"),     "\r\n"};
    const std::string utf16Between[] = {"\x00\xD8", "\x3D\xD8\x00\xDE", "\x00\x30", "\x01\x30"};
    int held = 0;
    auto check = [&](const char* path, const std::string& bytes) {
        folder.Write(path, bytes);
        if (!word_samples::HoldsAtBoundary(ReadGatheredText(path, 2001), word)) return;
        ++held;
        EXPECT_TRUE(MayHold(path, word, 2001)) << testing::PrintToString(bytes.substr(0, 8));
    };
    for (const std::string& between : utf8Between) {
        SCOPED_TRACE(testing::PrintToString(between));
        const std::string text = pad + U8(u8"漢") + between + U8(u8"字") + pad + pad;
        check("DATA/utf8-mark.txt", "\xEF\xBB\xBF" + text);
        check("DATA/utf8.txt", text);
    }
    for (const std::string& between : utf16Between) {
        SCOPED_TRACE(testing::PrintToString(between));
        const std::string around = Utf16(pad, false);
        check("DATA/utf16le.txt", around + Utf16(U8(u8"漢"), false).substr(2) + between +
                                      Utf16(U8(u8"字") + pad + pad, false).substr(2));
    }
    EXPECT_GT(held, 0);
}

// Text, then the word, then ASCII: the text is full only with the ASCII
// after the word. Before it, kanji, which the count of the whole block takes
// last, bring that count past the limit while still at the block's start;
// or runs of ASCII, half of it blanks, count less than their bytes. The
// look must not take the text for full before the word, nor pass it over.
TEST_P(QuickLookForm, FindsAWordBeforeWhatFillsTheText) {
    DataFolder folder;
    std::string kanji, spaced = U8(u8"漢");
    for (int i = 0; i < 600; ++i) kanji += U8(u8"漢");
    for (int i = 0; i < 1900; ++i) spaced += "a ";
    for (const std::string& before : {kanji, spaced}) {
        for (const std::string& word : {U8(u8"ファイル"), U8(u8"設定")}) {
            for (const std::string& mark : {""s, "\xEF\xBB\xBF"s}) {
                SCOPED_TRACE(testing::PrintToString(mark + before.substr(0, 6) + word));
                folder.Write("DATA/after.txt", mark + before + word + std::string(900, 'a'));
                ASSERT_TRUE(word_samples::HoldsAtBoundary(ReadGatheredText("DATA/after.txt", 2001),
                                                          Cp932(word)));
                EXPECT_TRUE(MayHold("DATA/after.txt", Cp932(word), 2001));
            }
        }
    }
}

// Code page 932 text whose kept bytes are few among many dropped ones, with
// a word split by dropped bytes at the text's limit and across the block's
// end: the look may neither count the text full too soon nor miss a pair
// whose characters stand apart in the file.
TEST(Encoding, QuickLookFindsWordsSplitByDroppedBytes) {
    DataFolder folder;
    // Each keeps one byte: an incomplete character before a digit, a
    // separator, a blank, a line end.
    const std::string units[] = {
        "\x88"
        "1",
        "\x81\x40"
        "a",
        " a", "\r\na"};
    const std::string splits[] = {"", " ", "\r\n", "\x81\x40", "\x88\n", "\x81\n"};
    const std::string words[][2] = {{"z", "q"}, {Cp932(U8(u8"漢")), Cp932(U8(u8"字"))}};
    int held = 0;
    for (const std::string& unit : units) {
        for (int limit : {2001, 1300}) {
            // Up to the limit, and up to the block's end where a unit is long.
            for (int kept : {limit - 5, limit - 3, 4090 / static_cast<int>(unit.size())}) {
                for (const std::string& split : splits) {
                    for (const auto& word : words) {
                        std::string text;
                        for (int i = 0; i < kept; ++i) text += unit;
                        text += word[0] + split + word[1] + "\r\nend";
                        folder.Write("DATA/split.txt", text);
                        const std::string whole = word[0] + word[1];
                        SCOPED_TRACE(testing::Message()
                                     << "unit " << testing::PrintToString(unit) << " limit "
                                     << limit << " kept " << kept << " split "
                                     << testing::PrintToString(split));
                        if (!word_samples::HoldsAtBoundary(
                                ReadGatheredText("DATA/split.txt", limit), whole)) {
                            continue;
                        }
                        ++held;
                        EXPECT_TRUE(MayHold("DATA/split.txt", whole, limit));
                    }
                }
            }
        }
    }
    EXPECT_GT(held, 0);
}

}  // namespace

namespace {

// Blanks and line ends fill a UTF-16 file's first blocks without filling its
// text: a word after them, in the third block, is found, and a word in no
// block is not.
TEST(Encoding, AWordPastTheFirstTwoBlocksOfUtf16IsFound) {
    DataFolder folder;
    const std::string head = U8(u8"題名\n") + std::string(3000, ' ') + std::string(3000, '\n');
    folder.Write("DATA/le.txt", Utf16(head + U8(u8"楕円の式\n"), false));
    folder.Write("DATA/be.txt", Utf16(head + U8(u8"楕円の式\n"), true));
    folder.Write("DATA/none.txt", Utf16(head + U8(u8"円の式\n"), false));
    auto engine = NewEngine();
    engine->m_sub_Search(Cp932(U8(u8"楕円")).c_str());
    EXPECT_EQ(HitPaths(*engine), (std::vector<std::string>{"DATA/be.txt", "DATA/le.txt"}));
}

// A word across the border of a UTF-16 file's first two blocks, its rarest
// pair wholly in the second and its first character the first block's last:
// the look at the first block stops at the pair it lacks, and the look at
// both must still look for the other pair from the first block's start.
TEST(Encoding, AWordAcrossTheFirstTwoBlocksOfUtf16IsFound) {
    DataFolder folder;
    // The mark and 2,046 blanks put の at the first block's last two bytes.
    const std::string head = std::string(2046, ' ') + U8(u8"の漢字");
    folder.Write("DATA/le.txt", Utf16(head + std::string(3000, 'x'), false));
    folder.Write("DATA/none.txt",
                 Utf16(head.substr(0, 2046) + U8(u8"漢字") + std::string(3000, 'x'), false));
    auto engine = NewEngine();
    engine->m_sub_Search(Cp932(U8(u8"の漢字")).c_str());
    EXPECT_EQ(HitPaths(*engine), (std::vector<std::string>{"DATA/le.txt"}));
}

}  // namespace
