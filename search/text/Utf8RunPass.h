// The one pass of the quick look over a block without a mark, taken to be
// UTF-8, 64 bytes at a time: it checks that the bytes are UTF-8, counts the
// bytes of text that they surely give, and looks for one of the words' probes,
// all from the same loads. Written once for vectors of any width: the
// 16-byte SSE2 form is built into every x86-64 build, the 32-byte AVX2 one
// in a file of its own (Utf8RunsWide.cpp) that only processors with AVX2
// run. Everything here has internal linkage, so that no function built for
// AVX2 can stand in for one that older processors run; only those two files
// include it.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "search/text/NextForm.h"
#include "search/text/Utf8Runs.h"

namespace sjis::utf8runs {
namespace {

// The shape of 64 bytes taken as UTF-8, one bit per byte.
struct Utf8Shape {
    std::uint64_t continuations = 0;  // 10xxxxxx
    std::uint64_t leads = 0;          // 11xxxxxx
    std::uint64_t threes = 0;         // 1110xxxx
    // Any of C0, C1 and F5..FF, which begin no character, or E0, ED and
    // F0..F4, after which fewer bytes than 80..BF may follow.
    bool rare = false;
};

// Follows the shape of a block from one 64 bytes to the next. Until a rare
// byte is met, it is checked exactly: each first byte of two bytes has one
// continuation byte after it, each of three bytes two, and there are no
// others, which is valid UTF-8. From then on only loosely, as text that is
// no UTF-8 (code page 932 above all) shows within its first characters: a
// first byte must be followed by a continuation byte, which must follow a
// first or continuation byte.
class Utf8ShapeCheck {
  public:
    // False when the bytes surely are no UTF-8.
    bool Accepts(const Utf8Shape& s) {
        bool fits;
        if (m_exact && !s.rare) {
            fits = s.continuations == (s.leads << 1 | s.threes << 2 | m_due);
        } else {
            m_exact = false;
            const std::uint64_t due = s.leads << 1 | m_afterLead;
            const std::uint64_t allowed = (s.leads | s.continuations) << 1 | m_afterMore;
            fits = (due & ~s.continuations) == 0 && (s.continuations & ~allowed) == 0;
        }
        m_due = s.leads >> 63 | s.threes >> 62;
        m_afterLead = s.leads >> 63;
        m_afterMore = (s.leads | s.continuations) >> 63;
        m_multibyte |= s.leads != 0;
        return fits;
    }

    bool Exact() const { return m_exact; }
    bool Multibyte() const { return m_multibyte; }

  private:
    std::uint64_t m_due = 0;        // continuation bytes due at the next bytes
    std::uint64_t m_afterLead = 0;  // the next byte follows a first byte
    std::uint64_t m_afterMore = 0;  // it follows a first or continuation byte
    bool m_exact = true;
    bool m_multibyte = false;
};

// The kept pairs among the characters of three bytes that begin at the bits
// of `threes`, counted from `run`, of which 67 bytes can be read. Each is
// read with one load: its first two bytes pick the 64 characters of its
// word of bits, the third its bit.
inline int KeptPairsAt(const std::uint64_t* keptThrees, const unsigned char* run,
                       std::uint64_t threes) {
    static_assert(std::endian::native == std::endian::little);
    int pairs = 0;
    for (; threes != 0; threes &= threes - 1) {
        std::uint32_t bytes;
        std::memcpy(&bytes, run + __builtin_ctzll(threes), sizeof bytes);
        pairs += static_cast<int>(keptThrees[bytes & 0x3F0Fu] >> (bytes >> 16 & 0x3Fu) & 1);
    }
    return pairs;
}

// The pass, with the vector operations of `W` (W::kBytes bytes at a time).
template <class W>
class RunPass {
  public:
    // The runs look for one probe, the first not found from the start (the
    // rarest): a word that is not in the text nearly always lacks it, and
    // each probe more would cost as much again in every run.
    explicit RunPass(const PassInput& in) : m_in(in) {
        const Needles& needles = *in.needles;
        for (int n = 0; n < needles.count; ++n) {
            if ((in.found & needles.probe[n]) != 0) continue;
            if (m_lookedFor == 0) m_lookedFor = needles.probe[n];
            if (needles.probe[n] != m_lookedFor) continue;
            const int a = m_active++;
            m_needle[a] = n;
            for (int b = 0; b < 3; ++b) {
                m_splat[a][b] = W::Splat(needles.bytes[n][b < needles.length[n] ? b : 0]);
            }
        }
    }

    PassResult Run() {
        PassResult result;
        result.found = m_in.found;
        result.lookedFor = m_lookedFor;
        Utf8ShapeCheck check;
        // The runs are first counted by what their bytes tell alone, to the
        // block's end; the other characters of three bytes are looked up
        // after, one by one, only as long as the text is not yet surely
        // full, which spares most look-ups. A character of three bytes that
        // begins in a run may end 2 bytes past it, and is read with a load
        // of 4.
        // Once the text is surely full, the runs after it are only checked
        // to be UTF-8, which the whole block must be to be read as such.
        std::uint64_t toLookUp[kMaxRuns];
        int runs = 0;
        for (; (runs + 1) * 64 + 3 <= m_in.length && runs < kMaxRuns; ++runs) {
            const unsigned char* run = m_in.block + 64 * runs;
            Utf8Shape shape;
            const bool full = result.keptBytes >= m_in.target;
            std::uint64_t settled = 0;
            if (full) {
                ShapeOf(run, shape);
            } else {
                result.keptBytes += Look(run, shape, settled, result.found);
                if (result.keptBytes >= m_in.target) result.fullBefore = FullBefore(runs);
            }
            if (!check.Accepts(shape)) {
                result.noUtf8 = true;
                return result;
            }
            if (m_active > 0 && result.found == m_in.allFound) return result;
            toLookUp[runs] = full ? 0 : shape.threes & ~settled;
        }
        for (int run = 0; m_counting && run < runs && result.keptBytes < m_in.target; ++run) {
            result.keptBytes +=
                2 * KeptPairsAt(m_in.keptThrees, m_in.block + 64 * run, toLookUp[run]);
        }
        result.at = 64 * runs;
        result.exact = check.Exact();
        result.multibyte = check.Multibyte();
        return result;
    }

  private:
    using V = typename W::V;
    static constexpr int kVectors = 64 / W::kBytes;
    static constexpr int kMaxRuns = 4096 / 64;  // the decoder's first block

    static std::uint64_t Bits(V mask, int k) { return W::Mask(mask) << (W::kBytes * k); }
    static V Splat(int c) { return W::Splat(c); }
    static V From(V b, int low) { return W::Eq(W::Max(b, Splat(low)), b); }
    static V UpTo(V b, int high) { return W::Eq(W::Min(b, Splat(high)), b); }

    // E3 81 81..E3 82 93 and E3 82 A1..E3 83 B6: hiragana U+3041..U+3093
    // and katakana U+30A1..U+30F6.
    static V KanaStarts(V first, V second, V third) {
        const V in81 = W::And(W::Eq(second, Splat(0x81)), From(third, 0x81));
        const V in82 =
            W::And(W::Eq(second, Splat(0x82)), W::Or(UpTo(third, 0x93), From(third, 0xA1)));
        const V in83 = W::And(W::Eq(second, Splat(0x83)), UpTo(third, 0xB6));
        return W::And(W::Eq(first, Splat(0xE3)), W::Or(W::Or(in81, in82), in83));
    }

    // One bit for each of the 64 bytes at `run` where needle `a`, of
    // `length` bytes, begins, or 0 when it begins nowhere, which one mask
    // tells: its bytes are read again for each needle, from the cache, so
    // that they stay in registers.
    std::uint64_t Starts(const unsigned char* run, int a, int length) const {
        const V first = m_splat[a][0];
        const V second = m_splat[a][1];
        const V third = m_splat[a][2];
        V match[kVectors];
        V any = W::Zero();
        for (int k = 0; k < kVectors; ++k) {
            const unsigned char* p = run + W::kBytes * k;
            match[k] = W::Eq(W::Load(p), first);
            if (length > 1) match[k] = W::And(match[k], W::Eq(W::Load(p + 1), second));
            if (length > 2) match[k] = W::And(match[k], W::Eq(W::Load(p + 2), third));
            any = W::Or(any, match[k]);
        }
        if (W::Mask(any) == 0) return 0;
        std::uint64_t starts = 0;
        for (int k = 0; k < kVectors; ++k) starts |= Bits(match[k], k);
        return starts;
    }

    // Where the text surely ends when the bytes counted in the runs up to
    // `run`, in order, fill it: the last character counted may end 2 bytes
    // past the run. (The look-ups after the pass add to a count of the whole
    // block, which tells that the text is full, but not where it ends.)
    static int FullBefore(int run) { return 64 * (run + 1) + 2; }

    // Whether the 64 bytes at `run` are all ASCII: the heads of manual and
    // web pages are, half of their first blocks. Such a run has no shape
    // to follow and no kana, and no needle but an ASCII one begins in it.
    static bool AllAscii(const unsigned char* run) {
        V any = W::Load(run);
        for (int k = 1; k < kVectors; ++k) any = W::Or(any, W::Load(run + W::kBytes * k));
        return W::Mask(any) == 0;
    }

    // Look for a run of ASCII alone.
    int LookAscii(const unsigned char* run, unsigned& found) const {
        V ascii = W::Zero();
        for (int k = 0; k < kVectors; ++k) {
            ascii = W::Sub(ascii, W::GreaterSigned(W::Load(run + W::kBytes * k), Splat(0x20)));
        }
        for (int a = 0; a < m_active; ++a) {
            const int n = m_needle[a];
            const unsigned probe = m_in.needles->probe[n];
            if ((found & probe) == 0 && m_in.needles->bytes[n][0] < 0x80 && Holds(run, a)) {
                found |= probe;
            }
        }
        return m_counting ? W::Sum(ascii) : 0;
    }

    // The shape of the 64 bytes at `run` taken as UTF-8.
    static void ShapeOf(const unsigned char* run, Utf8Shape& shape) {
        if (AllAscii(run)) return;
        V rare = W::Zero();
        for (int k = 0; k < kVectors; ++k) AddShape(W::Load(run + W::kBytes * k), k, shape, rare);
        shape.rare = W::Mask(rare) != 0;
    }

    // Adds the shape of the vector `b`, the `k`th of a run, to `shape` and
    // its rare bytes to `rare`.
    [[gnu::always_inline]] static void AddShape(V b, int k, Utf8Shape& shape, V& rare) {
        const V top = W::And(b, Splat(0xC0));
        shape.continuations |= Bits(W::Eq(top, Splat(0x80)), k);
        shape.leads |= Bits(W::Eq(top, Splat(0xC0)), k);
        const V high = W::And(b, Splat(0xF0));
        shape.threes |= Bits(W::Eq(high, Splat(0xE0)), k);
        const V c0c1 = W::Eq(W::And(b, Splat(0xFE)), Splat(0xC0));
        const V e0ed = W::Or(W::Eq(b, Splat(0xE0)), W::Eq(b, Splat(0xED)));
        rare = W::Or(rare, W::Or(W::Eq(high, Splat(0xF0)), W::Or(c0c1, e0ed)));
    }

    // Whether needle `a` stands among the 64 bytes at `run` followed as the
    // text could follow it with the word's next character.
    bool Holds(const unsigned char* run, int a) const {
        const int n = m_needle[a];
        const int length = m_in.needles->length[n];
        const unsigned next = m_in.needles->next[n];
        std::uint64_t starts = Starts(run, a, length);
        if (next == 0) return starts != 0;
        const int base = static_cast<int>(run - m_in.block) + length;
        for (; starts != 0; starts &= starts - 1) {
            if (nextform::MayFollowUtf8(m_in.block, base + __builtin_ctzll(starts), m_in.length,
                                        next, m_in.forms)) {
                return true;
            }
        }
        return false;
    }

    // The shape of the 64 bytes at `run`, the probes found among them and
    // the surely kept bytes that they tell by themselves:
    // ASCII other than blanks, line ends, NUL and 0x1A, and kana when all
    // kana are kept. `settled` marks the first bytes of the characters of
    // three bytes that need no look-up: all beginning with E3, the kana
    // counted here and the others of U+3000..U+3FFF, mostly punctuation
    // whose forms are dropped (leaving them uncounted only makes the count
    // safer). A NUL or 0x1A is not looked for: it ends the text inside the
    // block, so whatever the count says then is true.
    int Look(const unsigned char* run, Utf8Shape& shape, std::uint64_t& settled,
             unsigned& found) const {
        if (AllAscii(run)) return LookAscii(run, found);
        const V zero = W::Zero();
        V rare = zero;
        V ascii = zero;
        V kana = zero;
        const bool counting = m_counting;
        const bool kanaKept = m_in.kanaKept && counting;
        for (int k = 0; k < kVectors; ++k) {
            const unsigned char* p = run + W::kBytes * k;
            const V b = W::Load(p);
            const V second = W::Load(p + 1);
            const V third = W::Load(p + 2);
            AddShape(b, k, shape, rare);
            // Signed, bytes from 0x80 up are below 0x21.
            if (counting) ascii = W::Sub(ascii, W::GreaterSigned(b, Splat(0x20)));
            if (kanaKept) {
                settled |= Bits(W::Eq(b, Splat(0xE3)), k);
                kana = W::Sub(kana, KanaStarts(b, second, third));
            }
        }
        shape.rare = W::Mask(rare) != 0;
        for (int a = 0; a < m_active; ++a) {
            const unsigned probe = m_in.needles->probe[m_needle[a]];
            if ((found & probe) == 0 && Holds(run, a)) {
                found |= probe;
            }
        }
        return W::Sum(ascii) + 2 * W::Sum(kana);
    }

    const PassInput& m_in;
    // A block gives at most one kept byte for each of its bytes: where the
    // target lies past them (a look at whole files), no count could fill the
    // text, and none is made.
    const bool m_counting = m_in.target <= m_in.length;
    unsigned m_lookedFor = 0;  // the probe looked for
    int m_active = 0;          // its needles
    int m_needle[Needles::kMax] = {};
    V m_splat[Needles::kMax][3];
};

}  // namespace
}  // namespace sjis::utf8runs
