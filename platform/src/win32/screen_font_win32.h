// The font in which the Windows build draws the text of a device context that
// has no font of its own selected, and the scale of a window.
#pragma once

#include <windows.h>

namespace sorahiki::win32 {

// The Japanese fixed-pitch Gothic that stands in for the device context's own
// font: 18 pixels high and 8 wide at 96 dots per inch, grown with the scale of
// the window that the context draws in. Made once per scale and kept for the
// process; null only when the system can make no font at all.
HFONT ScreenFontFor(HDC hdc);

}  // namespace sorahiki::win32
