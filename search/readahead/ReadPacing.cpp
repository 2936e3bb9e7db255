// The pacing's clock and its score of slow reads; who writes what:
// ReadPacing.h.
#include "search/readahead/ReadPacing.h"

#include <windows.h>

long long PacingTicks() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

namespace {

long long TicksPerSecond() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

}  // namespace

CReadPacing::CReadPacing()
    : slowTicks(TicksPerSecond() * kSlowReadMicroseconds / 1000000),
      spinTicks(TicksPerSecond() * kSpinMicroseconds / 1000000) {}

bool CReadPacing::NoteRead(long long ticks, long long sleeps) {
    int score = slowScore.load(std::memory_order_relaxed);
    int next = IsSlow(ticks) && sleeps != 0
                   ? (score + kSlowWeight < kMaxScore ? score + kSlowWeight : kMaxScore)
                   : (score > 0 ? score - 1 : 0);
    if (next == score) return false;
    slowScore.store(next, std::memory_order_relaxed);
    return score < kManyReaders && next >= kManyReaders;
}
