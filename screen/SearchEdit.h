// The search screen: the two bars, the query history and the engine.
#pragma once

#include <windows.h>

#include "search/SearchEngin.h"

class CSearchEdit {
  public:
    static constexpr int kHistoryEntries = 150;
    static constexpr int kHistoryEntryBytes = 350;

    virtual ~CSearchEdit() {}

    bool m_sub_Create(HWND hParent, HINSTANCE hInstance);
    int m_sub_CheckSearchRequest();
    int m_sub_CheckHistoryCommand();

    HWND m_hSearchBar;
    HWND m_hHistoryBar;
    HWND m_hParent;
    CSearchEngin m_engine;
    char m_history[kHistoryEntries][kHistoryEntryBytes];
    int m_nHistory;
    int m_nHistoryCursor;
};
