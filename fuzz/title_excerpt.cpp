// The title and the excerpt of a hit row, from a file in a temporary DATA
// folder, right after a search and through a page load: the title is the
// first line, at most 81 bytes of whole characters and never a line feed; the
// excerpt runs on with at most 85 bytes; both follow the rules of the text.
#include <cstdint>
#include <cstring>

#include "fuzz/FuzzSupport.h"
#include "search/SearchEngin.h"

namespace {

constexpr const char* kPath = "DATA/row.txt";

CSearchEngin g_engine;

struct Row {
    std::string title;
    std::string excerpt;
};

// The rules: the title stops once full, at a NUL, the end or a line feed
// (consumed) or before a character that would not fit; the excerpt goes on
// from there over line feeds and stops at a NUL, the end or a character that
// would not fit.
Row RowByRules(std::string_view textModeBytes) {
    fuzz::Characters characters(textModeBytes);
    Row row;
    fuzz::Character c{{0, 0}, 0};
    bool carried = false;  // a character that did not fit the title begins the excerpt
    while (row.title.size() < CSearchEngin::kTitleLimit) {
        c = characters.Next();
        if (c.length == 0 || (c.length == 1 && (c.bytes[0] == 0 || c.bytes[0] == '\n'))) break;
        if (!c.IsText()) continue;
        if (static_cast<int>(row.title.size()) + c.length > CSearchEngin::kTitleLimit) {
            carried = true;
            break;
        }
        row.title.append(reinterpret_cast<const char*>(c.bytes), c.length);
    }
    if (!carried) c = characters.Next();
    for (; c.length > 0; c = characters.Next()) {
        if (c.length == 1 && c.bytes[0] == 0) break;
        if (!c.IsText()) continue;
        if (static_cast<int>(row.excerpt.size()) + c.length > CSearchEngin::kExcerptLimit) break;
        row.excerpt.append(reinterpret_cast<const char*>(c.bytes), c.length);
    }
    return row;
}

// The text the search gathers from the file, as the file layer gives it.
std::string GatheredText() {
    sjis::OpenFile file(kPath);
    fuzz::Require(file.IsOpen(), "the written file opens");
    sjis::TextFileBytes bytes(file.Handle());
    sjis::SjisCharReader reader(bytes);
    char text[CSearchEngin::kTextLimit + 1];
    reader.ReadText(text, CSearchEngin::kTextLimit);
    return text;
}

Row RowShown() {
    const ResultItem& item = g_engine.m_items[0];
    fuzz::Require(item.bPresent == 1 && g_engine.m_items[1].bPresent == 0, "one row is present");
    fuzz::Require(std::strcmp(item.szPath, kPath) == 0, "the row shows the hit's path");
    return Row{item.szTitle, item.szContent};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view raw(reinterpret_cast<const char*>(data), size);
    fuzz::WriteFile(kPath, raw);

    // Right after a search the row may come from what the search read; a
    // page load reads the file again. Both show the same row.
    std::string text = GatheredText();
    bool searched = !text.empty();
    Row afterSearch;
    if (searched) {
        std::string word = text.substr(0, sjis::IsLeadByte(text[0]) ? 2 : 1);
        g_engine.m_sub_Search(word.c_str());
        fuzz::Require(g_engine.m_nHits == 1, "a word from the file's text finds it");
        afterSearch = RowShown();
    } else {
        g_engine.m_nHits = 1;
        std::strcpy(g_engine.m_hitPaths[0], kPath);
        g_engine.m_sub_MakePages();
    }
    g_engine.m_sub_LoadPage();
    Row row = RowShown();
    if (searched) {
        fuzz::Require(afterSearch.title == row.title, "the search's title is the file's");
        fuzz::Require(afterSearch.excerpt == row.excerpt, "the search's excerpt is the file's");
    }

    fuzz::Require(row.title.size() <= CSearchEngin::kTitleLimit,
                  "the title holds at most 81 bytes");
    fuzz::Require(row.title.find('\n') == std::string::npos, "the title holds no line feed");
    fuzz::Require(fuzz::IsWholeKeptText(row.title), "the title is whole text characters");
    fuzz::Require(row.excerpt.size() <= CSearchEngin::kExcerptLimit,
                  "the excerpt holds at most 85 bytes");
    fuzz::Require(fuzz::IsWholeKeptText(row.excerpt), "the excerpt is whole text characters");

    if (!fuzz::ReadAsItIs(kPath)) return 0;
    Row expected = RowByRules(fuzz::TextModeBytes(raw));
    fuzz::Require(row.title == expected.title, "the title follows the rules");
    fuzz::Require(row.excerpt == expected.excerpt, "the excerpt follows the rules");
    return 0;
}
