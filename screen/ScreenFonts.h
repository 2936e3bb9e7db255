// The two fonts of the main window, made at its scale: the results' text and
// the bars' controls. The caller deletes them once nothing uses them.
#pragma once

#include <windows.h>

HFONT MakeResultsFont();
HFONT MakeBarFont();
