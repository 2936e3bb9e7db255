// The pointer over the results: hover changes and the repaints they ask for,
// page turns by cell and by label, clicks that wait over inactive areas, and
// the files that clicks on rows open.
#include "tests/screen/ScreenFixture.h"

namespace screentest {
namespace {

struct Hover {
    int item, page, arrow;
    bool operator==(const Hover&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Hover& h) {
    return os << "{" << h.item << ", " << h.page << ", " << h.arrow << "}";
}

class PointerTrackingTest : public SearchScreenTest {
  protected:
    Hover Current() {
        return {Engine().m_nHoverItem, Engine().m_nHoverPage, Engine().m_nHoverArrow};
    }
    // What the shell was asked to open, as full paths.
    std::vector<std::string> Opened() {
        std::vector<std::string> files;
        for (const auto& call : headless::ShellCalls()) {
            EXPECT_EQ(call.owner, nullptr);
            EXPECT_EQ(call.verb, "open");
            EXPECT_FALSE(call.params || call.dir);
            EXPECT_EQ(call.show, SW_SHOWNORMAL);
            files.push_back(call.file.value_or(""));
        }
        return files;
    }
    std::string FullPath(const std::string& path) { return (m_dir / path).string(); }
};

TEST_F(PointerTrackingTest, BeforeAnySearchOnlyTheStartValuesOfTheHoverAreCorrected) {
    // Start-up left row and cell hover at 0; the first step set both to none.
    EXPECT_EQ(Current(), (Hover{-1, -1, 0}));
    EXPECT_EQ(BandInvalidations(), 2);
    headless::LeftDown(400, 100);
    Settle();
    EXPECT_EQ(g_bLeftClick, 1);
    headless::LeftUp(400, 100);
    Settle();
    EXPECT_EQ(g_bLeftClick, 0);
    EXPECT_TRUE(headless::ShellCalls().empty());
}

TEST_F(PointerTrackingTest, EachChangeOfTheAreaUnderThePointerRepaintsOnce) {
    MakeHits(14);
    Submit("料理");
    const struct {
        int x, y;
        Hover hover;
        int repaints;
    } steps[] = {
        {400, 60, {0, -1, 0}, 1},   {410, 70, {0, -1, 0}, 0},   {400, 98, {0, -1, 0}, 0},
        {400, 99, {1, -1, 0}, 1},   {200, 575, {9, 0, 0}, 2},   {240, 590, {-1, 1, 0}, 2},
        {280, 590, {-1, -1, 0}, 1}, {650, 590, {-1, -1, 2}, 1}, {100, 590, {-1, -1, 2}, 0},
        {700, 30, {-1, -1, 0}, 1},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message() << step.x << ", " << step.y);
        headless::ClearLogs();
        MoveTo(step.x, step.y);
        EXPECT_EQ(Current(), step.hover);
        EXPECT_EQ(BandInvalidations(), step.repaints);
        EXPECT_EQ(CountInvalidations(), 0);
    }
}

TEST_F(PointerTrackingTest, CellsAndLabelsTurnThePage) {
    MakeHits(14);
    Submit("料理");
    const struct {
        const char* what;
        int x, y;
        int page;
        int rows;
        bool clickTaken;
        int repaints;
    } steps[] = {
        // After the turn cell 1 stands for page 2, which does not exist.
        {"cell 1", 240, 590, 1, 4, true, 2},
        {"cell 0 reloads the page shown", 200, 590, 1, 4, true, 1},
        {"previous label", 100, 590, 0, 10, true, 1},
        {"previous label on page 0", 100, 590, 0, 10, false, 0},
        {"next label", 650, 590, 1, 4, true, 1},
        {"next label on the last page", 650, 590, 1, 4, false, 0},
        {"cell 1 on the last page", 240, 590, 1, 4, false, 0},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        MoveTo(step.x, step.y);
        headless::ClearLogs();
        headless::LeftDown(step.x, step.y);
        Settle();
        EXPECT_EQ(g_bLeftClick, step.clickTaken ? 0 : 1);
        EXPECT_EQ(BandInvalidations(), step.repaints);
        headless::LeftUp(step.x, step.y);
        Settle();
        EXPECT_EQ(Engine().m_nPage, step.page);
        int rows = 0;
        for (const ResultItem& item : Engine().m_items) rows += item.bPresent;
        EXPECT_EQ(rows, step.rows);
        EXPECT_EQ(Engine().m_items[0].szTitle, HitTitle(step.page * 10));
    }
    // Over the label that the turn made inactive the hover stays until the
    // pointer leaves it.
    Click(100, 590);
    ASSERT_EQ(Engine().m_nPage, 0);
    EXPECT_EQ(Engine().m_nHoverArrow, 1);
    headless::ClearLogs();
    MoveTo(700, 30);
    EXPECT_EQ(Engine().m_nHoverArrow, 0);
    EXPECT_EQ(BandInvalidations(), 1);
}

TEST_F(PointerTrackingTest, AClickOnARowOpensItsFile) {
    MakeHits(14);
    Submit("料理");
    const struct {
        const char* what;
        int x, y;
        int hit;
    } cases[] = {
        {"line shared by rows 0 and 1", 400, 98, 0},
        {"row 9 on the line it shares with the strip", 200, 575, 9},
        {"row 3", 10, 230, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        headless::ClearLogs();
        Click(c.x, c.y);
        EXPECT_EQ(Opened(), std::vector<std::string>{FullPath(HitPath(c.hit))});
        EXPECT_EQ(Engine().m_nPage, 0);
    }
    // A double click opens its row's file once.
    headless::ClearLogs();
    for (int press = 0; press < 2; ++press) {
        headless::LeftDown(400, 60);
        headless::LeftUp(400, 60);
    }
    Settle();
    EXPECT_EQ(Opened(), std::vector<std::string>{FullPath(HitPath(0))});
    // On the last page the rows after the last hit do nothing.
    GoToPage(1);
    headless::ClearLogs();
    headless::LeftDown(400, 300);
    Settle();
    EXPECT_EQ(Engine().m_nHoverItem, -1);
    EXPECT_EQ(g_bLeftClick, 1);
    EXPECT_TRUE(Opened().empty());
}

TEST_F(PointerTrackingTest, ARowWhoseFileIsGoneSinceTheSearchOpensNothingAndSaysSo) {
    MakeHits(3);
    Submit("料理");
    fs::remove(OnDisk(HitPath(1)));
    headless::ClearLogs();
    headless::QueueAnswer(IDOK);
    Click(400, 120);
    EXPECT_TRUE(Opened().empty());
    ASSERT_EQ(apptest::BoxesSeen().size(), 1u);
    const apptest::BoxSeen box = apptest::BoxesSeen()[0];
    EXPECT_EQ(headless::Boxes()[0].owner, Main());
    EXPECT_EQ(box.caption, "エラーメッセージ");
    EXPECT_EQ(box.text, "ファイルを開けませんでした。\n" + HitPath(1) +
                            "\n\nファイルが見つかりません。検索の後で名前が変わったか、"
                            "削除されたようです。");
    EXPECT_EQ(g_bLeftClick, 0);
}

TEST_F(PointerTrackingTest, APressOnEmptySpaceActsWhenDraggedOntoARow) {
    MakeHits(3);
    Submit("料理");
    headless::ClearLogs();
    headless::LeftDown(700, 30);
    Settle();
    EXPECT_EQ(g_bLeftClick, 1);
    headless::MouseMove(400, 120);
    Settle();
    EXPECT_EQ(Opened(), std::vector<std::string>{FullPath(HitPath(1))});
    EXPECT_EQ(g_bLeftClick, 0);
    headless::LeftUp(400, 120);
    Settle();
    EXPECT_EQ(Opened().size(), 1u);
}

TEST_F(PointerTrackingTest, TheShellGetsTheListedPathAndOpensTheListedFile) {
    const struct {
        const char* word;
        std::string listed;  // the full path's tail as the program holds it
        const char8_t* onDisk;
    } cases[] = {
        // "ソ" ends with the byte 0x5C, the separator of Windows paths.
        {"料理", "DATA/ソフト/表示料理.txt", u8"DATA/ソフト/表示料理.txt"},
        // "〜" gives 0x81 0x60, which converts back to "～".
        {"献立",
         "DATA/10\x81\x60"
         "12月.txt",
         u8"DATA/10〜12月.txt"},
    };
    int nX = 400;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.listed);
        const fs::path onDisk = m_dir / fs::path(c.onDisk);
        fs::create_directories(onDisk.parent_path());
        std::ofstream(onDisk, std::ios::binary) << "表題\n" << c.word << "\n";
        Submit(c.word);
        headless::ClearLogs();
        // Clicks apart, so that no two make a double click.
        Click(nX += 10, 60);
        ASSERT_EQ(Opened(), std::vector<std::string>{FullPath(c.listed)});
        EXPECT_EQ(fs::path(headless::ShellCalls()[0].opened), onDisk);
    }
}

}  // namespace
}  // namespace screentest
