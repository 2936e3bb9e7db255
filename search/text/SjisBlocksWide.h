// The quick look's loops over a block of code page 932 with 32-byte AVX2
// vectors, where the build has them (x86-64, not Windows) and the processor
// too: each takes the same 64-byte windows as the narrow loops of
// WordProbes and tells the same. Nothing of them is inline, since only
// their own file is built for AVX2. No state; any thread may call them.
#pragma once

#include <cstdint>

namespace sjis::wide {

// A character looked for: its first byte and its second (unless `oneByte`).
struct Char {
    unsigned char first;
    unsigned char second;
    bool oneByte;
};

// Asked, for each place where the character begins, whether what follows it
// there may follow it in the text (WordProbes' rule, which stays narrow).
struct Follows {
    bool (*accepts)(const void* context, int at);
    const void* context;
};

// Whether the wide loops are used: built, the processor has AVX2, and no
// test asked for the narrow ones.
bool Chosen();

// As WordProbes' narrow loops: the end of the window after which the
// surely kept bytes exceed `target`, or 0; and whether `c` begins and is
// followed before there. -1 where the wide loops are not chosen.
int FullAt(const unsigned char* block, int length, int target, Char c, Follows follows,
           bool& found);
// Whether `c` begins and is followed in a window before `end`; false where
// the wide loops are not chosen (ask Chosen first).
bool FoundBefore(const unsigned char* block, int end, Char c, Follows follows);

}  // namespace sjis::wide
