// The requests the two bars record for the frame steps, and their reset.
#include "screen/ScreenGlobals.h"

#include <cstring>

char g_szSearchText[kSearchTextBytes];
int g_bSearchRequested;
int g_nHistoryCommand;
int g_bSearchRunning;
int g_bStopRequested;
long long g_llSearchClickedAt = kNoSearchClick;

void ResetScreenGlobals() {
    std::memset(g_szSearchText, 0, sizeof g_szSearchText);
    g_bSearchRequested = 0;
    g_nHistoryCommand = kHistoryNone;
    g_bSearchRunning = 0;
    g_bStopRequested = 0;
    g_llSearchClickedAt = kNoSearchClick;
}
