// The quick look's loops over a block of code page 932 with 32-byte AVX2
// vectors (SjisBlocksWide.h). This file alone is built for AVX2 and includes
// nothing inline of the rest of the program, so no code built here is taken
// for code that every processor must run.
#include <immintrin.h>

#include <bit>
#include <cstdint>

#include "search/text/SjisBlocksWide.h"

namespace sjis::wide {
namespace {

constexpr int kStep = 64;

__m256i Splat(int c) {
    return _mm256_set1_epi8(static_cast<char>(c));
}

// Bytes from `low` to `high`, compared as unsigned (as InRange16 of
// SjisBlocks.h).
__m256i InRange(__m256i bytes, int low, int high) {
    const __m256i shifted = _mm256_sub_epi8(bytes, Splat(low));
    return _mm256_cmpeq_epi8(_mm256_min_epu8(shifted, Splat(high - low)), shifted);
}

int Sum(__m256i counts) {
    const __m256i sums = _mm256_sad_epu8(counts, _mm256_setzero_si256());
    const __m128i halves =
        _mm_add_epi64(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1));
    return static_cast<int>(_mm_cvtsi128_si64(halves) + _mm_extract_epi64(halves, 1));
}

// 64 bytes, and the 64 one further on for second bytes (p[64] is read too).
struct Window {
    __m256i here[2];
    __m256i next[2];

    explicit Window(const unsigned char* p) {
        for (int k = 0; k < 2; ++k) {
            here[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * k));
            next[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * k + 1));
        }
    }

    // One bit for each of the 64 bytes where `c` begins.
    std::uint64_t Starts(__m256i first, __m256i second, __m256i anySecond) const {
        std::uint64_t starts = 0;
        for (int k = 0; k < 2; ++k) {
            const __m256i seconds = _mm256_or_si256(_mm256_cmpeq_epi8(next[k], second), anySecond);
            const __m256i match = _mm256_and_si256(_mm256_cmpeq_epi8(here[k], first), seconds);
            starts |= std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(match))}
                      << 32 * k;
        }
        return starts;
    }

    bool Ascii() const { return _mm256_movemask_epi8(_mm256_or_si256(here[0], here[1])) == 0; }

    // The narrow window's CountLow and CountDropped, byte for byte.
    int CountLow() const {
        __m256i count = _mm256_setzero_si256();
        for (int k = 0; k < 2; ++k) {
            count = _mm256_sub_epi8(
                count, _mm256_cmpeq_epi8(_mm256_min_epu8(here[k], Splat(0x20)), here[k]));
        }
        return Sum(count);
    }
    int CountDropped() const {
        __m256i count = _mm256_setzero_si256();
        for (int k = 0; k < 2; ++k) {
            const __m256i bytes = here[k];
            const __m256i low = _mm256_cmpeq_epi8(_mm256_min_epu8(bytes, Splat(0x20)), bytes);
            const __m256i separator = _mm256_cmpeq_epi8(bytes, Splat(0x81));
            const __m256i lead = InRange(_mm256_xor_si256(bytes, Splat(0x20)), 0xA1, 0xDC);
            const __m256i moved = _mm256_sub_epi8(next[k], Splat(0x40));
            const __m256i trail =
                _mm256_andnot_si256(_mm256_cmpeq_epi8(moved, Splat(0x3F)),
                                    _mm256_cmpeq_epi8(_mm256_min_epu8(moved, Splat(0xBC)), moved));
            count = _mm256_sub_epi8(count, low);
            count = _mm256_sub_epi8(count, _mm256_add_epi8(separator, separator));
            count = _mm256_sub_epi8(count, _mm256_andnot_si256(trail, lead));
        }
        return Sum(count);
    }
};

// The character spread over vectors once for every window.
struct Wanted {
    __m256i first;
    __m256i second;
    __m256i anySecond;

    explicit Wanted(Char c)
        : first(Splat(c.first)),
          second(Splat(c.second)),
          anySecond(c.oneByte ? Splat(0xFF) : _mm256_setzero_si256()) {}
};

[[gnu::always_inline]] inline bool FoundIn(const Window& window, const Wanted& wanted, int at,
                                           Follows follows) {
    for (std::uint64_t starts = window.Starts(wanted.first, wanted.second, wanted.anySecond);
         starts != 0; starts &= starts - 1) {
        if (follows.accepts(follows.context, at + std::countr_zero(starts))) return true;
    }
    return false;
}

}  // namespace

int FullAtAvx2(const unsigned char* block, int length, int target, Char c, Follows follows,
               bool& found) {
    const Wanted wanted(c);
    int dropped = 0;
    for (int at = 0; at + kStep + 1 <= length; at += kStep) {
        const Window window(block + at);
        if (!found) found = FoundIn(window, wanted, at, follows);
        dropped += window.Ascii() ? window.CountLow() : window.CountDropped();
        if (at + kStep - dropped - 1 >= target) return at + kStep;
    }
    return 0;
}

bool FoundBeforeAvx2(const unsigned char* block, int end, Char c, Follows follows) {
    const Wanted wanted(c);
    for (int at = 0; at < end; at += kStep) {
        if (FoundIn(Window(block + at), wanted, at, follows)) return true;
    }
    return false;
}

}  // namespace sjis::wide
