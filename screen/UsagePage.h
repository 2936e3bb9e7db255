// The fixed usage page of the results area (UsagePage.cpp).
#pragma once

class CDC;

// Draws the page in the context's current colour and background mode.
bool DrawUsagePage(CDC& dc);
