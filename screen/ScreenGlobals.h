// The requests that the two bars record for the frame steps, and the bars'
// dialog procedures. The procedures only write these globals; the frame
// steps of CSearchEdit read and clear them on the same thread.
#pragma once

#include <windows.h>

constexpr int kSearchTextBytes = 300;

// The text last fetched from the search bar's edit box (at most 299 bytes).
extern char g_szSearchText[kSearchTextBytes];
// 1 while a fetched text with a non-blank byte waits for the frame step.
extern int g_bSearchRequested;

enum HistoryCommand { kHistoryNone = 0, kHistoryBack = 1, kHistoryForward = 2 };
// The history bar's pending command (a HistoryCommand value).
extern int g_nHistoryCommand;

// 1 once the search bar's button was pressed, until the frame step has acted
// on it: while a search runs the button reads "中止" and the press stops the
// search; else the press is the request above.
extern int g_bSearchButtonPressed;
// When the button's click last asked for a search (MillisecondsNow), so that
// the second press of a double click neither stops that search nor asks for
// another; kNoSearchClick once that press has come, or when Enter asked.
constexpr long long kNoSearchClick = -1;
extern long long g_llSearchClickedAt;

// Puts the globals above back to their values at process start (defined with
// them in ScreenGlobals.cpp).
void ResetScreenGlobals();

INT_PTR CALLBACK SearchBarProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK HistoryBarProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// True when the text holds a byte that is neither a half-width blank nor part
// of a double-byte character with lead byte 0x81 (full-width blank, 、 。 ...).
bool HasNonBlankByte(const char* pszText);
