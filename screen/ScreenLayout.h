// Where things stand on the 800 x 600 client area of the main window, in
// pixels at 100 % (96 dots per inch). The window is drawn at its monitor's
// scale: every number here reaches the screen through Scaled (at the end),
// the one step that turns a pixel at 100 % into a pixel of the window. The
// painter and the pointer tracker share these rectangles, scaled alike, so
// what is highlighted is exactly what reacts to a click.
#pragma once

#include <windows.h>

// The dots per inch of the main window's monitor: 96 at 100 %, 144 at 150 %.
// Set by the main window when it is made and when it moves to a monitor of
// another scale (ScreenGlobals.cpp); read by Scaled.
extern int g_nScreenDpi;

namespace screen_layout {

constexpr int kRows = 10;
constexpr int kPageCells = 10;
constexpr int kRowPitch = 53;
constexpr int kCellPitch = 41;
constexpr int kLinkPitch = 40;

// The area under the two bars; repainted after a search and on hover changes.
constexpr RECT kResultsBand{0, 45, 800, 600};
// The total hit count at the top right, and the part of it above the rows
// that its text fills (the band below belongs to the rows).
constexpr RECT kHitCountBox{650, 0, 800, 50};
constexpr RECT kHitCountText{kHitCountBox.left, kHitCountBox.top, kHitCountBox.right,
                             kResultsBand.top};

// The two bars, in client pixels of the main window.
constexpr RECT kSearchBar{230, 5, 635, 45};
constexpr RECT kHistoryBar{20, 5, 170, 45};

// The base units of the bars' dialog font at 100 % (a 9-point "MS UI Gothic",
// 12 pixels high): four dialog units across and eight down are this many
// pixels.
constexpr int kDialogUnitX = 6;
constexpr int kDialogUnitY = 12;
constexpr int kDialogFontHeight = 12;

// The results' font: a fixed-pitch Gothic as high and wide as the system font
// of a Japanese Windows.
constexpr int kTextHeight = 18;
constexpr int kTextWidth = 8;

// The labels "前へ" and "次へ" of the bottom strip.
constexpr RECT kPrevLabel{90, 575, 140, 600};
constexpr RECT kNextLabel{640, 575, 690, 600};

// Rows are 54 pixels tall at a pitch of 53: neighbours share one pixel line.
constexpr RECT RowRect(int nRow) {
    return RECT{0, 45 + kRowPitch * nRow, 800, 99 + kRowPitch * nRow};
}

// Cell j of the bottom strip stands for page m_nPage + j.
constexpr RECT PageCellRect(int nCell) {
    return RECT{190 + kCellPitch * nCell, 575, 220 + kCellPitch * nCell, 600};
}

// The middle line of row r: the excerpt; the title stands 17 pixels above
// it and the path 18 below.
constexpr int RowTextY(int nRow) {
    return 62 + kRowPitch * nRow;
}

constexpr int kNumberX = 5;
constexpr int kLabelX = 30;
constexpr int kTitleX = 130;
constexpr int kContentX = 100;
constexpr int kPathX = 160;
constexpr int kTitleDy = -17;
constexpr int kPathDy = 18;

constexpr int kLinkY = 580;
constexpr int LinkX(int nCell) {
    return 200 + kLinkPitch * nCell;
}
constexpr int kPrevTextX = 100;
constexpr int kNextTextX = 650;

// Where a row's menu opens when the keyboard asks for it: under the
// start of its title.
constexpr POINT RowMenuAnchor(int nRow) {
    return POINT{kTitleX, RowTextY(nRow)};
}
// The keyboard's frame stands this far inside the row or page link it marks.
constexpr int kFocusFrameInset = 1;

constexpr int kHitCountX = 670;
constexpr int kHitCountCaptionY = 5;
constexpr int kHitCountValueY = 25;

// ---- The window's scale ----------------------------------------------------

constexpr int kBaseDpi = 96;

// Rounded to the nearest pixel, halves away from zero; at 96 dots per inch
// every number stays as it is.
inline int Scaled(int nPixels) {
    const long long product = static_cast<long long>(nPixels) * g_nScreenDpi;
    const long long half = kBaseDpi / 2;
    return static_cast<int>((product >= 0 ? product + half : product - half) / kBaseDpi);
}

// Each edge scaled on its own: neighbours that share an edge at 100 % share
// it at every scale.
inline RECT Scaled(const RECT& rect) {
    return RECT{Scaled(rect.left), Scaled(rect.top), Scaled(rect.right), Scaled(rect.bottom)};
}

inline POINT Scaled(POINT pt) {
    return POINT{Scaled(pt.x), Scaled(pt.y)};
}

// Asks for the area under the bars, or the hit-count box, to be painted
// again, at the window's scale.
inline void InvalidateResultsBand(HWND hWnd) {
    const RECT band = Scaled(kResultsBand);
    InvalidateRect(hWnd, &band, TRUE);
}
inline void InvalidateHitCount(HWND hWnd) {
    const RECT box = Scaled(kHitCountBox);
    InvalidateRect(hWnd, &box, TRUE);
}

}  // namespace screen_layout
