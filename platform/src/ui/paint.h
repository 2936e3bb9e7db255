// Text drawing shared by the paint calls and the headless picture.
#pragma once

#include <cairo.h>

#include <string>

#include <windows.h>

namespace sorahiki::ui {

struct TextSize {
    int width;
    int height;
};

// Draws UTF-8 text with its top-left corner at (x, y), over a box of the
// colour *box when box is given. With draw false it only measures.
TextSize DrawText(cairo_t* cr, double x, double y, const std::string& utf8, COLORREF colour,
                  const COLORREF* box, double pixel_size, bool draw);

// The size of UTF-8 text as DrawText draws it at pixel_size.
TextSize MeasureText(const std::string& utf8, double pixel_size);

}  // namespace sorahiki::ui
