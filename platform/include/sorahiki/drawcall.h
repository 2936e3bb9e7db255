// The record of one drawing call that the window layer hands to a driver
// that keeps them (the headless driver of tests, which shows them through
// <sorahiki/headless.h>). Linux only.
#pragma once

#include <string>

#include <windows.h>

namespace sorahiki {

enum class Draw { BeginPaint, EndPaint, FillRect, SetBkMode, SetTextColor, TextOut, FocusRect };
struct DrawCall {
    Draw call;
    HWND hwnd;          // the window painted
    RECT rect;          // FillRect, FocusRect: the rectangle; BeginPaint/EndPaint: rcPaint
    COLORREF colour;    // FillRect: brush colour; SetTextColor and TextOut: text colour
    int x, y;           // TextOut
    std::string bytes;  // TextOut: the bytes passed (the count given)
    int bk_mode;        // SetBkMode: the new mode; TextOut: the mode in force
    BOOL erase;         // BeginPaint: fErase
    int font_height;    // TextOut: the height of the font in force, in pixels
};

}  // namespace sorahiki
