// Time stamps in the Windows form: 100-nanosecond steps since 1601-01-01.
#pragma once

#include <windows.h>

#include <ctime>

inline FILETIME FileTimeFromTimespec(const timespec& ts) {
    constexpr unsigned long long kSecondsFrom1601To1970 = 11644473600ULL;
    unsigned long long ticks =
        (static_cast<unsigned long long>(ts.tv_sec) + kSecondsFrom1601To1970) * 10000000ULL +
        static_cast<unsigned long long>(ts.tv_nsec) / 100;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}
