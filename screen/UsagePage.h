// The fixed usage page of the results area (UsagePage.cpp).
#pragma once

#include <span>
#include <string_view>

#include <windows.h>

class CDC;

// The page's lines, top to bottom, as drawn (Shift-JIS).
std::span<const std::string_view> UsagePageLines();

// Where line nLine stands, in client pixels at 100 %.
RECT UsageLineRect(int nLine);

// Draws the page in the context's current colour and background mode.
bool DrawUsagePage(CDC& dc);
