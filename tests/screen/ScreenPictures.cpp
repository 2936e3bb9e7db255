// Pictures of the screen for a person to look at: with the environment
// variable SORAHIKI_SCREEN_PNG_DIR set, writes the usage page, a page of hits
// with the pointer over a row and the words highlighted, and the screen of a
// search without hits.
#include <cstdlib>

#include "tests/screen/ScreenFixture.h"

namespace screentest {
namespace {

TEST_F(SearchScreenTest, SavePictures) {
    const char* pszDir = std::getenv("SORAHIKI_SCREEN_PNG_DIR");
    if (pszDir == nullptr) GTEST_SKIP() << "SORAHIKI_SCREEN_PNG_DIR is not set";
    const fs::path dir = fs::absolute(fs::path(m_oldDir) / pszDir);
    fs::create_directories(dir);

    PaintNow();
    EXPECT_TRUE(headless::SavePng((dir / "usage-page.png").string()));

    for (int i = 0; i < 12; ++i) {
        WriteFile(HitPath(i), HitTitle(i) + " 野菜の 煮物\n" + HitContent(i) +
                                  "。だしを取り、野菜を切って、弱火で煮込みます。\n二行目の文。\n");
    }
    WriteFile("DATA/" + std::string(100, 'a') + "/" + std::string(99, 'b') + ".txt",
              "長い道のりの料理\n本文\n");
    // A row whose title and excerpt miss the word shows where it matched.
    WriteFile("DATA/h0003.txt",
              "買い物の記録\n卵と牛乳と砂糖を買った。今週は野菜が安かったので多めに買って"
              "おいた。来週の分も考えて冷凍しておく。夜は料理の本を読む。\n");
    Submit("料理");
    MoveTo(400, 170);
    PaintNow();
    EXPECT_TRUE(headless::SavePng((dir / "hits-pointer-on-row.png").string()));

    Submit("見つからない語");
    PaintNow();
    EXPECT_TRUE(headless::SavePng((dir / "no-hit.png").string()));
}

}  // namespace
}  // namespace screentest
