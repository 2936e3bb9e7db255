// What the results area shows, read from the draw calls of the main window's
// paints: the usage page, the no-hit screen, the rows with their numbers and
// labels, the page links and the grey fills under the pointer.
#include "tests/screen/ScreenFixture.h"

namespace screentest {
namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr int kOpaque = 2;

struct Text {
    int x, y;
    std::string bytes;
    COLORREF colour;
    bool operator==(const Text&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Text& t) {
    return os << "(" << t.x << ", " << t.y << ") " << t.bytes.size() << " bytes, colour "
              << std::hex << t.colour << std::dec;
}

std::vector<Text> Texts(const std::vector<DrawCall>& paint) {
    std::vector<Text> texts;
    for (const DrawCall& c : Only(paint, Draw::TextOut)) {
        texts.push_back({c.x, c.y, c.bytes, c.colour});
    }
    return texts;
}

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// The usage page: y and the byte count of each of its 27 lines.
const int kUsageBytes[27] = {50, 10, 72, 80, 66, 38, 30, 76, 58, 48, 50, 24, 80, 54,
                             70, 66, 54, 24, 82, 74, 58, 52, 80, 66, 60, 68, 84};

void ExpectUsagePage(const std::vector<DrawCall>& texts) {
    ASSERT_EQ(texts.size(), 27u);
    for (int n = 0; n < 27; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(texts[n].x, 20);
        EXPECT_EQ(texts[n].y, 50 + 20 * n);
        EXPECT_EQ(texts[n].bytes.size(), static_cast<size_t>(kUsageBytes[n]));
        EXPECT_EQ(texts[n].colour, kBlack);
        EXPECT_EQ(texts[n].bk_mode, kOpaque);
    }
    EXPECT_EQ(texts[0].bytes, Repeat("　", 21) + "Sorahiki");
    EXPECT_EQ(texts[1].bytes, "【使い方】");
    EXPECT_EQ(texts[26].bytes,
              Repeat("　", 12) + "Sorahiki   Version 1.0   Copyright (C) 2026 Sorahiki project");
}

TEST_F(SearchScreenTest, BeforeTheFirstSearchOnlyTheUsagePageIsDrawn) {
    const auto paint = PaintNow();
    EXPECT_TRUE(Only(paint, Draw::FillRect).empty());
    EXPECT_TRUE(Only(paint, Draw::SetBkMode).empty());
    ExpectUsagePage(Only(paint, Draw::TextOut));
}

TEST_F(SearchScreenTest, ASearchWithoutHitsShowsTheCountAndTheUsagePage) {
    Submit("見つからない語");
    const auto texts = Only(LastPaint(), Draw::TextOut);
    ASSERT_EQ(texts.size(), 29u);
    EXPECT_EQ(Texts(LastPaint())[0], (Text{670, 5, "総ヒット数", kBlack}));
    EXPECT_EQ(Texts(LastPaint())[1], (Text{670, 25, "0　件", kBlack}));
    EXPECT_EQ(texts[0].bk_mode, kOpaque);
    ExpectUsagePage({texts.begin() + 2, texts.end()});
    EXPECT_TRUE(Only(LastPaint(), Draw::FillRect).empty());
}

// Every text of a page of hits, in the order the painter draws them.
std::vector<Text> ExpectedPage(int nHits, int nPage) {
    const int first = nPage * 10;
    const int rows = std::min(10, nHits - first);
    std::vector<Text> texts;
    for (int r = 0; r < rows; ++r) {
        const int y = 62 + 53 * r;
        texts.push_back({130, y - 17, HitTitle(first + r), kBlack});
        texts.push_back({100, y, HitContent(first + r), kBlack});
        texts.push_back({160, y + 18, HitPath(first + r), kBlack});
    }
    for (int r = 0; r < rows; ++r) {
        texts.push_back({5, 45 + 53 * r, std::to_string(first + r + 1) + ".", kBlack});
    }
    for (int r = 0; r < rows; ++r) {
        const int y = 62 + 53 * r;
        texts.push_back({30, y - 17, "【タイトル】", RGB(255, 128, 100)});
        texts.push_back({30, y, "【内容】", RGB(128, 128, 255)});
        texts.push_back({30, y + 18, "【ファイルパス】", RGB(0, 255, 0)});
    }
    const int pages = (nHits + 9) / 10;
    for (int j = 0; j < 10 && nPage + j < pages; ++j) {
        texts.push_back({200 + 40 * j, 580, std::to_string(nPage + j + 1), kBlack});
    }
    if (nPage >= 1) texts.push_back({100, 580, "前へ", kBlack});
    if (nPage + 1 < pages) texts.push_back({650, 580, "次へ", kBlack});
    texts.push_back({670, 5, "総ヒット数", kBlack});
    // A scan that fills the hit list stops there: more files may hold the word.
    const char* more = nHits == CSearchEngin::kMaxHits ? "以上" : "";
    texts.push_back({670, 25, std::to_string(nHits) + "　件" + more, kBlack});
    return texts;
}

void ExpectPage(const std::vector<DrawCall>& paint, int nHits, int nPage) {
    EXPECT_EQ(Texts(paint), ExpectedPage(nHits, nPage));
    for (const DrawCall& c : Only(paint, Draw::TextOut)) EXPECT_EQ(c.bk_mode, TRANSPARENT);
}

TEST_F(SearchScreenTest, PagesShowTheirRowsLinksAndArrows) {
    const struct {
        int hits;
        std::vector<int> pages;
    } cases[] = {{10, {0}}, {11, {0, 1}}, {14, {0, 1}}, {25, {1, 2}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hits);
        fs::remove_all("DATA");
        MakeHits(c.hits);
        Submit("料理");
        for (int page : c.pages) {
            SCOPED_TRACE(page);
            GoToPage(page);
            MoveTo(700, 30);
            ExpectPage(PaintNow(), c.hits, page);
        }
    }
}

TEST_F(SearchScreenTest, AThousandAndTenHitsMakeAHundredAndOnePages) {
    MakeHits(1010);
    Submit("料理");
    ASSERT_EQ(Engine().m_nHits, 1010);
    for (int page : {95, 100}) {
        SCOPED_TRACE(page);
        GoToPage(page);
        MoveTo(700, 30);
        ExpectPage(PaintNow(), 1010, page);
    }
    // On the last page only cell 0 and the previous-page label react.
    MoveTo(240, 590);
    EXPECT_EQ(Engine().m_nHoverPage, -1);
    MoveTo(650, 590);
    EXPECT_EQ(Engine().m_nHoverArrow, 0);
}

TEST_F(SearchScreenTest, GreyFillsFollowThePointerOverActiveAreasOnly) {
    const struct {
        const char* what;
        int hits, page, x, y;
        std::vector<RECT> fills;
    } cases[] = {
        {"line shared by rows 0 and 1", 14, 0, 400, 98, {layout::RowRect(0)}},
        {"first line of row 1 only", 14, 0, 400, 99, {layout::RowRect(1)}},
        {"row 9 reaches the strip", 14, 0, 200, 575, {layout::RowRect(9), layout::PageCellRect(0)}},
        {"right edge of cell 0", 14, 0, 220, 580, {}},
        {"cell 1, an existing page", 14, 0, 240, 580, {layout::PageCellRect(1)}},
        {"cell 2, no such page", 14, 0, 280, 580, {}},
        {"previous label on page 0", 14, 0, 100, 580, {}},
        {"next label", 14, 0, 650, 580, {layout::kNextLabel}},
        {"previous label on page 1", 14, 1, 100, 580, {layout::kPrevLabel}},
        {"next label on the last page", 14, 1, 650, 580, {}},
        {"row 4 when three rows exist", 3, 0, 400, 270, {}},
    };
    int hitsMade = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.hits != hitsMade) {
            fs::remove_all("DATA");
            MakeHits(c.hits);
            hitsMade = c.hits;
        }
        Submit("料理");
        GoToPage(c.page);
        MoveTo(c.x, c.y);
        auto fills = Only(PaintNow(), Draw::FillRect);
        std::erase_if(fills, [](const DrawCall& fill) { return fill.colour != kGrey; });
        ASSERT_EQ(fills.size(), c.fills.size());
        for (size_t i = 0; i < fills.size(); ++i) {
            EXPECT_TRUE(SameRect(fills[i].rect, c.fills[i])) << i;
            EXPECT_EQ(fills[i].colour, kGrey);
        }
    }
}

TEST_F(SearchScreenTest, TheLongestPathIsDrawnWhole) {
    const std::string path = "DATA/" + std::string(100, 'a') + "/" + std::string(99, 'b') + ".txt";
    ASSERT_EQ(path.size(), 209u);
    WriteFile(path, "長い道\n料理\n");
    Submit("料理");
    const auto texts = Texts(LastPaint());
    EXPECT_NE(std::find(texts.begin(), texts.end(), Text{160, 80, path, kBlack}), texts.end());
}

// The words stand on light yellow behind the text, which is drawn as before;
// a row whose title and excerpt hold no word shows, on its excerpt line, the
// text around the first word instead.
TEST_F(SearchScreenTest, WordsStandOnYellowAndARowShowsWhereItMatched) {
    WriteFile("DATA/a.txt", "料理の本\n今日も料理と料理\n");
    WriteFile("DATA/b.txt", "表題\n" + std::string(100, 'x') + "ずっと先に料理がある\n");
    Submit("料理");
    const auto paint = LastPaint();
    std::vector<RECT> yellow;
    for (const DrawCall& fill : Only(paint, Draw::FillRect)) {
        EXPECT_EQ(fill.colour, RGB(255, 240, 120));
        yellow.push_back(fill.rect);
    }
    // Row 0: the title's word at its start, the excerpt's two after "今日も".
    ASSERT_EQ(yellow.size(), 4u);
    EXPECT_EQ(yellow[0].left, 130);
    EXPECT_EQ(yellow[0].top, 45);
    EXPECT_EQ(yellow[1].top, 62);
    EXPECT_GT(yellow[1].left, 100);
    EXPECT_GT(yellow[2].left, yellow[1].right);
    EXPECT_EQ(yellow[1].right - yellow[1].left, yellow[0].right - yellow[0].left);
    EXPECT_GT(yellow[0].bottom - yellow[0].top, 10);
    // Row 1: the excerpt line shows the text around the word, highlighted,
    // as much of it as 85 bytes hold.
    const std::string context = "…" + std::string(63, 'x') + "ずっと先に料理がある";
    const auto texts = Texts(paint);
    EXPECT_NE(std::find(texts.begin(), texts.end(), Text{100, 115, context, kBlack}), texts.end());
    EXPECT_EQ(yellow[3].top, 115);
    EXPECT_GT(yellow[3].left, 100 + 24 * 6);
}

}  // namespace
}  // namespace screentest
