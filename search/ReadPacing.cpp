#include "search/ReadPacing.h"

#include <windows.h>

long long PacingTicks() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void CReadPacing::Begin() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    slowTicks = frequency.QuadPart * kSlowReadMicroseconds / 1000000;
    spinTicks = frequency.QuadPart * kSpinMicroseconds / 1000000;
    shortOfDescriptors = false;
}

bool CReadPacing::NoteRead(long long ticks) {
    int score = slowScore.load(std::memory_order_relaxed);
    int next = ticks > slowTicks.load(std::memory_order_relaxed)
                   ? (score + kSlowWeight < kMaxScore ? score + kSlowWeight : kMaxScore)
                   : (score > 0 ? score - 1 : 0);
    if (next == score) return false;
    slowScore.store(next, std::memory_order_relaxed);
    return score < kManyReaders && next >= kManyReaders;
}
