// The quick look's pass over UTF-8 runs with 32-byte AVX2 vectors. This file
// alone is built for AVX2; UnicodeProbe.cpp calls it only when the processor
// has it.
#include <immintrin.h>

#include "search/text/Utf8RunPass.h"

namespace sjis::utf8runs {
namespace {

struct Avx2 {
    using V = __m256i;
    static constexpr int kBytes = 32;

    static V Load(const unsigned char* p) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    static V Splat(int c) { return _mm256_set1_epi8(static_cast<char>(c)); }
    static V Zero() { return _mm256_setzero_si256(); }
    static V Eq(V a, V b) { return _mm256_cmpeq_epi8(a, b); }
    static V And(V a, V b) { return _mm256_and_si256(a, b); }
    static V Or(V a, V b) { return _mm256_or_si256(a, b); }
    static V Max(V a, V b) { return _mm256_max_epu8(a, b); }
    static V Min(V a, V b) { return _mm256_min_epu8(a, b); }
    static V GreaterSigned(V a, V b) { return _mm256_cmpgt_epi8(a, b); }
    static V Sub(V a, V b) { return _mm256_sub_epi8(a, b); }
    static std::uint64_t Mask(V m) { return static_cast<std::uint32_t>(_mm256_movemask_epi8(m)); }
    // The sum of 32 byte counts.
    static int Sum(V counts) {
        const __m256i sums = _mm256_sad_epu8(counts, Zero());
        const __m128i halves =
            _mm_add_epi64(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1));
        return static_cast<int>(_mm_cvtsi128_si64(halves) + _mm_extract_epi64(halves, 1));
    }
};

}  // namespace

PassResult PassRunsWide(const PassInput& in) {
    return RunPass<Avx2>(in).Run();
}

}  // namespace sjis::utf8runs
