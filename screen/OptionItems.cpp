// The options menu: each check item turns one option of the next search over
// (m_run.options, written here alone, on the window's thread), its mark
// shows the state, and the caption says when any option is on. Nothing is
// kept past the session.
#include "res/resource.h"
#include "screen/SearchEdit.h"

namespace {

struct OptionItem {
    UINT nId;
    bool SearchOptions::*pbOption;
};

constexpr OptionItem kOptionItems[] = {
    {IDM_OPTION_WHOLE_FILE, &SearchOptions::bWholeFile},
    {IDM_OPTION_FOLD_CASE, &SearchOptions::bFoldCase},
    {IDM_OPTION_FOLD_WIDTH, &SearchOptions::bFoldWidth},
    {IDM_OPTION_FOLD_KANA, &SearchOptions::bFoldKana},
};

}  // namespace

void CSearchEdit::m_sub_ToggleOption(UINT nId) {
    for (const OptionItem& item : kOptionItems) {
        if (item.nId != nId) continue;
        bool& bOn = m_run.options.*item.pbOption;
        bOn = !bOn;
    }
    m_sub_ShowOptionMarks();
    m_sub_ShowCaption();
}

// Every item is marked or unmarked from the start, so that the menu shows
// them as check items before any is chosen.
void CSearchEdit::m_sub_ShowOptionMarks() {
    HMENU hMenu = GetMenu(m_hParent);
    if (hMenu == nullptr) return;
    for (const OptionItem& item : kOptionItems) {
        const bool bOn = m_run.options.*item.pbOption;
        CheckMenuItem(hMenu, item.nId, MF_BYCOMMAND | (bOn ? MF_CHECKED : MF_UNCHECKED));
    }
}
