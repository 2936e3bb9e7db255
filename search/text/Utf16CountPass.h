// The count of the bytes of text that a block of UTF-16 surely gives, by
// vectors of units: kept ASCII (no blank, no line end) counts one byte and
// every kana two when all kana are kept, told by compares alone; the other
// units are marked for a look-up, which the caller makes only while the
// text is not yet surely full. Written once for vectors of any width: the
// 16-byte SSE2 form is built into every x86-64 build, the 32-byte AVX2 one
// in a file of its own (UnicodeScansAvx2.cpp) that only processors with
// AVX2 run. Everything here has internal linkage, as in Utf8RunPass.h.
#pragma once

#include <bit>
#include <cstdint>

namespace sjis::utf16count {

// The kana, hiragana U+3041..U+3093 and katakana U+30A1..U+30F6, which a
// count tells from their units alone when all have kept forms.
constexpr char32_t kKana[][2] = {{0x3041, 0x3093}, {0x30A1, 0x30F6}};

// What the count is given.
struct CountInput {
    const unsigned char* block;
    int from;    // the first byte counted, an even number of bytes after the mark
    int length;  // the block's bytes
    int target;  // the kept bytes that prove the text full
    bool bigEndian;
    bool kanaKept;  // every kana's form is kept
};

// The runs of W::kBytes bytes from `from` are counted until the text is
// surely full, a NUL or 0x1A is met, or fewer than a run's bytes are left;
// what is left goes to the caller.
constexpr int kMaxRuns = 8192 / 16;  // two blocks (the look at a second one), in runs of 16
struct Counted {
    int at = 0;         // where the runs stopped
    int keptBytes = 0;  // counted by the compares
    bool ends = false;  // a NUL or 0x1A stands in the run at `at`: the text ends
    int runs = 0;       // runs counted
    int runBytes = 0;   // bytes in a run
    // For each run, a bit at the first byte of each unit left to look up.
    std::uint32_t others[kMaxRuns];
};

namespace {

// Counts the runs into `c`, with the vector operations of `W`.
template <class W>
void CountRuns(const CountInput& in, Counted& c) {
    using V = typename W::V;
    const V zero = W::Zero();
    auto is = [](V units, int unit) { return W::Eq16(units, W::Splat16(unit)); };
    // Signed: units from 0x8000 up are below every bound.
    auto between = [](V units, int low, int high) {
        return W::And(W::Greater16(units, W::Splat16(low - 1)),
                      W::Greater16(W::Splat16(high + 1), units));
    };
    const std::uint32_t firstBytes = 0x55555555u;
    c.at = in.from;
    c.runBytes = W::kBytes;
    for (; c.at + W::kBytes <= in.length && c.runs < kMaxRuns && c.keptBytes < in.target;
         c.at += W::kBytes) {
        V units = W::Load(in.block + c.at);
        if (in.bigEndian) units = W::SwapBytes(units);
        if (W::Mask(W::Or(is(units, 0), is(units, 0x1A))) != 0) {
            c.ends = true;
            return;
        }
        const V ascii = W::Eq16(W::And(units, W::Splat16(0xFF80)), zero);
        const V dropped = W::Or(is(units, ' '), W::Or(is(units, '\n'), is(units, '\r')));
        V counted = ascii;
        std::uint32_t kana = 0;
        if (in.kanaKept) {
            const V kanaUnits = W::Or(between(units, kKana[0][0], kKana[0][1]),
                                      between(units, kKana[1][0], kKana[1][1]));
            kana = W::Mask(kanaUnits);
            counted = W::Or(counted, kanaUnits);
        }
        // Two mask bits for each unit: half of ASCII's, all of kana's.
        c.keptBytes += std::popcount(W::Mask(W::AndNot(dropped, ascii))) / 2 + std::popcount(kana);
        c.others[c.runs++] = ~W::Mask(counted) & firstBytes & W::kAllBits;
    }
}

}  // namespace
}  // namespace sjis::utf16count
