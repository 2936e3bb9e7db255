// The hit-count box at the top right of the window: the total after a
// search, and the count so far while one runs.
#pragma once

#include <windows.h>

// "総ヒット数" over "<n>　件", or "<n>　件以上" when the search stopped at
// its cap of hits, so that more files may hold the words.
void DrawHitCount(HDC hDC, int nHits, bool bCapped);
// "検索中" over the hits found so far, on a cleared box.
void DrawSearchProgress(HDC hDC, int nHitsSoFar);
// The total of a stopped search, marked "（中止）", on a cleared box.
void DrawStoppedCount(HDC hDC, int nHits);
