// Fonts: each is the LOGFONTA it was made from. Only the height is used: the
// layer draws text in its own Japanese face whatever the face asked for.
#include <cstdlib>
#include <cstring>

#include "platform/src/ui/state.h"

namespace sorahiki::ui {
namespace {

// Font handles count up from here, clear of the windows' and the brushes'.
constexpr std::uintptr_t kFontBase = 0x30000000;
// The system font of a Japanese Windows: 18 pixels high and 8 wide at 96
// dots per inch. IPAGothic at 14 pixels stands in for it, which fits a line
// pitch of 17 pixels and a full-width character in 16 as the rows' label
// columns expect.
constexpr int kSystemFontHeight = 18;
constexpr int kSystemFontWidth = 8;
constexpr double kDrawnShare = 14.0 / kSystemFontHeight;

std::map<HGDIOBJ, LOGFONTA>& Fonts() {
    static std::map<HGDIOBJ, LOGFONTA> fonts;
    return fonts;
}

// At the display's text scale, as Windows makes it for the screen.
LOGFONTA SystemFont() {
    LOGFONTA font{};
    font.lfHeight = kSystemFontHeight * ScreenDpi() / USER_DEFAULT_SCREEN_DPI;
    font.lfWidth = kSystemFontWidth * ScreenDpi() / USER_DEFAULT_SCREEN_DPI;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    std::strcpy(font.lfFaceName, "System");
    return font;
}

}  // namespace

bool FontOf(HGDIOBJ font, LOGFONTA* out) {
    if (font == GetStockObject(SYSTEM_FONT)) {
        *out = SystemFont();
        return true;
    }
    auto it = Fonts().find(font);
    if (it == Fonts().end()) return false;
    *out = it->second;
    return true;
}

bool IsFont(HGDIOBJ object) {
    LOGFONTA unused;
    return object != nullptr && FontOf(object, &unused);
}

int CharacterHeight(HGDIOBJ font) {
    LOGFONTA made;
    return FontOf(font, &made) ? std::abs(static_cast<int>(made.lfHeight)) : 0;
}

double DrawnPixels(HGDIOBJ font) {
    return CharacterHeight(font) * kDrawnShare;
}

bool ForgetFont(HGDIOBJ font) {
    return Fonts().erase(font) != 0;
}

}  // namespace sorahiki::ui

using namespace sorahiki::ui;

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf) {
    static std::uintptr_t made = 0;
    if (lplf == nullptr) return nullptr;
    auto* font = reinterpret_cast<HFONT>(kFontBase + ++made);
    Fonts()[font] = *lplf;
    return font;
}

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
    LOGFONTA font;
    if (!FontOf(h, &font)) return 0;
    if (pv == nullptr) return sizeof font;
    if (c < static_cast<int>(sizeof font)) return 0;
    std::memcpy(pv, &font, sizeof font);
    return sizeof font;
}
