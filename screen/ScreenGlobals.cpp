// The requests the two bars record for the frame steps, the window's scale,
// and their reset.
#include "screen/ScreenGlobals.h"

#include <cstring>

#include "screen/KeyboardFocus.h"
#include "screen/ScreenLayout.h"

char g_szSearchText[kSearchTextBytes];
int g_bSearchRequested;
int g_nHistoryCommand;
int g_bSearchButtonPressed;
long long g_llSearchClickedAt = kNoSearchClick;
int g_nScreenDpi = screen_layout::kBaseDpi;

void ResetScreenGlobals() {
    std::memset(g_szSearchText, 0, sizeof g_szSearchText);
    g_bSearchRequested = 0;
    g_nHistoryCommand = kHistoryNone;
    g_bSearchButtonPressed = 0;
    g_llSearchClickedAt = kNoSearchClick;
    ResetKeyboardFocus();
    g_nScreenDpi = screen_layout::kBaseDpi;
}
