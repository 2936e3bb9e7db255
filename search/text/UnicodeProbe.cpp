// Looking for a word's characters among the bytes of a UTF-8 or UTF-16 file,
// telling how far into the file its gathered text can reach, and whether a
// block without a mark is surely UTF-8.
#include "search/text/UnicodeProbe.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include <sorahiki/cp932.h>
#include <sorahiki/cp932forms.h>

#include "search/text/Cp932Forms.h"
#include "search/text/NextForm.h"
#include "search/text/SjisBlocksWide.h"
#include "search/text/TextDecoder.h"
#include "search/text/UnicodeScansWide.h"
#include "search/text/Utf16CountPass.h"
#include "search/text/Utf8RunPass.h"
#include "search/text/Utf8Sequence.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sjis {
namespace {

// More than a character put back when the text is full.
constexpr int kMargin = 8;

using utf16count::kKana;

// One bit per character of the Basic Multilingual Plane: set when its form
// is two bytes that gathering keeps (the first is not 0x81).
struct KeptPairs {
    std::uint64_t bits[kBmpSize / 64];
    // The same bits for the characters of three bytes, placed as the pass
    // over UTF-8 runs looks them up (utf8runs::PassInput).
    std::uint64_t threes[utf8runs::kKeptThreesWords];
    bool kanaKept;  // every kana has such a form
};

bool MakeKeptPairs(KeptPairs& kept) {
    if (!cp932::FormsRead()) return false;
    const unsigned short* forms = cp932::Forms();
    for (int c = 0x80; c < kBmpSize; ++c) {
        if (forms[c] >= 0x100 && forms[c] >> 8 != cp932::kSeparatorLead) {
            kept.bits[c / 64] |= std::uint64_t{1} << (c % 64);
        }
    }
    for (int first = 0; first < 16; ++first) {
        for (int second = 0; second < 64; ++second) {
            kept.threes[second << 8 | first] = kept.bits[first << 6 | second];
        }
    }
    kept.kanaKept = true;
    for (const auto& range : kKana) {
        for (char32_t c = range[0]; c <= range[1]; ++c) {
            kept.kanaKept &= (kept.bits[c / 64] >> (c % 64) & 1) != 0;
        }
    }
    return true;
}

CFormsOnceRead<KeptPairs, MakeKeptPairs> g_keptPairs;

// While the forms cannot be read, no character counts as kept.
const KeptPairs& KeptPairTable() {
    static const KeptPairs none{};
    return g_keptPairs.Get(none);
}

const std::uint64_t* KeptPairBits() {
    return KeptPairTable().bits;
}

bool IsKeptPair(const std::uint64_t* kept, unsigned c) {
    return (kept[c / 64] >> (c % 64) & 1) != 0;
}

// An ASCII character that gathering keeps as one byte: no blank, no line end
// (a CR counts as dropped, as it is before a line feed). NUL and 0x1A end
// the text and are told apart by the caller.
int KeptAscii(unsigned c) {
    return c != ' ' && c != '\n' && c != '\r' ? 1 : 0;
}

bool EndsText(unsigned c) {
    return c == 0 || c == 0x1A;
}

// Whether the text surely ends inside a block of UTF-8 after a mark: the
// surely kept bytes of its characters fill the text, or a NUL or 0x1A ends
// it. A sequence that is no character is dropped, as the converter does.
bool TextEndsInUtf8(const unsigned char* block, int length, int limit) {
    const std::uint64_t* kept = KeptPairBits();
    const int target = limit + kMargin;
    int keptBytes = 0;
    int at = 0;
    while (at < length && keptBytes < target) {
        const unsigned char lead = block[at];
        if (lead < 0x80) {
            if (EndsText(lead)) return true;
            keptBytes += KeptAscii(lead);
            ++at;
            continue;
        }
        const utf8seq::Sequence s = utf8seq::ReadSequence(block + at, block + length);
        if (s.kind == utf8seq::SequenceKind::kCut) break;
        if (s.kind == utf8seq::SequenceKind::kValid && s.codePoint < kBmpSize &&
            IsKeptPair(kept, static_cast<unsigned>(s.codePoint))) {
            keptBytes += 2;
        }
        at += s.length;
    }
    return keptBytes >= target;
}

// The surely kept bytes of the character at `at`, in a block taken to be
// valid UTF-8: two for a character of three bytes whose form is kept, else
// one for kept ASCII, else none (a character of two or four bytes is not
// counted, which only makes the count safer). -1 for a NUL or 0x1A.
int KeptAt(const std::uint64_t* kept, const unsigned char* block, int at, int length) {
    const unsigned char lead = block[at];
    if (lead < 0x80) return EndsText(lead) ? -1 : KeptAscii(lead);
    if ((lead & 0xF0) != 0xE0 || at + 2 >= length) return 0;
    const unsigned c =
        (lead & 0x0Fu) << 12 | (block[at + 1] & 0x3Fu) << 6 | (block[at + 2] & 0x3Fu);
    return IsKeptPair(kept, c) ? 2 : 0;
}

#if defined(__SSE2__)
// The quick look's pass over UTF-8 runs with the 16-byte vectors that every
// x86-64 processor has.
struct Sse2 {
    using V = __m128i;
    static constexpr int kBytes = 16;

    static V Load(const unsigned char* p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }
    static V Splat(int c) { return _mm_set1_epi8(static_cast<char>(c)); }
    static V Zero() { return _mm_setzero_si128(); }
    static V Eq(V a, V b) { return _mm_cmpeq_epi8(a, b); }
    static V And(V a, V b) { return _mm_and_si128(a, b); }
    static V Or(V a, V b) { return _mm_or_si128(a, b); }
    static V Max(V a, V b) { return _mm_max_epu8(a, b); }
    static V Min(V a, V b) { return _mm_min_epu8(a, b); }
    static V GreaterSigned(V a, V b) { return _mm_cmpgt_epi8(a, b); }
    static V Sub(V a, V b) { return _mm_sub_epi8(a, b); }
    static std::uint64_t Mask(V m) { return static_cast<std::uint16_t>(_mm_movemask_epi8(m)); }
    // The sum of 16 byte counts.
    static int Sum(V counts) {
        const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
        return _mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4);
    }
};

utf8runs::PassResult PassRuns(const utf8runs::PassInput& in) {
#if defined(SORAHIKI_WIDE_VECTORS)
    if (wide::Chosen()) return utf8runs::PassRunsWide(in);
#endif
    return utf8runs::RunPass<Sse2>(in).Run();
}
#endif

#if defined(__SSE2__)
// Eight UTF-16 units at a time, for Utf16CountPass.h.
struct Sse2Units {
    using V = __m128i;
    static constexpr int kBytes = 16;
    static constexpr std::uint32_t kAllBits = 0xFFFFu;

    static V Load(const unsigned char* p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }
    static V Zero() { return _mm_setzero_si128(); }
    static V Splat16(int unit) { return _mm_set1_epi16(static_cast<short>(unit)); }
    static V Eq16(V a, V b) { return _mm_cmpeq_epi16(a, b); }
    static V Greater16(V a, V b) { return _mm_cmpgt_epi16(a, b); }
    static V And(V a, V b) { return _mm_and_si128(a, b); }
    static V AndNot(V a, V b) { return _mm_andnot_si128(a, b); }
    static V Or(V a, V b) { return _mm_or_si128(a, b); }
    static V SwapBytes(V units) {
        return _mm_or_si128(_mm_slli_epi16(units, 8), _mm_srli_epi16(units, 8));
    }
    static std::uint32_t Mask(V m) { return static_cast<std::uint32_t>(_mm_movemask_epi8(m)); }
};

void CountUtf16Runs(const utf16count::CountInput& in, utf16count::Counted& counted) {
#if defined(SORAHIKI_WIDE_VECTORS)
    if (wide::Chosen()) return wide::CountUtf16RunsAvx2(in, counted);
#endif
    utf16count::CountRuns<Sse2Units>(in, counted);
}
#endif

// Whether the bytes from `at` to `length` are whole UTF-8 characters, the
// last perhaps cut off by the block's end, when those before `at` are valid
// UTF-8 without characters of four bytes: the character under way at `at`,
// which began at most two bytes before it, is read again from its first
// byte.
bool ValidFrom(const unsigned char* block, int at, int length, bool& multibyte) {
    int p = at < 3 ? 0 : at - 3;
    while (p < at && (block[p] & 0xC0) == 0x80) ++p;
    while (p < length) {
        const utf8seq::Sequence s = utf8seq::ReadSequence(block + p, block + length);
        if (s.kind == utf8seq::SequenceKind::kInvalid) return false;
        if (s.kind == utf8seq::SequenceKind::kCut) break;
        multibyte |= s.length > 1;
        p += s.length;
    }
    return true;
}

// `accepts` as the wide loops call it.
template <typename Accepts>
[[maybe_unused]] wide::Follows WideFollows(const Accepts& accepts) {
    return {[](const void* context, int at) { return (*static_cast<const Accepts*>(context))(at); },
            &accepts};
}

// Whether the `count` bytes of `sequence` (1 to 3) stand somewhere among the
// `length` bytes at `block` where `accepts(at)`, `at` where they begin.
template <typename Accepts>
bool HasSequence(const unsigned char* block, int length, const unsigned char* sequence, int count,
                 Accepts accepts) {
    int at = 0;
#if defined(SORAHIKI_WIDE_VECTORS)
    if (wide::Chosen() &&
        wide::SequenceFoundAvx2(block, length, sequence, count, WideFollows(accepts), at)) {
        return true;
    }
#endif
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(static_cast<char>(sequence[0]));
    const __m128i second = _mm_set1_epi8(static_cast<char>(sequence[count > 1 ? 1 : 0]));
    const __m128i third = _mm_set1_epi8(static_cast<char>(sequence[count > 2 ? 2 : 0]));
    auto load = [block](int from) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + from));
    };
    for (; at + 16 + 2 <= length; at += 16) {
        __m128i match = _mm_cmpeq_epi8(load(at), first);
        if (count > 1) match = _mm_and_si128(match, _mm_cmpeq_epi8(load(at + 1), second));
        if (count > 2) match = _mm_and_si128(match, _mm_cmpeq_epi8(load(at + 2), third));
        for (unsigned starts = static_cast<unsigned>(_mm_movemask_epi8(match)); starts != 0;
             starts &= starts - 1) {
            if (accepts(at + __builtin_ctz(starts))) return true;
        }
    }
#endif
    for (; at + count <= length; ++at) {
        if (std::memcmp(block + at, sequence, static_cast<size_t>(count)) == 0 && accepts(at)) {
            return true;
        }
    }
    return false;
}

// What the first bytes of a block without a mark tell of the text that
// gathering would take from it as UTF-8.
enum class Utf8Reach : unsigned char {
    kEndsInside,  // the text surely ends inside the block, if it is UTF-8
    kNoUtf8,      // the block is surely no UTF-8: it is read as code page 932
    kMayGoOn,     // the text may go on past the block
};

struct Utf8Look {
    Utf8Reach reach;
    int textEnd;     // with kEndsInside, the text lies before this byte
    bool valid;      // the block is surely valid UTF-8 (a character may be cut at its end)
    bool utf8;       // the decoder surely reads the block as UTF-8 when it has no mark
    unsigned found;  // the probes found before textEnd; once all are, nothing else was told
};

// The probes of `found` and those of `needles` that stand wholly between
// `from` and `end`.
unsigned FoundAmong(const unsigned char* block, int from, int end, const utf8runs::Needles& needles,
                    unsigned found) {
    const unsigned short* forms = cp932::Forms();
    for (int n = 0; n < needles.count && from < end; ++n) {
        if ((found & needles.probe[n]) != 0) continue;
        const int length = needles.length[n];
        const unsigned next = needles.next[n];
        auto followed = [&](int at) {
            return next == 0 ||
                   nextform::MayFollowUtf8(block, from + at + length, end, next, forms);
        };
        if (HasSequence(block + from, end - from, needles.bytes[n], length, followed)) {
            found |= needles.probe[n];
        }
    }
    return found;
}

// The probes of `found`, and those of `allFound` that stand before `end`,
// looked for one at a time, first bit first, until one is missing: the
// others then cannot make the words' characters all found.
unsigned FoundInTurn(const unsigned char* block, int end, const utf8runs::Needles& needles,
                     unsigned allFound, unsigned found) {
    for (unsigned missing = allFound & ~found; missing != 0; missing &= missing - 1) {
        const unsigned probe = missing & (~missing + 1);
        if ((FoundAmong(block, 0, end, needles, ~probe) & probe) == 0) break;
        found |= probe;
    }
    return found;
}

// Counts the surely kept bytes of a block taken to be UTF-8, checks that it
// is UTF-8, to its end when it can be told exactly, and looks for the
// needles in the bytes before the text's end, as long as some of
// `allFound` are not found.
Utf8Look LookAsUtf8(const unsigned char* block, int length, int limit,
                    const utf8runs::Needles& needles, unsigned allFound, unsigned found) {
    const KeptPairs& table = KeptPairTable();
    const int target = limit + kMargin;
    utf8runs::PassResult runs;
    runs.found = found;
#if defined(__SSE2__)
    runs = PassRuns({block, length, target, table.threes, table.kanaKept, &needles, allFound, found,
                     cp932::Forms()});
    if (runs.noUtf8) return {Utf8Reach::kNoUtf8, length, false, false, runs.found};
    if (needles.count > 0 && runs.found == allFound) {
        return {Utf8Reach::kMayGoOn, length, false, false, runs.found};
    }
#endif
    const int at = runs.at;
    int keptBytes = runs.keptBytes;
    int textEnd = runs.fullBefore > 0 ? std::min(runs.fullBefore, length) : length;
    for (int i = at; i < length && keptBytes < target; ++i) {
        const int bytes = KeptAt(table.bits, block, i, length);
        if (bytes < 0) {
            textEnd = i;
            keptBytes = target;
        } else if ((keptBytes += bytes) >= target) {
            textEnd = i + 3 < length ? i + 3 : length;
        }
    }
    bool multibyte = runs.multibyte;
    if (runs.exact && !ValidFrom(block, at, length, multibyte)) {
        return {Utf8Reach::kNoUtf8, length, false, false, runs.found};
    }
    const Utf8Reach reach = keptBytes >= target ? Utf8Reach::kEndsInside : Utf8Reach::kMayGoOn;
    // The runs looked for their probe at every character that begins in
    // them; the other probes are looked for in the whole text, one by one.
    const unsigned lookedFor = runs.lookedFor;
    found = runs.found;
    if ((found & lookedFor) == 0) {
        found |= FoundAmong(block, at, textEnd, needles, ~lookedFor) & lookedFor;
    }
    if ((found & lookedFor) == lookedFor) {
        found = FoundInTurn(block, textEnd, needles, allFound, found);
    }
    return {reach, textEnd, runs.exact, runs.exact && multibyte, found};
}

// Where the first byte from 0x80 up stands among the `length` bytes, else
// `length`.
int FirstHighByte(const unsigned char* block, int length) {
    int at = 0;
#if defined(__SSE2__)
    auto load = [block](int from) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + from));
    };
    // The heads of manual and web pages hold a few hundred bytes of ASCII.
    for (; at + 64 <= length; at += 64) {
        const __m128i any = _mm_or_si128(_mm_or_si128(load(at), load(at + 16)),
                                         _mm_or_si128(load(at + 32), load(at + 48)));
        if (_mm_movemask_epi8(any) != 0) break;
    }
    for (; at + 16 <= length; at += 16) {
        if (const int high = _mm_movemask_epi8(load(at)); high != 0) {
            return at + __builtin_ctz(static_cast<unsigned>(high));
        }
    }
#endif
    while (at < length && block[at] < 0x80) ++at;
    return at;
}

// Whether the decoder surely reads a block without a mark as code page 932,
// told from its first character that is no ASCII: there is none, or it
// begins no UTF-8 character. Code page 932 text shows that at once (a lead
// byte from 0x81 to 0x9F is a continuation byte in UTF-8), so the pass over
// the block as UTF-8 is spared for nearly all of it.
bool SurelyCp932(const unsigned char* block, int length) {
    const int at = FirstHighByte(block, length);
    if (at == length) return true;
    return utf8seq::ReadSequence(block + at, block + length).kind ==
           utf8seq::SequenceKind::kInvalid;
}

// The same for UTF-16: a surrogate has no form. The count begins at `from`
// with the `keptBytes` counted before it, and where the text does not end it
// is left in `keptBytes`, for a count of more of the text.
bool TextEndsInUtf16(const unsigned char* block, int length, int limit, bool bigEndian, int from,
                     int& keptBytes) {
    const KeptPairs& table = KeptPairTable();
    const std::uint64_t* kept = table.bits;
    const int target = limit + kMargin;
    const int high = bigEndian ? 0 : 1;
    auto unitAt = [&](int at) { return unsigned{block[at + high]} << 8 | block[at + 1 - high]; };
    int at = from;
#if defined(__SSE2__)
    // Kept ASCII and kana are counted by compares; the other characters are
    // looked up after, one by one, only while the text is not yet full.
    const utf16count::CountInput in{block,     from,          length, target - keptBytes,
                                    bigEndian, table.kanaKept};
    utf16count::Counted counted;
    CountUtf16Runs(in, counted);
    if (counted.ends) return true;
    keptBytes += counted.keptBytes;
    for (int run = 0; run < counted.runs && keptBytes < target; ++run) {
        const int runAt = from + run * counted.runBytes;
        for (std::uint32_t others = counted.others[run]; others != 0; others &= others - 1) {
            if (IsKeptPair(kept, unitAt(runAt + std::countr_zero(others)))) keptBytes += 2;
        }
    }
    at = counted.at;
#endif
    for (; at + 1 < length && keptBytes < target; at += 2) {
        const unsigned unit = unitAt(at);
        if (unit < 0x80) {
            if (EndsText(unit)) return true;
            keptBytes += KeptAscii(unit);
        } else if (IsKeptPair(kept, unit)) {
            keptBytes += 2;
        }
    }
    return keptBytes >= target;
}

// The Unicode characters of each form of two bytes or of half-width
// katakana, as `form << 16 | character`, in order: a probe finds its
// characters with one search instead of a look at every character.
struct CharsByForm {
    std::uint32_t entries[kBmpSize];
    int count;
};

bool MakeCharsByForm(CharsByForm& table) {
    if (!cp932::FormsRead()) return false;
    const unsigned short* forms = cp932::Forms();
    table.count = 0;
    for (unsigned c = 0x80; c < kBmpSize; ++c) {
        if (forms[c] >= 0x80) table.entries[table.count++] = std::uint32_t{forms[c]} << 16 | c;
    }
    std::sort(table.entries, table.entries + table.count);
    return true;
}

CFormsOnceRead<CharsByForm, MakeCharsByForm> g_charsByForm;

// The characters whose form is `form`, lowest first, read once the forms are.
std::pair<const std::uint32_t*, const std::uint32_t*> CharsOfForm(unsigned form) {
    static const CharsByForm none{};
    const CharsByForm& table = g_charsByForm.Get(none);
    const std::uint32_t* end = table.entries + table.count;
    const std::uint32_t* first = std::lower_bound(table.entries, end, form << 16);
    return {first, std::lower_bound(first, end, (form + 1) << 16)};
}

int Utf8Of(char16_t c, unsigned char* out) {
    if (c < 0x80) {
        out[0] = static_cast<unsigned char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<unsigned char>(0xC0 | c >> 6);
        out[1] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        return 2;
    }
    out[0] = static_cast<unsigned char>(0xE0 | c >> 12);
    out[1] = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    return 3;
}

// Reading the forms loads the system's converter, which takes memory; when
// none can be had, the probes are not looked for, and the reading of a file
// that needs the forms meets the same want and says so.
bool FormsCanBeRead() {
    try {
        return cp932::FormsRead();
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

// A lone lead byte (the last byte of a word) begins many forms and is not
// looked for; nor is anything while the forms cannot be read, since the
// converter would give forms once they can. Once a probe is looked for, the
// forms are read, so the look itself never needs memory.
void UnicodeProbes::Add(unsigned char first, unsigned char second, int length, unsigned next) {
    if (m_count == kMaxProbes) return;
    const unsigned bit = 1u << m_count;
    Probe& probe = m_probes[m_count++];
    probe = Probe{};
    probe.next = static_cast<unsigned short>(next);
    m_allFound |= bit;
    const unsigned form = length == 2 ? unsigned{first} << 8 | second : first;
    if (form < 0x80) {
        probe.units[probe.forms++] = static_cast<char16_t>(form);
    } else if (cp932::IsLeadByte(first) != (length == 2) || !FormsCanBeRead()) {
        probe.anywhere = true;
    } else {
        const auto [chars, end] = CharsOfForm(form);
        probe.anywhere = end - chars > kMaxForms;
        for (const std::uint32_t* c = chars; c != end && !probe.anywhere; ++c) {
            probe.units[probe.forms++] = static_cast<char16_t>(*c);
        }
    }
    if (probe.anywhere) {
        m_anywhere |= bit;
        return;
    }
    ++m_lookedFor;
    // The table that proves UTF-8 text full is made here, on the thread that
    // makes the look, rather than in the first file's reading, whose time
    // would count as a read that waited for the disk.
    KeptPairTable();
    for (int f = 0; f < probe.forms; ++f) {
        const int n = m_needles.count++;
        m_needles.length[n] =
            static_cast<unsigned char>(Utf8Of(probe.units[f], m_needles.bytes[n]));
        m_needles.probe[n] = bit;
        m_needles.next[n] = probe.next;
    }
}

unsigned UnicodeProbes::FoundInPart(const unsigned char* part, int length, TextEncoding encoding,
                                    unsigned found) const {
    if (encoding == TextEncoding::kUtf8) return FoundAmong(part, 0, length, m_needles, found);
    const bool bigEndian = encoding == TextEncoding::kUtf16Be;
    for (int i = 0; i < m_count; ++i) {
        const unsigned bit = 1u << i;
        if ((found & bit) == 0 && !m_probes[i].anywhere &&
            FoundUtf16(m_probes[i], part, 0, length, bigEndian)) {
            found |= bit;
        }
    }
    return found;
}

// Whether one of the `count` UTF-16 units stands at an even place of
// `block`, where `accepts` takes it. The decoder reads a file's units in
// pairs from the end of its mark, and every block and part looked at begins
// an even number of bytes after it, so a unit never begins at an odd place.
template <typename Accepts>
bool HasUnit(const unsigned char* block, int length, const char16_t* units, int count,
             bool bigEndian, Accepts accepts) {
    auto inMemory = [bigEndian](char16_t unit) {
        // As two bytes read as one little-endian unit, as x86 loads them.
        return bigEndian ? static_cast<unsigned>(unit >> 8 | (unit & 0xFF) << 8) : unsigned{unit};
    };
    int at = 0;
#if defined(SORAHIKI_WIDE_VECTORS)
    if (wide::Chosen()) {
        static_assert(UnicodeProbes::kMaxForms <= wide::kMaxUnits);
        std::uint16_t loaded[wide::kMaxUnits];
        for (int f = 0; f < count; ++f) loaded[f] = static_cast<std::uint16_t>(inMemory(units[f]));
        if (wide::UnitFoundAvx2(block, length, loaded, count, WideFollows(accepts), at))
            return true;
    }
#endif
#if defined(__SSE2__)
    __m128i wanted[UnicodeProbes::kMaxForms];
    for (int f = 0; f < count; ++f) {
        wanted[f] = _mm_set1_epi16(static_cast<short>(inMemory(units[f])));
    }
    for (; at + 16 <= length; at += 16) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + at));
        __m128i match = _mm_cmpeq_epi16(here, wanted[0]);
        for (int f = 1; f < count; ++f)
            match = _mm_or_si128(match, _mm_cmpeq_epi16(here, wanted[f]));
        // Two bits for each unit that matches: its first is kept.
        for (unsigned starts = static_cast<unsigned>(_mm_movemask_epi8(match)) & 0x5555u;
             starts != 0; starts &= starts - 1) {
            if (accepts(at + std::countr_zero(starts))) return true;
        }
    }
#endif
    for (; at + 2 <= length; at += 2) {
        const unsigned unit = unsigned{block[at]} | unsigned{block[at + 1]} << 8;
        for (int f = 0; f < count; ++f) {
            if (unit == inMemory(units[f]) && accepts(at)) return true;
        }
    }
    return false;
}

bool UnicodeProbes::FoundUtf16(const Probe& probe, const unsigned char* block, int from, int length,
                               bool bigEndian) {
    const unsigned short* forms = cp932::Forms();
    auto followed = [&](int at) {
        return probe.next == 0 ||
               nextform::MayFollowUtf16(block, from + at + 2, length, bigEndian, probe.next, forms);
    };
    return probe.forms > 0 && from < length &&
           HasUnit(block + from, length - from, probe.units, probe.forms, bigEndian, followed);
}

void UnicodeProbes::LookUtf16(const unsigned char* block, int from, int length, bool bigEndian,
                              Utf16Seen& seen) const {
    for (int i = 0; i < m_count; ++i) {
        const unsigned bit = 1u << i;
        if ((seen.found & bit) != 0 || m_probes[i].anywhere) continue;
        const int start = (seen.looked & bit) != 0 ? from : 0;
        seen.looked |= bit;
        if (!FoundUtf16(m_probes[i], block, start, length, bigEndian)) return;
        seen.found |= bit;
    }
}

bool UnicodeProbes::MayAllOccurUtf8(const unsigned char* block, int length, bool fileEnds,
                                    int limit) const {
    if (m_lookedFor == 0) return true;
    // A block that is valid UTF-8 is looked at as one without a mark is, in
    // one pass that counts it and looks for the probes up to the text's end.
    const Utf8Look look = LookAsUtf8(block, length, limit, m_needles, m_allFound, m_anywhere);
    if (look.found == m_allFound) return true;
    if (look.valid && look.reach != Utf8Reach::kNoUtf8) {
        return look.reach == Utf8Reach::kMayGoOn && !fileEnds;
    }
    // Else the probes are looked for in the whole block, and the careful
    // count drops what is no character, as the converter does.
    if (FoundAmong(block, 0, length, m_needles, m_anywhere) == m_allFound) return true;
    return !fileEnds && !TextEndsInUtf8(block, length, limit);
}

bool UnicodeProbes::MayAllOccurUtf16(const unsigned char* block, int length, bool fileEnds,
                                     int limit, bool bigEndian, Utf16Seen& seen, int from) const {
    LookUtf16(block, from, length, bigEndian, seen);
    if (m_lookedFor == 0 || AllOf(seen.found)) return true;
    // The bytes before `from` were counted by the look that saw `seen`, and
    // the text did not end in them.
    int keptBytes = from > 0 ? seen.keptBytes : 0;
    if (fileEnds || TextEndsInUtf16(block, length, limit, bigEndian, from, keptBytes)) {
        return false;
    }
    seen.keptBytes = keptBytes;
    return true;
}

bool UnicodeProbes::SurelyCodePage932(const unsigned char* block, int length) {
    return SurelyCp932(block, length);
}

bool UnicodeProbes::SurelyUtf8(const unsigned char* block, int length) {
    static const utf8runs::Needles none;
    // No text to fill: once the first few bytes are counted, the rest of
    // the block is only checked to be UTF-8.
    return LookAsUtf8(block, length, 0, none, 0, 0).utf8;
}

// The block is read either as UTF-8, when it is valid UTF-8, or as code page
// 932, which the caller then looks at. Code page 932 text shows that it is
// no UTF-8 within its first characters, and text that holds the words shows
// them, so the look ends as soon as either is seen; the words are looked for
// only in the bytes the text can reach.
UnicodeProbes::Utf8Verdict UnicodeProbes::LookUnmarked(const unsigned char* block, int length,
                                                       bool fileEnds, int limit) const {
    if (SurelyCp932(block, length)) return Utf8Verdict::kCp932Tells;
    if (m_lookedFor == 0) return Utf8Verdict::kMayHold;
    const Utf8Look look = LookAsUtf8(block, length, limit, m_needles, m_allFound, m_anywhere);
    if (look.reach == Utf8Reach::kNoUtf8) return Utf8Verdict::kCp932Tells;
    if (look.found == m_allFound) return Utf8Verdict::kMayHold;
    if (look.reach == Utf8Reach::kMayGoOn && !fileEnds) return Utf8Verdict::kMayHold;
    return look.utf8 ? Utf8Verdict::kLacks : Utf8Verdict::kCp932Tells;
}

}  // namespace sjis
