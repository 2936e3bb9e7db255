// The scans and the count of UnicodeScansWide.h with 32-byte AVX2 vectors. This file alone
// is built for AVX2 and includes nothing inline of the rest of the program,
// so no code built here is taken for code that every processor must run.
#include <immintrin.h>

#include <bit>
#include <cstdint>

#include "search/text/UnicodeScansWide.h"

namespace sjis::wide {
namespace {

__m256i Load(const unsigned char* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Asks `follows` about each place of `starts`, bit i standing for byte
// `at + i`.
bool AcceptedAmong(std::uint32_t starts, int at, Follows follows) {
    for (; starts != 0; starts &= starts - 1) {
        if (follows.accepts(follows.context, at + std::countr_zero(starts))) return true;
    }
    return false;
}

// Sixteen UTF-16 units at a time, for Utf16CountPass.h.
struct Avx2Units {
    using V = __m256i;
    static constexpr int kBytes = 32;
    static constexpr std::uint32_t kAllBits = 0xFFFFFFFFu;

    static V Load(const unsigned char* p) { return wide::Load(p); }
    static V Zero() { return _mm256_setzero_si256(); }
    static V Splat16(int unit) { return _mm256_set1_epi16(static_cast<short>(unit)); }
    static V Eq16(V a, V b) { return _mm256_cmpeq_epi16(a, b); }
    static V Greater16(V a, V b) { return _mm256_cmpgt_epi16(a, b); }
    static V And(V a, V b) { return _mm256_and_si256(a, b); }
    static V AndNot(V a, V b) { return _mm256_andnot_si256(a, b); }
    static V Or(V a, V b) { return _mm256_or_si256(a, b); }
    static V SwapBytes(V units) {
        return _mm256_or_si256(_mm256_slli_epi16(units, 8), _mm256_srli_epi16(units, 8));
    }
    static std::uint32_t Mask(V m) { return static_cast<std::uint32_t>(_mm256_movemask_epi8(m)); }
};

}  // namespace

void CountUtf16RunsAvx2(const utf16count::CountInput& in, utf16count::Counted& counted) {
    utf16count::CountRuns<Avx2Units>(in, counted);
}

bool UnitFoundAvx2(const unsigned char* block, int length, const std::uint16_t* units, int count,
                   Follows follows, int& at) {
    __m256i wanted[kMaxUnits];
    for (int f = 0; f < count; ++f) wanted[f] = _mm256_set1_epi16(static_cast<short>(units[f]));
    for (; at + 32 <= length; at += 32) {
        const __m256i here = Load(block + at);
        __m256i match = _mm256_cmpeq_epi16(here, wanted[0]);
        for (int f = 1; f < count; ++f)
            match = _mm256_or_si256(match, _mm256_cmpeq_epi16(here, wanted[f]));
        // Two bits for each unit that matches: its first is kept.
        const auto starts = static_cast<std::uint32_t>(_mm256_movemask_epi8(match)) & 0x55555555u;
        if (starts != 0 && AcceptedAmong(starts, at, follows)) return true;
    }
    return false;
}

bool SequenceFoundAvx2(const unsigned char* block, int length, const unsigned char* sequence,
                       int count, Follows follows, int& at) {
    const __m256i first = _mm256_set1_epi8(static_cast<char>(sequence[0]));
    const __m256i second = _mm256_set1_epi8(static_cast<char>(sequence[count > 1 ? 1 : 0]));
    const __m256i third = _mm256_set1_epi8(static_cast<char>(sequence[count > 2 ? 2 : 0]));
    for (; at + 32 + 2 <= length; at += 32) {
        __m256i match = _mm256_cmpeq_epi8(Load(block + at), first);
        if (count > 1)
            match = _mm256_and_si256(match, _mm256_cmpeq_epi8(Load(block + at + 1), second));
        if (count > 2)
            match = _mm256_and_si256(match, _mm256_cmpeq_epi8(Load(block + at + 2), third));
        const auto starts = static_cast<std::uint32_t>(_mm256_movemask_epi8(match));
        if (starts != 0 && AcceptedAmong(starts, at, follows)) return true;
    }
    return false;
}

}  // namespace sjis::wide
