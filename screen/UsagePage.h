// The fixed usage page of the results area (UsagePage.cpp).
#pragma once

#include <span>
#include <string_view>

class CDC;

// The page's lines, top to bottom, as drawn (Shift-JIS).
std::span<const std::string_view> UsagePageLines();

// Draws the page in the context's current colour and background mode.
bool DrawUsagePage(CDC& dc);
