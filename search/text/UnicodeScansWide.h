// The scans of UTF-8 and UTF-16 text for one probe's characters, and the
// count of UTF-16 text, with 32-byte AVX2 vectors, where the build has them (x86-64, not Windows);
// the caller asks wide::Chosen() first and goes on with its narrow loops from where these stopped.
// Nothing of them is inline, since only their own file is built for AVX2. No state; any thread may
// call them.
#pragma once

#include <cstdint>

#include "search/text/SjisBlocksWide.h"
#include "search/text/Utf16CountPass.h"

namespace sjis::wide {

constexpr int kMaxUnits = 4;  // the forms of one probe

#if defined(SORAHIKI_WIDE_VECTORS)
// Whether one of the `count` UTF-16 units (as two bytes loaded little-endian)
// stands at an even place from `at`, where `follows` accepts it, among the
// 32-byte runs wholly before `length`; `at` is left where the runs ended.
bool UnitFoundAvx2(const unsigned char* block, int length, const std::uint16_t* units, int count,
                   Follows follows, int& at);
// The same for the `count` bytes of `sequence` (1 to 3) at any place; the
// runs read up to 2 bytes past their end, which must lie before `length`.
bool SequenceFoundAvx2(const unsigned char* block, int length, const unsigned char* sequence,
                       int count, Follows follows, int& at);
// Utf16CountPass.h's count by 32-byte vectors.
void CountUtf16RunsAvx2(const utf16count::CountInput& in, utf16count::Counted& counted);
#endif

}  // namespace sjis::wide
