// The fonts of the main window at its scale (screen_layout::Scaled): the
// system would make them at the monitor's, which the window does not follow
// where it would not fit the screen at that scale.
#include "screen/ScreenFonts.h"

#include <cstring>

#include "screen/ScreenLayout.h"

namespace {

LOGFONTA JapaneseFont(LONG lHeight, BYTE nPitchAndFamily, const char* pszFace) {
    LOGFONTA font = {};
    font.lfHeight = lHeight;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = nPitchAndFamily;
    std::strncpy(font.lfFaceName, pszFace, LF_FACESIZE - 1);
    return font;
}

}  // namespace

// The cell height, as the system font's is given; half-width characters
// exactly half as wide as full-width ones.
HFONT MakeResultsFont() {
    LOGFONTA font = JapaneseFont(screen_layout::Scaled(screen_layout::kTextHeight),
                                 FIXED_PITCH | FF_MODERN, "ＭＳ ゴシック");
    font.lfWidth = screen_layout::Scaled(screen_layout::kTextWidth);
    return CreateFontIndirectA(&font);
}

// The bars' templates' own font, by its character height as a dialog makes it.
HFONT MakeBarFont() {
    const LOGFONTA font = JapaneseFont(-screen_layout::Scaled(screen_layout::kDialogFontHeight),
                                       DEFAULT_PITCH | FF_DONTCARE, "MS UI Gothic");
    return CreateFontIndirectA(&font);
}
