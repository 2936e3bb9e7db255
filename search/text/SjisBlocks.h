// Finding the bytes of Shift-JIS text that matter, 64 at a time: for a block
// of bytes, one bit per byte says whether it is a lead byte, a byte that ends
// the text (NUL, 0x1A), a CR or a line feed, a byte dropped at the start of a
// character (0x81, blank), 0x81 itself or a byte that can stand second in a
// character. Sixteen bytes are
// compared at once with SSE2, which every x86-64 processor has; where it is
// missing, kAvailable is false and the reader goes byte by byte.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sjis::blocks {

constexpr int kBlockBytes = 64;
// CopyRun reads and writes up to this many bytes past the run.
constexpr int kCopySlack = 16;

struct ByteMasks {
    std::uint64_t lead;     // 0x81..0x9F and 0xE0..0xFC
    std::uint64_t ends;     // NUL, 0x1A
    std::uint64_t cr;       // CR
    std::uint64_t lf;       // line feed
    std::uint64_t dropped;  // 0x81 and blank, at the start of a character
    std::uint64_t is81;
    std::uint64_t trail;  // bytes that can stand second: 0x40..0x7E, 0x80..0xFC
};

// The first bytes of two-byte characters, when byte 0 begins a character. In
// a run of lead bytes the first begins a character (the byte before it ends
// one), and so does every second byte after it: the bytes at even distance
// from the run's start. Adding the run's start bit clears a run that starts
// at an even position, which tells such runs from those at odd positions.
inline std::uint64_t PairStarts(std::uint64_t lead) {
    constexpr std::uint64_t kEven = 0x5555555555555555ull;
    std::uint64_t starts = lead & ~(lead << 1);
    std::uint64_t evenRuns = lead & ~(lead + (starts & kEven));
    std::uint64_t oddRuns = lead & ~evenRuns;
    return (evenRuns & kEven) | (oddRuns & ~kEven);
}

#if defined(__SSE2__)

constexpr bool kAvailable = true;

inline std::uint64_t Equal16(__m128i bytes, char c) {
    return static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(c))));
}

// Bytes from `low` to `high`, compared as unsigned: subtracting `low` brings
// the range to 0..high-low, where the unsigned minimum leaves a byte alone.
inline __m128i InRange16(__m128i bytes, unsigned char low, unsigned char high) {
    __m128i shifted = _mm_sub_epi8(bytes, _mm_set1_epi8(static_cast<char>(low)));
    __m128i width = _mm_set1_epi8(static_cast<char>(high - low));
    return _mm_cmpeq_epi8(_mm_min_epu8(shifted, width), shifted);
}

inline ByteMasks MasksOf(const unsigned char* block) {
    ByteMasks masks{0, 0, 0, 0, 0, 0, 0};
    for (int k = 0; k < kBlockBytes / 16; ++k) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * k));
        __m128i lead = _mm_or_si128(InRange16(bytes, 0x81, 0x9F), InRange16(bytes, 0xE0, 0xFC));
        auto place = [k](std::uint64_t bits) { return bits << (16 * k); };
        std::uint64_t lf = Equal16(bytes, '\n');
        std::uint64_t is81 = Equal16(bytes, static_cast<char>(0x81));
        masks.lead |= place(static_cast<std::uint16_t>(_mm_movemask_epi8(lead)));
        masks.ends |= place(Equal16(bytes, 0) | Equal16(bytes, 0x1A));
        masks.cr |= place(Equal16(bytes, '\r'));
        masks.lf |= place(lf);
        masks.dropped |= place(is81 | Equal16(bytes, ' '));
        __m128i trail = _mm_or_si128(InRange16(bytes, 0x40, 0x7E), InRange16(bytes, 0x80, 0xFC));
        masks.trail |= place(static_cast<std::uint16_t>(_mm_movemask_epi8(trail)));
        masks.is81 |= place(is81);
    }
    return masks;
}

// Copies `count` bytes (at most 64) in pieces of sixteen, unrolled: a loop
// would be turned into a string move, whose start costs more than these short
// runs.
inline void CopyRun(char* to, const unsigned char* from, int count) {
    auto piece = [&](int at) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + at));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + at), bytes);
    };
    piece(0);
    if (count > 16) piece(16);
    if (count > 32) piece(32);
    if (count > 48) piece(48);
}

// A character looked for: its first byte and its second (unless `single`),
// each spread over a vector once, for every window it is looked for in.
struct Wanted {
    __m128i first = _mm_setzero_si128();
    __m128i second = _mm_setzero_si128();
    // Every bit set for a character of one byte, whatever follows it: the
    // match of the second byte is or-ed with it, so that both kinds take the
    // same steps.
    __m128i anySecond = _mm_set1_epi8(-1);

    Wanted() = default;
    Wanted(unsigned char firstByte, unsigned char secondByte, bool oneByte)
        : first(_mm_set1_epi8(static_cast<char>(firstByte))),
          second(_mm_set1_epi8(static_cast<char>(secondByte))),
          anySecond(_mm_set1_epi8(oneByte ? -1 : 0)) {}
};

// 64 bytes loaded once for several looks: each 16 bytes, and the 16 bytes
// one further on, for the second bytes of pairs (so p[64] is read too).
struct Window {
    __m128i here[4];
    __m128i next[4];

    explicit Window(const unsigned char* p) {
        for (int k = 0; k < 4; ++k) {
            here[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
            next[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k + 1));
        }
    }

    // Whether the character begins somewhere here.
    bool Holds(const Wanted& c) const {
        const __m128i any = _mm_or_si128(_mm_or_si128(Match(c, 0), Match(c, 1)),
                                         _mm_or_si128(Match(c, 2), Match(c, 3)));
        return _mm_movemask_epi8(any) != 0;
    }

    // One bit for each of the 64 bytes where the character begins.
    std::uint64_t Starts(const Wanted& c) const {
        std::uint64_t starts = 0;
        for (int k = 0; k < 4; ++k) {
            starts |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(Match(c, k)))}
                      << 16 * k;
        }
        return starts;
    }

    __m128i Match(const Wanted& c, int k) const {
        const __m128i second = _mm_or_si128(_mm_cmpeq_epi8(next[k], c.second), c.anySecond);
        return _mm_and_si128(_mm_cmpeq_epi8(here[k], c.first), second);
    }

    // Whether a NUL or 0x1A, where text ends, stands in the window.
    bool HoldsEnd() const {
        __m128i any = _mm_setzero_si128();
        for (int k = 0; k < 4; ++k) {
            any = _mm_or_si128(any, _mm_or_si128(_mm_cmpeq_epi8(here[k], _mm_setzero_si128()),
                                                 _mm_cmpeq_epi8(here[k], _mm_set1_epi8(0x1A))));
        }
        return _mm_movemask_epi8(any) != 0;
    }

    // Whether every byte of the window is below 0x80.
    bool Ascii() const {
        const __m128i any =
            _mm_or_si128(_mm_or_si128(here[0], here[1]), _mm_or_si128(here[2], here[3]));
        return _mm_movemask_epi8(any) == 0;
    }

    // CountDropped of a window of ASCII: its bytes up to 0x20.
    int CountLow() const {
        __m128i count = _mm_setzero_si128();
        for (int k = 0; k < 4; ++k) {
            count = _mm_sub_epi8(
                count, _mm_cmpeq_epi8(_mm_min_epu8(here[k], _mm_set1_epi8(0x20)), here[k]));
        }
        const __m128i sums = _mm_sad_epu8(count, _mm_setzero_si128());
        return _mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4);
    }

    // At least as many as the bytes of the window that gathering drops: the
    // bytes up to 0x20 (blanks and line ends; the other control bytes are
    // counted too, which only leaves the count safe), twice each 0x81 (a
    // separator and its second byte, or an incomplete character), and each
    // lead byte before a byte that cannot stand second (an incomplete
    // character; the byte after it stands alone). The byte after the window
    // is read for the last.
    int CountDropped() const {
        __m128i count = _mm_setzero_si128();  // each lane counts its bytes: at most 16
        for (int k = 0; k < 4; ++k) {
            const __m128i bytes = here[k];
            const __m128i low = _mm_cmpeq_epi8(_mm_min_epu8(bytes, _mm_set1_epi8(0x20)), bytes);
            const __m128i separator = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(0x81)));
            // With bit 5 flipped, the lead bytes 0x81..0x9F and 0xE0..0xFC
            // make the one range 0xA1..0xDC.
            const __m128i lead = InRange16(_mm_xor_si128(bytes, _mm_set1_epi8(0x20)), 0xA1, 0xDC);
            // Moved down by 0x40, the bytes that cannot stand second (below
            // 0x40, 0x7F, above 0xFC) are 0x3F and those above 0xBC.
            const __m128i moved = _mm_sub_epi8(next[k], _mm_set1_epi8(0x40));
            const __m128i trail = _mm_andnot_si128(
                _mm_cmpeq_epi8(moved, _mm_set1_epi8(0x3F)),
                _mm_cmpeq_epi8(_mm_min_epu8(moved, _mm_set1_epi8(static_cast<char>(0xBC))), moved));
            count = _mm_sub_epi8(count, low);
            count = _mm_sub_epi8(count, _mm_add_epi8(separator, separator));
            count = _mm_sub_epi8(count, _mm_andnot_si128(trail, lead));
        }
        const __m128i sums = _mm_sad_epu8(count, _mm_setzero_si128());
        return _mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4);
    }
};

#else

constexpr bool kAvailable = false;

inline ByteMasks MasksOf(const unsigned char*) {
    return ByteMasks{};
}
inline void CopyRun(char*, const unsigned char*, int) {}

struct Wanted {
    Wanted() = default;
    Wanted(unsigned char, unsigned char, bool) {}
};

struct Window {
    explicit Window(const unsigned char*) {}
    bool Holds(const Wanted&) const { return true; }
    std::uint64_t Starts(const Wanted&) const { return ~std::uint64_t{0}; }
    bool HoldsEnd() const { return true; }
    bool Ascii() const { return false; }
    int CountLow() const { return kBlockBytes; }
    int CountDropped() const { return kBlockBytes; }
};

#endif

}  // namespace sjis::blocks
