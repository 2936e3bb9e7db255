#include "screen/ResultsParts.h"

#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <sorahiki/cp932.h>
#include <sorahiki/listing.h>

#include "screen/KeyboardFocus.h"
#include "screen/PageLabels.h"
#include "screen/RowHighlights.h"
#include "screen/ScreenLayout.h"
#include "screen/ScreenText.h"
#include "screen/ShellOpen.h"
#include "screen/SearchEdit.h"
#include "screen/UsagePage.h"

namespace {

namespace layout = screen_layout;

constexpr WCHAR kEmDash = 0x2014;
constexpr WCHAR kIdeographicSpace = 0x3000;
constexpr DWORD kPathUnits = MAX_PATH * 8;

WideText NumberText(int nNumber, const char* pszFormat) {
    char szNumber[24];
    std::snprintf(szNumber, sizeof szNumber, pszFormat, nNumber);
    return FromCp932(szNumber);
}

// The number of names in a walked path: its separators at character
// boundaries, plus one.
int NamesIn(const char* pszPath) {
    int nNames = 1;
    for (const char* p = pszPath; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (cp932::IsLeadByte(c) && p[1] != '\0') {
            ++p;
        } else if (c == '/' || c == '\\') {
            ++nNames;
        }
    }
    return nNames;
}

// Whether the row's text may name the file otherwise than the file system
// does: a name shown with the mark 〓, or with a character of two Unicode
// forms (〜 and ～, ‖ and ∥, − and －, — and ―), whose text converts to one.
bool NeedsSystemName(const char* pszPath) {
    if (listed::HoldsMark(pszPath)) return true;
    for (const char* p = pszPath; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (!cp932::IsLeadByte(c) || p[1] == '\0') continue;
        const auto trail = static_cast<unsigned char>(*++p);
        if (c == 0x81 && (trail == 0x5C || trail == 0x60 || trail == 0x61 || trail == 0x7C)) {
            return true;
        }
    }
    return false;
}

// A row's path for a reader: where its text may name the file otherwise, the
// names the file system gives the file, as many as the row shows, while it
// is there; else the row's own text, which asks the system nothing (a view
// is taken at every change a search makes). Control characters as the
// painter draws them.
WideText RowPathText(const char* pszPath) {
    WCHAR szFull[kPathUnits];
    WideText text;
    if (NeedsSystemName(pszPath) && SystemPathOf(pszPath, szFull, kPathUnits)) {
        text = szFull;
        // The system's separator: a Linux path starts with it, and a name
        // there may hold a backslash.
        const auto separator = static_cast<WCHAR>(text[0] == '/' ? '/' : '\\');
        size_t at = text.size();
        for (int n = NamesIn(pszPath); n > 0 && at != WideText::npos && at > 0; --n) {
            at = text.find_last_of(separator, at - 1);
        }
        if (at != WideText::npos) text.erase(0, at + 1);
        // Read with "/" between the names, as the row shows them.
        std::replace(text.begin(), text.end(), separator, static_cast<WCHAR>('/'));
    } else {
        AppendCp932(text, pszPath);
    }
    for (WCHAR& c : text) {
        if (IsControlCharacter(c)) c = static_cast<WCHAR>('?');
    }
    return text;
}

WideText RowName(const CSearchEngin& engine, int nRow) {
    const ResultItem& item = engine.m_items[nRow];
    WideText name = NumberText(HitOfRow(engine, nRow) + 1, "%d. ");
    AppendCp932(name, item.szTitle);
    name += static_cast<WCHAR>(' ');
    name += kEmDash;
    name += static_cast<WCHAR>(' ');
    name += RowPathText(item.szPath);
    return name;
}

// A line of the usage page without the blanks that place it.
WideText UsageLineText(int nLine) {
    const std::string_view line = UsagePageLines()[static_cast<size_t>(nLine)];
    WideText text;
    AppendCp932(text, line.data(), static_cast<int>(line.size()));
    const auto IsBlank = [](WCHAR c) { return c == ' ' || c == kIdeographicSpace; };
    while (!text.empty() && IsBlank(text.back())) text.pop_back();
    size_t nLead = 0;
    while (nLead < text.size() && IsBlank(text[nLead])) ++nLead;
    return text.substr(nLead);
}

bool IsStripPart(const ResultsPart& part) {
    return part.kind == ResultsPart::PrevLabel || part.kind == ResultsPart::PageLink ||
           part.kind == ResultsPart::NextLabel;
}

// The strip element a part stands for, as the keyboard counts them.
int StripElementOf(const ResultsPart& part) {
    if (part.kind == ResultsPart::PrevLabel) return kStripPrevLabel;
    if (part.kind == ResultsPart::NextLabel) return kStripNextLabel;
    return part.nIndex;
}

void AddPageStrip(const CSearchEngin& engine, ResultsPart* parts, int& nCount) {
    if (engine.m_nHits <= 0) return;
    if (IsPrevLabelActive(engine)) parts[nCount++] = {ResultsPart::PrevLabel, 0};
    for (int j = 0; j < layout::kPageCells; ++j) {
        if (IsPagePresent(engine, engine.m_nPage + j)) parts[nCount++] = {ResultsPart::PageLink, j};
    }
    if (IsNextLabelActive(engine)) parts[nCount++] = {ResultsPart::NextLabel, 0};
}

}  // namespace

int ListResultsParts(const CSearchEdit& screen, ResultsPart (&parts)[kMaxResultsParts]) {
    const CSearchEngin& engine = screen.m_engine;
    int nCount = 0;
    if (screen.m_szFolderWithoutData[0] == '\0') {
        for (int r = 0; r < layout::kRows; ++r) {
            if (engine.m_items[r].bPresent == 1) parts[nCount++] = {ResultsPart::Row, r};
        }
    }
    char szCount[64];
    if (screen.m_sub_DescribeHitCount(szCount, sizeof szCount)) {
        parts[nCount++] = {ResultsPart::HitCount, 0};
    }
    if (screen.m_szFolderWithoutData[0] != '\0') {
        parts[nCount++] = {ResultsPart::Notice, 0};
    } else if (screen.m_sub_ShowsUsagePage()) {
        const int nLines = static_cast<int>(UsagePageLines().size());
        for (int n = 0; n < nLines && nCount < kMaxResultsParts; ++n) {
            parts[nCount++] = {ResultsPart::UsagePage, n};
        }
    } else {
        AddPageStrip(engine, parts, nCount);
    }
    return nCount;
}

namespace {

LONG ChildIdOf(const CSearchEdit& screen, bool (*matches)(const ResultsPart&, int), int nWhich) {
    ResultsPart parts[kMaxResultsParts];
    const int nParts = ListResultsParts(screen, parts);
    for (int k = 0; k < nParts; ++k) {
        if (matches(parts[k], nWhich)) return k + 1;
    }
    return CHILDID_SELF;
}

}  // namespace

LONG ChildIdOfRow(const CSearchEdit& screen, int nRow) {
    return ChildIdOf(
        screen,
        [](const ResultsPart& part, int n) {
            return part.kind == ResultsPart::Row && part.nIndex == n;
        },
        nRow);
}

LONG ChildIdOfStripElement(const CSearchEdit& screen, int nElement) {
    return ChildIdOf(
        screen,
        [](const ResultsPart& part, int n) {
            return IsStripPart(part) && StripElementOf(part) == n;
        },
        nElement);
}

LONG ChildIdOfStatus(const CSearchEdit& screen) {
    return ChildIdOf(
        screen,
        [](const ResultsPart& part, int) {
            return part.kind == ResultsPart::HitCount || part.kind == ResultsPart::Notice;
        },
        0);
}

int FocusedStripElement() {
    return g_nClientFocusPlace == kFocusPageStrip ? g_nStripFocus : kNoStripElement;
}

WideText ResultsPartName(const CSearchEdit& screen, const ResultsPart& part) {
    switch (part.kind) {
        case ResultsPart::Row:
            return RowName(screen.m_engine, part.nIndex);
        case ResultsPart::HitCount: {
            char szCount[64];
            if (!screen.m_sub_DescribeHitCount(szCount, sizeof szCount)) return WideText();
            return FromCp932(szCount);
        }
        case ResultsPart::Notice: {
            // Both lines of the notice, the second read after the first.
            char szLine[CSearchEdit::kNoticeBytes + 1 + sizeof kFolderPickerHint];
            FormatMissingDataFolder(szLine, CSearchEdit::kNoticeBytes, screen.m_run.folder,
                                    screen.m_szFolderWithoutData);
            std::strcat(szLine, "\n");
            std::strcat(szLine, kFolderPickerHint);
            return FromCp932(szLine);
        }
        case ResultsPart::UsagePage:
            return UsageLineText(part.nIndex);
        case ResultsPart::PrevLabel:
            return FromCp932("前のページ");
        case ResultsPart::PageLink:
            return NumberText(screen.m_engine.m_nPage + part.nIndex + 1, "ページ %d");
        case ResultsPart::NextLabel:
            return FromCp932("次のページ");
    }
    return WideText();
}

WideText ResultsPartDescription(const CSearchEdit& screen, const ResultsPart& part) {
    if (part.kind != ResultsPart::Row) return WideText();
    return FromCp932(ExcerptLineText(screen.m_engine.m_items[part.nIndex]));
}

LONG ResultsPartRole(const ResultsPart& part) {
    switch (part.kind) {
        case ResultsPart::Row:
            return ROLE_SYSTEM_LISTITEM;
        case ResultsPart::PrevLabel:
        case ResultsPart::PageLink:
        case ResultsPart::NextLabel:
            return ROLE_SYSTEM_LINK;
        case ResultsPart::HitCount:
            return ROLE_SYSTEM_STATUSBAR;
        default:
            return ROLE_SYSTEM_STATICTEXT;
    }
}

LONG ResultsPartState(const CSearchEdit& screen, const ResultsPart& part, bool bFocused) {
    if (IsStripPart(part)) {
        // The link of the page shown is the strip's current one.
        LONG state = STATE_SYSTEM_LINKED | STATE_SYSTEM_FOCUSABLE;
        if (part.kind == ResultsPart::PageLink && part.nIndex == 0) state |= STATE_SYSTEM_SELECTED;
        if (bFocused && StripElementOf(part) == FocusedStripElement())
            state |= STATE_SYSTEM_FOCUSED;
        return state;
    }
    if (part.kind != ResultsPart::Row) return STATE_SYSTEM_READONLY;
    LONG state = STATE_SYSTEM_READONLY | STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (SelectedRow(screen.m_engine) == part.nIndex) {
        state |= STATE_SYSTEM_SELECTED;
        if (bFocused) state |= STATE_SYSTEM_FOCUSED;
    }
    return state;
}

namespace {

RECT ResultsPartRectAt100(const ResultsPart& part) {
    switch (part.kind) {
        case ResultsPart::Row:
            return layout::RowRect(part.nIndex);
        case ResultsPart::HitCount:
            return layout::kHitCountText;
        case ResultsPart::PrevLabel:
            return layout::kPrevLabel;
        case ResultsPart::PageLink:
            return layout::PageCellRect(part.nIndex);
        case ResultsPart::NextLabel:
            return layout::kNextLabel;
        case ResultsPart::UsagePage:
            return UsageLineRect(part.nIndex);
        default:
            return layout::kResultsBand;
    }
}

}  // namespace

// Client pixels at the window's scale, as a reader's pointer and the screen
// see them.
RECT ResultsPartRect(const ResultsPart& part) {
    return layout::Scaled(ResultsPartRectAt100(part));
}
