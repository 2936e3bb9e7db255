// Painting: invalid regions, BeginPaint and EndPaint on the backing image of
// a top-level window, and the few GDI calls the program makes. Text is drawn
// with Pango in IPAGothic, top-left aligned, at the size of the device
// context's font (font.cpp): the system font until the program selects one.
// The backing image has the display's own pixels (twice as many each way on
// a doubled display) and is drawn in the layer's, so text stays sharp.
#include <pango/pangocairo.h>

#include <set>

#include "platform/src/ui/paint.h"
#include "platform/src/ui/state.h"

namespace sorahiki::ui {
namespace {

struct DC {
    HWND hwnd;
    cairo_t* cr;  // null for a window without a backing image
    COLORREF text = RGB(0, 0, 0);
    int bk_mode = OPAQUE;
    COLORREF bk = RGB(255, 255, 255);
    HGDIOBJ font = GetStockObject(SYSTEM_FONT);
};

std::set<DC*>& LiveDCs() {
    static std::set<DC*> live;
    return live;
}

DC* FindDC(HDC hdc) {
    DC* dc = reinterpret_cast<DC*>(hdc);
    return LiveDCs().count(dc) ? dc : nullptr;
}

constexpr std::uintptr_t kStockBase = 0x00F00000;
// A solid brush is this bit with its COLORREF below it.
constexpr std::uintptr_t kSolidBrushBit = 0x40000000;

void SetColour(cairo_t* cr, COLORREF c) {
    cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

void Log(const DrawCall& call) {
    CurrentDriverRef().Drawn(call);
}

DrawCall Entry(Draw kind, HWND hwnd) {
    return DrawCall{kind, hwnd, RECT{0, 0, 0, 0}, 0, 0, 0, std::string(), 0, FALSE, 0};
}

COLORREF SystemColour(int index) {
    return index == COLOR_BTNFACE ? RGB(240, 240, 240) : RGB(255, 255, 255);
}

}  // namespace

COLORREF BrushColour(HBRUSH brush, bool* valid) {
    auto value = reinterpret_cast<std::uintptr_t>(brush);
    *valid = true;
    if (value >= 1 && value <= 31) return SystemColour(static_cast<int>(value) - 1);
    static const COLORREF stock[] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                     RGB(64, 64, 64), RGB(0, 0, 0)};
    if (value >= kStockBase && value < kStockBase + 5) return stock[value - kStockBase];
    if ((value & ~std::uintptr_t{0x00FFFFFF}) == kSolidBrushBit) {
        return static_cast<COLORREF>(value & 0x00FFFFFF);
    }
    *valid = false;
    return 0;
}

void FillUnlogged(HDC hdc, const RECT& rect, HBRUSH brush) {
    DC* dc = FindDC(hdc);
    bool valid = false;
    COLORREF colour = BrushColour(brush, &valid);
    if (dc == nullptr || dc->cr == nullptr || !valid) return;
    SetColour(dc->cr, colour);
    cairo_rectangle(dc->cr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    cairo_fill(dc->cr);
}

void EnsureImage(Window& w) {
    const int fine = std::max(CurrentDriverRef().DeviceScale(), 1);
    int width = std::max(w.ClientWidth(), 1) * fine, height = std::max(w.ClientHeight(), 1) * fine;
    if (w.image && cairo_image_surface_get_width(w.image) == width &&
        cairo_image_surface_get_height(w.image) == height) {
        return;
    }
    DestroyImage(w);
    w.image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_surface_set_device_scale(w.image, fine, fine);
    cairo_t* cr = cairo_create(w.image);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_destroy(cr);
}

cairo_surface_t* BackingImage(HWND toplevel) {
    Window* w = FindWindowObject(toplevel);
    return w && w->TopLevel() ? w->image : nullptr;
}

void DestroyImage(Window& w) {
    if (w.image) cairo_surface_destroy(w.image);
    w.image = nullptr;
}

void InvalidateWhole(Window& w, bool erase) {
    w.invalid.Add(RECT{0, 0, w.ClientWidth(), w.ClientHeight()});
    if (erase) w.invalid.erase = true;
}

PangoFontDescription* TextFont(double pixel_size) {
    PangoFontDescription* font = pango_font_description_from_string("IPAGothic");
    pango_font_description_set_absolute_size(font, pixel_size * PANGO_SCALE);
    return font;
}

TextSize DrawText(cairo_t* cr, double x, double y, const std::string& utf8, COLORREF colour,
                  const COLORREF* box, double pixel_size, bool draw) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = TextFont(pixel_size);
    pango_layout_set_font_description(layout, font);
    std::string shown = utf8;
    std::erase(shown, '\0');  // Pango takes no NUL; Windows would show a box
    pango_layout_set_text(layout, shown.data(), static_cast<int>(shown.size()));
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    if (draw) {
        if (box) {
            SetColour(cr, *box);
            cairo_rectangle(cr, x, y, logical.width, logical.height);
            cairo_fill(cr);
        }
        SetColour(cr, colour);
        cairo_move_to(cr, x, y);
        pango_cairo_show_layout(cr, layout);
    }
    pango_font_description_free(font);
    g_object_unref(layout);
    return TextSize{logical.width, logical.height};
}

// One layout, on an image surface of its own, is kept for measuring: making a
// layout costs more than measuring with it, and a painter measures often.
TextSize MeasureText(const std::string& utf8, double pixel_size) {
    static PangoLayout* const layout = [] {
        cairo_t* cr = cairo_create(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1));
        return pango_cairo_create_layout(cr);
    }();
    static double layout_size = 0;
    if (layout_size != pixel_size) {
        PangoFontDescription* font = TextFont(pixel_size);
        pango_layout_set_font_description(layout, font);
        pango_font_description_free(font);
        layout_size = pixel_size;
    }
    std::string shown = utf8;
    std::erase(shown, '\0');  // as DrawText shows it
    // No text measures 0 wide and a line high, as Pango lays out an empty line.
    pango_layout_set_text(layout, shown.data(), static_cast<int>(shown.size()));
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    return TextSize{logical.width, logical.height};
}

}  // namespace sorahiki::ui

using namespace sorahiki::ui;
using sorahiki::Draw;

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    CurrentDriverRef().Invalidated(hWnd, lpRect, bErase);
    std::vector<Window*> targets;
    if (hWnd == nullptr) {
        for (Window* w : AllWindows()) {
            if (w->TopLevel()) targets.push_back(w);
        }
    } else if (Window* w = FindWindowObject(hWnd)) {
        targets.push_back(w);
    } else {
        return FALSE;
    }
    for (Window* w : targets) {
        RECT r = lpRect ? *lpRect : RECT{0, 0, w->ClientWidth(), w->ClientHeight()};
        r.left = std::max<LONG>(r.left, 0);
        r.top = std::max<LONG>(r.top, 0);
        r.right = std::min<LONG>(r.right, w->ClientWidth());
        r.bottom = std::min<LONG>(r.bottom, w->ClientHeight());
        if (r.left < r.right && r.top < r.bottom) {
            w->invalid.Add(r);
            if (bErase) w->invalid.erase = true;
        }
    }
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase) {
    if (bErase) ReportUnsupported("GetUpdateRect", "bErase TRUE (no erase is sent)");
    Window* w = FindWindowObject(hWnd);
    if (w == nullptr) return FALSE;
    if (lpRect) *lpRect = w->invalid.Bounds();
    return !w->invalid.Empty();
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    Window* w = FindWindowObject(hWnd);
    if (w == nullptr || lpPaint == nullptr) return nullptr;
    DC* dc = new DC{hWnd, w->image ? cairo_create(w->image) : nullptr};
    LiveDCs().insert(dc);
    if (dc->cr) {
        cairo_new_path(dc->cr);
        for (const RECT& r : w->invalid.rects) {
            cairo_rectangle(dc->cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
        }
        cairo_clip(dc->cr);
    }
    RECT bounds = w->invalid.Bounds();
    bool erase = w->invalid.erase;
    w->invalid.Clear();
    HDC hdc = reinterpret_cast<HDC>(dc);
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = hdc;
    lpPaint->rcPaint = bounds;
    auto entry = Entry(Draw::BeginPaint, hWnd);
    entry.rect = bounds;
    entry.erase = erase;
    if (w->image) Log(entry);  // the drivers draw the controls themselves
    if (erase)
        lpPaint->fErase = SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) == 0;
    return hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    if (lpPaint == nullptr) return FALSE;
    auto entry = Entry(Draw::EndPaint, hWnd);
    entry.rect = lpPaint->rcPaint;
    if (Window* painted = FindWindowObject(hWnd); painted && painted->image) Log(entry);
    if (DC* dc = FindDC(lpPaint->hdc)) {
        if (dc->cr) {
            cairo_surface_flush(cairo_get_target(dc->cr));
            cairo_destroy(dc->cr);
        }
        LiveDCs().erase(dc);
        delete dc;
    }
    Window* w = FindWindowObject(hWnd);
    const RECT& r = lpPaint->rcPaint;
    if (w && w->announced && w->TopLevel() && r.left < r.right && r.top < r.bottom) {
        CurrentDriverRef().ImageChanged(hWnd, r);
    }
    return TRUE;
}

HGDIOBJ WINAPI GetStockObject(int i) {
    if ((i < WHITE_BRUSH || i > NULL_BRUSH) && i != SYSTEM_FONT) return nullptr;
    return reinterpret_cast<HGDIOBJ>(kStockBase + static_cast<std::uintptr_t>(i));
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    DC* dc = FindDC(hdc);
    if (dc == nullptr || !IsFont(h)) {
        if (dc != nullptr && h != nullptr) {
            ReportUnsupported("SelectObject", "an object other than a font");
        }
        return nullptr;
    }
    HGDIOBJ previous = dc->font;
    dc->font = h;
    return previous;
}

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    DC* dc = FindDC(hDC);
    if (dc == nullptr || lprc == nullptr) return 0;
    auto entry = Entry(Draw::FillRect, dc->hwnd);
    bool valid = false;
    entry.rect = *lprc;
    entry.colour = BrushColour(hbr, &valid);
    Log(entry);
    if (!valid) return 0;
    FillUnlogged(hDC, *lprc, hbr);
    return 1;
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    return reinterpret_cast<HBRUSH>(kSolidBrushBit | (color & 0x00FFFFFF));
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    if (ForgetFont(ho)) return TRUE;
    bool valid = false;
    BrushColour(static_cast<HBRUSH>(ho), &valid);
    return valid ? TRUE : FALSE;
}

BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
    DC* dc = FindDC(hdc);
    if (dc == nullptr || c < 0 || psizl == nullptr || (lpString == nullptr && c > 0)) {
        return FALSE;
    }
    const TextSize size =
        MeasureText(Utf8FromCp932(std::string(lpString ? lpString : "", static_cast<size_t>(c))),
                    DrawnPixels(dc->font));
    psizl->cx = size.width;
    psizl->cy = size.height;
    return TRUE;
}

int WINAPI SetBkMode(HDC hdc, int mode) {
    DC* dc = FindDC(hdc);
    if (dc == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    auto entry = Entry(Draw::SetBkMode, dc->hwnd);
    entry.bk_mode = mode;
    Log(entry);
    int old = dc->bk_mode;
    dc->bk_mode = mode;
    return old;
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
    DC* dc = FindDC(hdc);
    if (dc == nullptr) return 0xFFFFFFFF;  // CLR_INVALID
    auto entry = Entry(Draw::SetTextColor, dc->hwnd);
    entry.colour = color;
    Log(entry);
    COLORREF old = dc->text;
    dc->text = color;
    return old;
}

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
    DC* dc = FindDC(hdc);
    if (dc == nullptr || c < 0 || (lpString == nullptr && c > 0)) return FALSE;
    std::string bytes(lpString ? lpString : "", static_cast<size_t>(c));
    auto entry = Entry(Draw::TextOut, dc->hwnd);
    entry.x = x;
    entry.y = y;
    entry.colour = dc->text;
    entry.bytes = bytes;
    entry.bk_mode = dc->bk_mode;
    entry.font_height = CharacterHeight(dc->font);
    Log(entry);
    if (dc->cr && c > 0) {
        DrawText(dc->cr, x, y, Utf8FromCp932(bytes), dc->text,
                 dc->bk_mode == OPAQUE ? &dc->bk : nullptr, DrawnPixels(dc->font), true);
    }
    return TRUE;
}

BOOL WINAPI DrawFocusRect(HDC hDC, const RECT* lprc) {
    DC* dc = FindDC(hDC);
    if (dc == nullptr || lprc == nullptr) return FALSE;
    auto entry = Entry(Draw::FocusRect, dc->hwnd);
    entry.rect = *lprc;
    Log(entry);
    const RECT& r = *lprc;
    if (dc->cr && r.right > r.left && r.bottom > r.top) {
        const double dots[] = {1.0};
        cairo_save(dc->cr);
        SetColour(dc->cr, RGB(0, 0, 0));
        cairo_set_line_width(dc->cr, 1);
        // Offset by half a dot, so that each dot covers one whole pixel.
        cairo_set_dash(dc->cr, dots, 1, 0.5);
        cairo_rectangle(dc->cr, r.left + 0.5, r.top + 0.5, r.right - r.left - 1,
                        r.bottom - r.top - 1);
        cairo_stroke(dc->cr);
        cairo_restore(dc->cr);
    }
    return TRUE;
}

UINT WINAPI GetDpiForWindow(HWND hwnd) {
    return FindWindowObject(hwnd) != nullptr ? static_cast<UINT>(ScreenDpi()) : 0;
}

int WINAPI GetDeviceCaps(HDC hdc, int index) {
    if (FindDC(hdc) == nullptr) return 0;
    if (index == LOGPIXELSX || index == LOGPIXELSY) return ScreenDpi();
    ReportUnsupported("GetDeviceCaps", "index " + std::to_string(index));
    return 0;
}

BOOL WINAPI PtInRect(const RECT* lprc, POINT pt) {
    return lprc && pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top &&
           pt.y < lprc->bottom;
}
