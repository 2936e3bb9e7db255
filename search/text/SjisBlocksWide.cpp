// Chooses the quick look's wide loops (SjisBlocksWide.h). Built for every
// processor: the loops themselves are in SjisBlocksAvx2.cpp, built for AVX2
// where the build has it.
#include "search/text/SjisBlocksWide.h"

#include <sorahiki/testhooks.h>

namespace sjis::wide {

#if defined(SORAHIKI_WIDE_VECTORS)
int FullAtAvx2(const unsigned char* block, int length, int target, Char c, Follows follows,
               bool& found);
bool FoundBeforeAvx2(const unsigned char* block, int end, Char c, Follows follows);
#endif

bool Chosen() {
#if defined(SORAHIKI_WIDE_VECTORS)
    static const bool wide = __builtin_cpu_supports("avx2");
    return wide && !testhooks::VectorsNarrow();
#else
    return false;
#endif
}

int FullAt(const unsigned char* block, int length, int target, Char c, Follows follows,
           bool& found) {
#if defined(SORAHIKI_WIDE_VECTORS)
    if (Chosen()) return FullAtAvx2(block, length, target, c, follows, found);
#endif
    (void)block, (void)length, (void)target, (void)c, (void)follows, (void)found;
    return -1;
}

bool FoundBefore(const unsigned char* block, int end, Char c, Follows follows) {
#if defined(SORAHIKI_WIDE_VECTORS)
    if (Chosen()) return FoundBeforeAvx2(block, end, c, follows);
#endif
    (void)block, (void)end, (void)c, (void)follows;
    return false;
}

}  // namespace sjis::wide
