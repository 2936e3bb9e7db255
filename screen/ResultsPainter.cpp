// Painting of the results area: the grey highlight under the pointer, the ten
// rows of the page shown with their numbers and coloured labels and the
// light-yellow fills behind the words of the query, the page links,
// "前へ"/"次へ" and the total hit count. Everything is drawn afresh
// from the engine's fields; clipping to the invalid area is the platform's.
#include <cstdio>

#include "screen/HitCountBox.h"
#include "screen/KeyboardFocus.h"
#include "screen/PageLabels.h"
#include "screen/RowHighlights.h"
#include "screen/RowHitTest.h"
#include "screen/ScreenLayout.h"
#include "screen/ScreenText.h"
#include "screen/UsagePage.h"
#include "search/SearchEngin.h"
#include "window/Window.h"

namespace {

namespace layout = screen_layout;

constexpr COLORREF kTitleLabelColour = RGB(255, 128, 100);
constexpr COLORREF kContentLabelColour = RGB(128, 128, 255);
constexpr COLORREF kPathLabelColour = RGB(0, 255, 0);
constexpr COLORREF kTextColour = RGB(0, 0, 0);
constexpr COLORREF kWordHighlightColour = RGB(255, 240, 120);

// The rectangle is at 100 %; the fill at the window's scale.
void FillGrey(HDC hDC, const RECT& rect) {
    const RECT scaled = layout::Scaled(rect);
    FillRect(hDC, &scaled, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
}

// The row of the grey fill: the selected row while the keyboard moved it
// last and the rows have their place, else the present row under the pointer.
int HighlightedRow(const CSearchEngin& engine, POINT pt) {
    if (g_bKeyboardMovedLast && g_nClientFocusPlace == kFocusRows) return SelectedRow(engine);
    return PresentRowAt(engine, pt);
}

// Grey fills under the pointer, for the row, page cell and label that the
// pointer tracker would act on at this point; the row may be the keyboard's.
void FillHighlights(const CSearchEngin& engine, HDC hDC, POINT pt) {
    if (const int r = HighlightedRow(engine, pt); r >= 0) FillGrey(hDC, layout::RowRect(r));
    for (int j = 0; j < layout::kPageCells; ++j) {
        const RECT cell = layout::PageCellRect(j);
        const RECT scaledCell = layout::Scaled(cell);
        if (PtInRect(&scaledCell, pt) && IsPagePresent(engine, engine.m_nPage + j)) {
            FillGrey(hDC, cell);
            break;
        }
    }
    const RECT prevLabel = layout::Scaled(layout::kPrevLabel);
    const RECT nextLabel = layout::Scaled(layout::kNextLabel);
    if (IsPrevLabelActive(engine) && PtInRect(&prevLabel, pt)) {
        FillGrey(hDC, layout::kPrevLabel);
    }
    if (IsNextLabelActive(engine) && PtInRect(&nextLabel, pt)) {
        FillGrey(hDC, layout::kNextLabel);
    }
}

void FillWordHighlights(const CSearchEngin& engine, HDC hDC) {
    HBRUSH brush = CreateSolidBrush(kWordHighlightColour);
    for (int r = 0; r < layout::kRows; ++r) {
        const ResultItem& item = engine.m_items[r];
        if (item.bPresent != 1) continue;
        const int y = layout::RowTextY(r);
        FillRowHighlights(hDC, brush, item,
                          layout::Scaled(POINT{layout::kTitleX, y + layout::kTitleDy}),
                          layout::Scaled(POINT{layout::kContentX, y}));
    }
    DeleteObject(brush);
}

void DrawRowTexts(const CSearchEngin& engine, HDC hDC) {
    for (int r = 0; r < layout::kRows; ++r) {
        const ResultItem& item = engine.m_items[r];
        if (item.bPresent != 1) continue;
        const int y = layout::RowTextY(r);
        DrawString(hDC, layout::kTitleX, y + layout::kTitleDy, item.szTitle);
        DrawString(hDC, layout::kContentX, y, ExcerptLineText(item));
        char szShown[sizeof item.szPath];
        DrawString(hDC, layout::kPathX, y + layout::kPathDy, ShownPath(item.szPath, szShown));
    }
}

void DrawRowNumbers(const CSearchEngin& engine, HDC hDC) {
    for (int r = 0; r < layout::kRows; ++r) {
        const int nHit = HitOfRow(engine, r);
        if (!IsHitPresent(engine, nHit)) continue;
        char szNumber[16];
        std::snprintf(szNumber, sizeof szNumber, "%d.", nHit + 1);
        DrawString(hDC, layout::kNumberX, layout::RowTextY(r) + layout::kTitleDy, szNumber);
    }
}

void DrawRowLabels(const CSearchEngin& engine, HDC hDC) {
    for (int r = 0; r < layout::kRows; ++r) {
        if (!IsHitPresent(engine, HitOfRow(engine, r))) continue;
        const int y = layout::RowTextY(r);
        SetTextColor(hDC, kTitleLabelColour);
        DrawFixedText(hDC, layout::kLabelX, y + layout::kTitleDy, "【タイトル】");
        SetTextColor(hDC, kContentLabelColour);
        DrawFixedText(hDC, layout::kLabelX, y, "【内容】");
        SetTextColor(hDC, kPathLabelColour);
        DrawFixedText(hDC, layout::kLabelX, y + layout::kPathDy, "【ファイルパス】");
    }
}

// The links begin with the page shown; there is none to an earlier page.
void DrawPageLinks(const CSearchEngin& engine, HDC hDC) {
    for (int j = 0; j < layout::kPageCells; ++j) {
        const int nPage = engine.m_nPage + j;
        if (!IsPagePresent(engine, nPage)) continue;
        char szLink[16];
        std::snprintf(szLink, sizeof szLink, "%d", nPage + 1);
        DrawString(hDC, layout::LinkX(j), layout::kLinkY, szLink);
    }
    if (IsPrevLabelActive(engine)) {
        DrawFixedText(hDC, layout::kPrevTextX, layout::kLinkY, "前へ");
    }
    if (IsNextLabelActive(engine)) {
        DrawFixedText(hDC, layout::kNextTextX, layout::kLinkY, "次へ");
    }
}

}  // namespace

bool CSearchEngin::m_sub_DrawResults(CDC& dc) {
    const POINT pt{g_nMouseX, g_nMouseY};
    HDC hDC = dc.m_hDC;

    if (m_nHits <= 0) {
        // Before the first search nothing is drawn here. After a search
        // without hits the count and the usage page keep the context's
        // defaults: black text in opaque white boxes.
        if (m_bNoHit == 1) {
            DrawHitCount(hDC, m_nHits, false);
            DrawUsagePage(dc);
        }
        return true;
    }

    FillHighlights(*this, hDC, pt);
    FillWordHighlights(*this, hDC);
    SetBkMode(hDC, TRANSPARENT);
    DrawRowTexts(*this, hDC);
    DrawRowNumbers(*this, hDC);
    DrawRowLabels(*this, hDC);
    SetTextColor(hDC, kTextColour);
    DrawPageLinks(*this, hDC);
    DrawHitCount(hDC, m_nHits, m_bHitCap != 0);
    return true;
}
