#include "screen/RowHighlights.h"

#include <algorithm>
#include <cstring>

namespace {

bool AnyMark(const unsigned char* marks, size_t count) {
    return std::any_of(marks, marks + count, [](unsigned char mark) { return mark != 0; });
}

// One fill per run of marked bytes, from the width of the text before the run
// to the width of the text through it, one line high.
void FillMarkedRuns(HDC hDC, HBRUSH brush, POINT at, const char* text, const unsigned char* marks,
                    size_t markCount) {
    const int length = static_cast<int>(std::min(std::strlen(text), markCount));
    for (int start = 0; start < length;) {
        if (marks[start] == 0) {
            ++start;
            continue;
        }
        int end = start;
        while (end < length && marks[end] != 0) ++end;
        SIZE before{};
        SIZE through{};
        if (start > 0) GetTextExtentPoint32A(hDC, text, start, &before);
        GetTextExtentPoint32A(hDC, text, end, &through);
        const RECT fill{at.x + before.cx, at.y, at.x + through.cx, at.y + through.cy};
        FillRect(hDC, &fill, brush);
        start = end;
    }
}

}  // namespace

const char* ExcerptLineText(const ResultItem& item) {
    const bool showsWords = AnyMark(item.titleMarks, sizeof item.titleMarks) ||
                            AnyMark(item.contentMarks, sizeof item.contentMarks);
    return showsWords || item.szContext[0] == '\0' ? item.szContent : item.szContext;
}

void FillRowHighlights(HDC hDC, HBRUSH brush, const ResultItem& item, POINT title, POINT content) {
    FillMarkedRuns(hDC, brush, title, item.szTitle, item.titleMarks, sizeof item.titleMarks);
    const char* line = ExcerptLineText(item);
    if (line == item.szContent) {
        FillMarkedRuns(hDC, brush, content, line, item.contentMarks, sizeof item.contentMarks);
    } else {
        FillMarkedRuns(hDC, brush, content, line, item.contextMarks, sizeof item.contextMarks);
    }
}
