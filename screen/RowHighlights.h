// The light-yellow fills behind the words of the query on a row, and which
// text the row's excerpt line shows. The fills are drawn before the row's
// texts, which are then drawn whole at their usual places in their own font
// and colour: the layout does not change.
#pragma once

#include <windows.h>

#include "search/SearchEngin.h"

// The excerpt, or the text around the first word when neither the title nor
// the excerpt holds a word of the query.
const char* ExcerptLineText(const ResultItem& item);

// Fills the highlight behind each word in the title and on the excerpt line
// of a row, whose texts stand at `title` and at `content`.
void FillRowHighlights(HDC hDC, HBRUSH brush, const ResultItem& item, POINT title, POINT content);
