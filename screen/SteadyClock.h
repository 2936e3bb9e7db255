// A clock for the screen's own pacing and timing, in milliseconds from an
// arbitrary start; it never goes back.
#pragma once

#include <windows.h>

inline long long MillisecondsNow() {
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return now.QuadPart * 1000 / frequency.QuadPart;
}
