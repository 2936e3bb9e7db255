// The text a search gathers from a file: at most 2,001 bytes of whole
// characters, never a blank, a line feed or a character that begins with
// 0x81, ended by a NUL. The fast path over a buffer, the character-by-
// character path, the reading of a real file and the rules all agree, and a
// word cut from the text finds the file. With options, the whole text is
// gathered by the same rules, and a search that streams it, folded, finds a
// word exactly where the text folded at once holds the word folded alike.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "fuzz/FuzzSupport.h"
#include "search/SearchEngin.h"
#include "search/text/TextFold.h"
#include "search/text/WordProbe.h"

namespace {

constexpr int kLimit = CSearchEngin::kTextLimit;
constexpr const char* kPath = "DATA/gathered.txt";

CSearchEngin g_engine;

// The rules: characters in order, dropped ones skipped, a NUL or the end
// ends the text, and so does a character that would not fit.
std::string GatherByRules(std::string_view textModeBytes, int limit) {
    fuzz::Characters characters(textModeBytes);
    std::string text;
    text.reserve(std::min(textModeBytes.size(), static_cast<size_t>(limit)));
    for (fuzz::Character c = characters.Next(); c.length > 0; c = characters.Next()) {
        if (c.length == 1 && c.bytes[0] == 0) break;
        if (!c.IsText()) continue;
        if (static_cast<int>(text.size()) + c.length > limit) break;
        text.append(reinterpret_cast<const char*>(c.bytes), c.length);
    }
    return text;
}

template <typename Source>
std::string ReadText(Source& source, int limit) {
    std::vector<char> buffer(limit + 1);
    sjis::SjisCharReader reader(source);
    int length = reader.ReadText(buffer.data(), limit);
    fuzz::Require(length >= 0 && length <= limit, "the text holds at most the limit");
    fuzz::Require(std::strlen(buffer.data()) == static_cast<size_t>(length),
                  "the text is NUL-terminated at its length");
    return std::string(buffer.data(), length);
}

std::string ReadFileText(const char* path) {
    sjis::OpenFile file(path);
    fuzz::Require(file.IsOpen(), "the written file opens");
    sjis::TextFileBytes bytes(file.Handle());
    return ReadText(bytes, kLimit);
}

// A word of whole characters cut from the text at a character boundary.
std::string WordFrom(const std::string& text, size_t start) {
    size_t at = 0;
    while (at < start && at < text.size()) at += sjis::IsLeadByte(text[at]) ? 2 : 1;
    std::string word;
    while (at < text.size()) {
        size_t length = sjis::IsLeadByte(text[at]) ? 2 : 1;
        if (word.size() + length > CSearchEngin::kMaxWordBytes) break;
        word.append(text, at, length);
        at += length;
    }
    return word;
}

bool HoldsAtBoundary(const std::string& text, const std::string& word) {
    for (size_t at = 0; at < text.size(); at += sjis::IsLeadByte(text[at]) ? 2 : 1) {
        if (text.compare(at, word.size(), word) == 0) return true;
    }
    return false;
}

// The quick look at the first block passes over only text without the word,
// and never text that was cut from.
void CheckQuickLook(std::string_view raw, const std::string& text, const std::string& word,
                    int limit, bool cutFromText) {
    if (word.empty()) return;
    sjis::WordProbes probes;
    probes.Add(word.c_str());
    int block = raw.size() < 4096 ? static_cast<int>(raw.size()) : 4096;
    bool may = probes.MayAllOccur(reinterpret_cast<const unsigned char*>(raw.data()), block,
                                  raw.size() <= 4096, limit);
    if (!may) fuzz::Require(!HoldsAtBoundary(text, word), "a file passed over lacks the word");
    if (cutFromText) fuzz::Require(may, "a word of the text is never passed over");
}

// The whole text of the file, gathered to its end.
std::string ReadWholeFileText(const char* path, size_t rawSize) {
    sjis::OpenFile file(path);
    fuzz::Require(file.IsOpen(), "the written file opens");
    sjis::TextFileBytes bytes(file.Handle());
    return ReadText(bytes, static_cast<int>(2 * rawSize + 16));
}

std::string Folded(const std::string& text, text_fold::FoldRules rules) {
    std::vector<char> out(2 * text.size() + 1);
    text_fold::FoldWord(text.c_str(), rules, out.data());
    return std::string(out.data());
}

// The text a search with `options` looks at, folded at once: the whole text
// or its first kLimit bytes.
std::string FoldedSearchedText(const std::string& wholeText, SearchOptions options) {
    const text_fold::FoldRules rules{options.bFoldCase, options.bFoldWidth, options.bFoldKana};
    return Folded(options.bWholeFile ? wholeText : GatherByRules(wholeText, kLimit), rules);
}

// The search with options on `word` finds the file exactly when the text
// it looks at, folded at once (`foldedText`), holds the word folded.
void CheckOptions(const std::string& foldedText, const std::string& word, SearchOptions options) {
    if (word.empty()) return;
    const text_fold::FoldRules rules{options.bFoldCase, options.bFoldWidth, options.bFoldKana};
    const std::string folded = Folded(word, rules);
    const bool holds = !folded.empty() && HoldsAtBoundary(foldedText, folded);
    std::memcpy(g_engine.m_words[0], word.c_str(), word.size() + 1);
    g_engine.m_nWords = 1;
    g_engine.m_nWordIndex = 0;
    g_engine.m_nHits = 0;
    g_engine.m_options = options;
    g_engine.m_sub_TestFile(kPath);
    g_engine.m_options = SearchOptions{};
    fuzz::Require(g_engine.m_nHits == (holds ? 1 : 0), "a search with options finds its words");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view raw(reinterpret_cast<const char*>(data), size);
    std::string bytes = fuzz::TextModeBytes(raw);
    std::string expected = GatherByRules(bytes, kLimit);
    fuzz::Require(fuzz::IsWholeKeptText(expected), "the rules keep whole text characters");

    // The buffer's size and a small limit put the fast path's stops next to
    // every kind of byte.
    size_t bufferBytes = size > 0 ? 1 + data[0] % 64 : 1;
    int smallLimit = size > 1 ? 1 + data[1] % 40 : 1;
    for (int limit : {kLimit, smallLimit}) {
        fuzz::MemoryBytes buffered(raw, bufferBytes);
        fuzz::ByteByByte single(raw);
        std::string fast = ReadText(buffered, limit);
        fuzz::Require(fast == ReadText(single, limit), "the fast path reads byte by byte's text");
        fuzz::Require(fast == (limit == kLimit ? expected : GatherByRules(bytes, limit)),
                      "the reader keeps what the rules keep");
        CheckQuickLook(raw, fast, WordFrom(fast, size > 2 ? data[2] : 0), limit, true);
        CheckQuickLook(raw, fast, WordFrom(std::string(raw), size > 3 ? data[3] : 0), limit, false);
    }

    fuzz::WriteFile(kPath, raw);
    std::string fileText = ReadFileText(kPath);
    fuzz::Require(fuzz::IsWholeKeptText(fileText), "a file gives whole text characters");
    const bool asItIs = fuzz::ReadAsItIs(kPath);
    if (asItIs) fuzz::Require(fileText == expected, "a file gives the text of its bytes");

    // The whole text, and searches with options over it: words from
    // anywhere in it.
    const std::string wholeText = ReadWholeFileText(kPath, size);
    fuzz::Require(wholeText.compare(0, fileText.size(), fileText) == 0,
                  "the whole text begins with the searched text");
    if (asItIs) {
        fuzz::Require(wholeText == GatherByRules(bytes, static_cast<int>(2 * size + 16)),
                      "the whole text is gathered by the rules");
    }
    SearchOptions options;
    const int bits = size > 4 ? data[4] : 1;
    options.bWholeFile = (bits & 1) != 0;
    options.bFoldCase = (bits & 2) != 0;
    options.bFoldWidth = (bits & 4) != 0;
    options.bFoldKana = (bits & 8) != 0;
    const size_t from = size > 5 ? data[5] * wholeText.size() / 256 : 0;
    const std::string foldedText = FoldedSearchedText(wholeText, options);
    CheckOptions(foldedText, WordFrom(wholeText, from), options);
    CheckOptions(foldedText, WordFrom(wholeText, size > 3 ? data[3] : 0), options);

    // The search's own gathering, seen through the match test.
    std::string word = WordFrom(fileText, size > 2 ? data[2] : 0);
    if (word.empty()) return 0;
    std::memcpy(g_engine.m_words[0], word.c_str(), word.size() + 1);
    g_engine.m_nWords = 1;
    g_engine.m_nWordIndex = 0;
    g_engine.m_nHits = 0;
    g_engine.m_sub_TestFile(kPath);
    fuzz::Require(g_engine.m_nHits == 1, "a word cut from the text finds the file");
    return 0;
}
