#include "search/text/RowMarks.h"

#include <algorithm>
#include <cstring>

#include <sorahiki/cp932.h>

#include "search/text/WordMatch.h"

namespace row_marks {
namespace {

// Bytes of text kept before the word, when the text has them: room for a
// few words of lead-in while the rest of the line follows the word.
constexpr int kLeadIn = 24;
constexpr int kEllipsisBytes = sizeof kEllipsis - 1;

int CharBytes(std::string_view text, int at) {
    return cp932::IsLeadByte(static_cast<unsigned char>(text[static_cast<size_t>(at)])) ? 2 : 1;
}

// The first character boundary at or after `from`, counted from the start.
int BoundaryFrom(std::string_view text, int from) {
    int at = 0;
    while (at < from) at += CharBytes(text, at);
    return at;
}

// The end of the longest run of whole characters from `start` within `room`
// bytes.
int EndWithin(std::string_view text, int start, int room) {
    const int length = static_cast<int>(text.size());
    int end = start;
    while (end < length && end + CharBytes(text, end) - start <= room) end += CharBytes(text, end);
    return std::min(end, length);
}

}  // namespace

bool MarkWords(std::string_view text, std::span<const std::string_view> words,
               std::span<unsigned char> marks) {
    std::fill(marks.begin(), marks.end(), 0);
    bool any = false;
    for (std::string_view word : words) {
        sjis::ForEachWordAt(text, word, [&](size_t at) {
            const size_t end = std::min(at + word.size(), marks.size());
            for (size_t i = at; i < end; ++i) marks[i] = 1;
            any = true;
            return true;
        });
    }
    return any;
}

bool MarkFoldedWords(std::string_view text, std::span<const std::string_view> foldedWords,
                     text_fold::FoldRules rules, std::span<unsigned char> marks) {
    std::fill(marks.begin(), marks.end(), 0);
    text = text.substr(0, std::min<size_t>(text.size(), kMarkedTextBytes));
    char folded[2 * kMarkedTextBytes + 1];
    unsigned short sourceAt[2 * kMarkedTextBytes + 1];
    const text_fold::FoldedText done = text_fold::FoldText(text, rules, false, folded, sourceAt);
    const std::string_view foldedText(folded, static_cast<size_t>(done.length));
    bool any = false;
    for (std::string_view word : foldedWords) {
        sjis::ForEachWordAt(foldedText, word, [&](size_t at) {
            const size_t last = sourceAt[at + word.size() - 1];
            const size_t end = last + text_fold::FoldAt(text.substr(last), rules).taken;
            for (size_t i = sourceAt[at]; i < std::min(end, marks.size()); ++i) marks[i] = 1;
            any = true;
            return true;
        });
    }
    return any;
}

// The window starts up to kLeadIn bytes before the word and runs on as far as
// the room allows; when the text ends first, it starts earlier instead, so the
// line is as full as the text makes it.
void CutContext(std::string_view text, std::string_view word, char* context, int limit) {
    context[0] = '\0';
    const int at = sjis::FindWord(text, word);
    if (at >= 0) CutContextAround(text, at, at + static_cast<int>(word.size()), context, limit);
}

void CutContextAround(std::string_view text, int at, int wordEnd, char* context, int limit) {
    context[0] = '\0';
    const int room = limit - kEllipsisBytes;
    if (wordEnd - at > room) return;
    const int length = static_cast<int>(text.size());
    int start = BoundaryFrom(text, std::max({0, at - kLeadIn, wordEnd - room}));
    int end = EndWithin(text, start, room);
    if (end == length) {
        start = std::min(start, BoundaryFrom(text, std::max(0, length - room)));
    }
    std::memcpy(context, kEllipsis, kEllipsisBytes);
    std::memcpy(context + kEllipsisBytes, text.data() + start, static_cast<size_t>(end - start));
    context[kEllipsisBytes + end - start] = '\0';
}

}  // namespace row_marks
