// What the quick look's pass over a block taken to be UTF-8 is given and
// tells (the pass itself: Utf8RunPass.h).
#pragma once

#include <cstdint>

namespace sjis::utf8runs {

// The characters looked for, as UTF-8 sequences of 1 to 3 bytes; several may
// stand for one word's character (one probe).
struct Needles {
    static constexpr int kMax = 32;
    int count = 0;
    unsigned char bytes[kMax][3] = {};
    unsigned char length[kMax] = {};
    unsigned probe[kMax] = {};  // the bit of the probe each stands for
    // The code page 932 form of the word's character that must follow, 0
    // when the probe is one character alone (NextForm.h).
    unsigned short next[kMax] = {};
};

// What the pass is given: the block, and the count of surely kept bytes
// (`target`) that proves the text full.
constexpr int kKeptThreesWords = 0x3F0F + 1;
struct PassInput {
    const unsigned char* block;
    int length;
    int target;
    // The bits of a character of three bytes whose form is kept, 64 to a
    // word, at the word `(second & 0x3F) << 8 | (first & 0x0F)`: the first
    // two bytes as they stand, masked, so a look-up takes one AND.
    const std::uint64_t* keptThrees;
    bool kanaKept;  // every kana's form is kept
    const Needles* needles;
    unsigned allFound;            // the probes' bits
    unsigned found;               // probes that count as found from the start
    const unsigned short* forms;  // the form of each character, for Needles::next
};

// What the runs told; the bytes from `at` on are left to the caller.
struct PassResult {
    int at = 0;          // bytes passed over in runs of 64
    int keptBytes = 0;   // surely kept bytes counted, until `target` was reached
    int fullBefore = 0;  // when the runs' own count reached it, the text lies before this byte
    unsigned found = 0;
    unsigned lookedFor = 0;  // the probe the runs looked for; the others are left to the caller
    bool noUtf8 = false;     // the block surely is no UTF-8
    bool exact = true;       // every byte passed is valid UTF-8 (a character may go on)
    bool multibyte = false;
};

// The pass with 32-byte vectors; only for processors that have AVX2.
PassResult PassRunsWide(const PassInput& in);

}  // namespace sjis::utf8runs
