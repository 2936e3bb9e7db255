// What a screen reader is told of the results area: its parts in reading
// order (the rows shown, the hit-count box, the notice or the usage page,
// the page strip), each with its role, texts, state and rectangle, read
// afresh from the search screen at each question, so nothing is kept.
#pragma once

#include <windows.h>

#include "screen/RowHitTest.h"
#include "screen/WideText.h"

class CSearchEdit;

struct ResultsPart {
    enum Kind { Row, HitCount, Notice, UsagePage, PrevLabel, PageLink, NextLabel };
    Kind kind;
    int nIndex;  // the row of the page shown, the page cell or the usage page's line
};

// Ten rows, the count, the notice or the usage page's lines, two labels, ten
// cells.
constexpr int kMaxResultsParts = 32;

// Fills `parts` with the parts shown now; returns how many.
int ListResultsParts(const CSearchEdit& screen, ResultsPart (&parts)[kMaxResultsParts]);

// The child id (part index + 1) of a row shown, of a page-strip element (as
// g_nStripFocus counts them), of the count or the notice that takes its
// place; CHILDID_SELF (0) for none.
LONG ChildIdOfRow(const CSearchEdit& screen, int nRow);
LONG ChildIdOfStripElement(const CSearchEdit& screen, int nElement);
LONG ChildIdOfStatus(const CSearchEdit& screen);
// The strip element that has the keyboard while the main window has it;
// kNoStripElement while the rows have it.
constexpr int kNoStripElement = -100;
int FocusedStripElement();

// A row is "<number>. <title> — <path>" with its excerpt line as the
// description; the page strip's links are 「前のページ」, 「ページ N」 and
// 「次のページ」 (the page shown selected, the keyboard's one focused); the
// usage page is read line by line; the other parts say what they show.
WideText ResultsPartName(const CSearchEdit& screen, const ResultsPart& part);
WideText ResultsPartDescription(const CSearchEdit& screen, const ResultsPart& part);
LONG ResultsPartRole(const ResultsPart& part);
// bFocused: the results have the keyboard focus.
LONG ResultsPartState(const CSearchEdit& screen, const ResultsPart& part, bool bFocused);
// In client pixels, at the window's scale.
RECT ResultsPartRect(const ResultsPart& part);
