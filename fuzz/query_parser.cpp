// The query parser: at most ten words of 1 to 20 bytes of whole characters,
// none holding a separator (a blank, a character that begins with 0x81) and
// exactly the words that the rules give. A file holding the words is found.
#include <cstdint>
#include <cstring>

#include "fuzz/FuzzSupport.h"
#include "search/SearchEngin.h"

namespace {

constexpr const char* kPath = "DATA/words.txt";

CSearchEngin g_engine;

// The rules: a NUL or a line feed ends the query; blanks and characters that
// begin with 0x81 separate words; a character that would not fit its word
// ends the word and is dropped.
std::vector<std::string> WordsByRules(std::string_view query) {
    query = query.substr(0, query.find_first_of(std::string_view("\0\n", 2)));
    fuzz::Characters characters(query);
    std::vector<std::string> words;
    fuzz::Character c = characters.Next();
    while (words.size() < CSearchEngin::kMaxWords && c.length > 0) {
        if (!c.IsText()) {
            c = characters.Next();
            continue;
        }
        std::string word;
        while (c.length > 0 && c.IsText() &&
               word.size() + c.length <= CSearchEngin::kMaxWordBytes) {
            word.append(reinterpret_cast<const char*>(c.bytes), c.length);
            c = characters.Next();
        }
        words.push_back(word);
        c = characters.Next();  // the separator, or the character that did not fit
    }
    return words;
}

bool HoldsSeparator(std::string_view word) {
    for (size_t i = 0; i < word.size(); ++i) {
        auto b = static_cast<unsigned char>(word[i]);
        if (b == ' ' || b == '\n' || b == 0x81) return true;
        if (sjis::IsLeadByte(b)) ++i;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string query(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> expected = WordsByRules(query);

    // The words are written to the one file of DATA, blank-separated; it is
    // found when it holds them as they are: no 0x1A (which ends a file), and
    // the file is not taken for UTF-8 (which is converted).
    std::string file;
    for (const std::string& word : expected) file += word + " ";
    fuzz::WriteFile(kPath, file);
    bool findable =
        !expected.empty() && file.find('\x1A') == std::string::npos && fuzz::ReadAsItIs(kPath);

    g_engine.m_sub_Search(query.c_str());
    int count = g_engine.m_nWords;
    fuzz::Require(count >= 0 && count <= CSearchEngin::kMaxWords, "at most ten words");
    for (int i = 0; i < count; ++i) {
        std::string_view word = g_engine.m_words[i];
        fuzz::Require(!word.empty() && word.size() <= CSearchEngin::kMaxWordBytes,
                      "a word holds 1 to 20 bytes");
        fuzz::Require(!HoldsSeparator(word), "a word holds no separator");
        fuzz::Require(fuzz::IsWholeKeptText(word), "a word is whole text characters");
    }
    fuzz::Require(count == static_cast<int>(expected.size()), "the rules' number of words");
    for (int i = 0; i < count; ++i) {
        fuzz::Require(g_engine.m_words[i] == expected[i], "the rules' words");
    }
    fuzz::Require(g_engine.m_nHits == (findable ? 1 : 0), "the file holding the words is found");
    fuzz::Require(g_engine.m_bNoHit == (findable ? 0 : 1), "the no-hit flag follows the hits");
    return 0;
}
