#include "screen/HitCountBox.h"

#include <cstdio>

#include "screen/ScreenLayout.h"
#include "screen/ScreenText.h"

namespace {

namespace layout = screen_layout;

void ClearBox(HDC hDC) {
    const RECT box = layout::Scaled(layout::kHitCountText);
    FillRect(hDC, &box, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void DrawCountLine(HDC hDC, int nHits, const char* pszMark) {
    char szCount[48];
    std::snprintf(szCount, sizeof szCount, "%d　件%s", nHits, pszMark);
    DrawString(hDC, layout::kHitCountX, layout::kHitCountValueY, szCount);
}

}  // namespace

void DrawHitCount(HDC hDC, int nHits, bool bCapped) {
    DrawFixedText(hDC, layout::kHitCountX, layout::kHitCountCaptionY, "総ヒット数");
    DrawCountLine(hDC, nHits, bCapped ? "以上" : "");
}

void DrawSearchProgress(HDC hDC, int nHitsSoFar) {
    ClearBox(hDC);
    SetTextColor(hDC, RGB(0, 0, 0));
    DrawFixedText(hDC, layout::kHitCountX, layout::kHitCountCaptionY, "検索中");
    DrawCountLine(hDC, nHitsSoFar, "");
}

void DrawStoppedCount(HDC hDC, int nHits) {
    ClearBox(hDC);
    SetTextColor(hDC, RGB(0, 0, 0));
    DrawFixedText(hDC, layout::kHitCountX, layout::kHitCountCaptionY, "総ヒット数");
    DrawCountLine(hDC, nHits, "（中止）");
}
