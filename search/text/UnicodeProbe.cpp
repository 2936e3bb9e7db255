// Looking for a word's characters among the bytes of a UTF-8 or UTF-16 file,
// telling how far into the file its gathered text can reach, and whether a
// block without a mark is surely UTF-8.
#include "search/text/UnicodeProbe.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <new>

#include <sorahiki/cp932forms.h>

#include "search/text/Cp932Forms.h"
#include "search/text/TextDecoder.h"
#include "search/text/Utf8Sequence.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sjis {
namespace {

// More than a character put back when the text is full.
constexpr int kMargin = 8;

// The kana, hiragana U+3041..U+3093 and katakana U+30A1..U+30F6, which a
// count of UTF-8 text tells from their bytes alone when all have kept forms.
constexpr char32_t kKana[][2] = {{0x3041, 0x3093}, {0x30A1, 0x30F6}};

// One bit per character of the Basic Multilingual Plane: set when its form
// is two bytes that gathering keeps (the first is not 0x81).
struct KeptPairs {
    std::uint64_t bits[kBmpSize / 64];
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
__m128i Splat(int c) {
    return _mm_set1_epi8(static_cast<char>(c));
}
__m128i Equal(__m128i b, __m128i c) {
    return _mm_cmpeq_epi8(b, c);
}
__m128i Load16(const unsigned char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
// One bit per byte of the 16 that the mask marks, placed for the `k`th 16
// of 64.
std::uint64_t Bits(__m128i mask, int k) {
    return std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(mask))} << (16 * k);
}
// The sum of 16 byte counts.
int Sum(__m128i counts) {
    const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
    return _mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4);
}

// The shape of 64 bytes taken as UTF-8, one bit per byte.
struct Utf8Shape {
    std::uint64_t continuations = 0;  // 10xxxxxx
    std::uint64_t leads = 0;          // 11xxxxxx
    std::uint64_t threes = 0;         // 1110xxxx
    // Any of C0, C1 and F5..FF, which begin no character, or E0, ED and
    // F0..F4, after which fewer bytes than 80..BF may follow.
    bool rare = false;

    explicit Utf8Shape(const unsigned char* p) {
        __m128i rareBytes = _mm_setzero_si128();
        for (int k = 0; k < 4; ++k) {
            const __m128i b = Load16(p + 16 * k);
            const __m128i top = _mm_and_si128(b, Splat(0xC0));
            continuations |= Bits(Equal(top, Splat(0x80)), k);
            leads |= Bits(Equal(top, Splat(0xC0)), k);
            threes |= Bits(Equal(_mm_and_si128(b, Splat(0xF0)), Splat(0xE0)), k);
            const __m128i fromF0 = Equal(_mm_max_epu8(b, Splat(0xF0)), b);
            const __m128i c0c1 = Equal(_mm_and_si128(b, Splat(0xFE)), Splat(0xC0));
            const __m128i e0ed = _mm_or_si128(Equal(b, Splat(0xE0)), Equal(b, Splat(0xED)));
            rareBytes = _mm_or_si128(rareBytes, _mm_or_si128(fromF0, _mm_or_si128(c0c1, e0ed)));
        }
        rare = _mm_movemask_epi8(rareBytes) != 0;
    }
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

    // Every byte accepted is valid UTF-8 (a character may go on past them).
    bool Exact() const { return m_exact; }
    // A character of two or more bytes began among them.
    bool Multibyte() const { return m_multibyte; }

  private:
    std::uint64_t m_due = 0;        // continuation bytes due at the next bytes
    std::uint64_t m_afterLead = 0;  // the next byte follows a first byte
    std::uint64_t m_afterMore = 0;  // it follows a first or continuation byte
    bool m_exact = true;
    bool m_multibyte = false;
};

// E3 81 81..E3 82 93 and E3 82 A1..E3 83 B6: the kana of kKana.
__m128i KanaStarts(__m128i first, __m128i second, __m128i third) {
    auto from = [](__m128i b, int low) { return Equal(_mm_max_epu8(b, Splat(low)), b); };
    auto upTo = [](__m128i b, int high) { return Equal(_mm_min_epu8(b, Splat(high)), b); };
    const __m128i in81 = _mm_and_si128(Equal(second, Splat(0x81)), from(third, 0x81));
    const __m128i in82 = _mm_and_si128(Equal(second, Splat(0x82)),
                                       _mm_or_si128(upTo(third, 0x93), from(third, 0xA1)));
    const __m128i in83 = _mm_and_si128(Equal(second, Splat(0x83)), upTo(third, 0xB6));
    return _mm_and_si128(Equal(first, Splat(0xE3)), _mm_or_si128(_mm_or_si128(in81, in82), in83));
}

// The kept pairs among the characters of three bytes that begin at the bits
// of `threes`, counted from `run`, of which 67 bytes can be read. Each is
// read with one load: its first two bytes pick the 64 characters of its
// word of bits, the third its bit.
int KeptPairsAt(const std::uint64_t* kept, const unsigned char* run, std::uint64_t threes) {
    static_assert(std::endian::native == std::endian::little);
    int pairs = 0;
    for (; threes != 0; threes &= threes - 1) {
        std::uint32_t bytes;
        std::memcpy(&bytes, run + std::countr_zero(threes), sizeof bytes);
        const unsigned word = (bytes & 0x0Fu) << 6 | (bytes >> 8 & 0x3Fu);
        pairs += static_cast<int>(kept[word] >> (bytes >> 16 & 0x3Fu) & 1);
    }
    return pairs;
}

// The surely kept bytes among the 64 at `run` (66 can be read) that tell
// their forms by themselves: ASCII other than blanks, line ends, NUL and
// 0x1A, and kana, when all kana are kept. `settled` marks the first bytes of
// the characters of three bytes that need no look-up: then all beginning
// with E3, the kana counted here and the others of U+3000..U+3FFF, mostly
// punctuation whose forms are dropped (leaving them uncounted only makes the
// count safer).
int QuickKeptInRun(bool kanaKept, const unsigned char* run, std::uint64_t& settled) {
    const __m128i zero = _mm_setzero_si128();
    __m128i asciiCounts = zero;
    __m128i kanaCounts = zero;
    settled = 0;
    for (int k = 0; k < 4; ++k) {
        const unsigned char* p = run + 16 * k;
        const __m128i b = Load16(p);
        // Signed, bytes from 0x80 up are below 0x21: what is left is ASCII
        // other than blanks, line ends, NUL and 0x1A.
        asciiCounts = _mm_sub_epi8(asciiCounts, _mm_cmpgt_epi8(b, Splat(0x20)));
        if (kanaKept) {
            settled |= Bits(Equal(b, Splat(0xE3)), k);
            kanaCounts = _mm_sub_epi8(kanaCounts, KanaStarts(b, Load16(p + 1), Load16(p + 2)));
        }
    }
    return Sum(asciiCounts) + 2 * Sum(kanaCounts);
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

// What the first bytes of a block without a mark tell of the text that
// gathering would take from it as UTF-8.
enum class Utf8Reach : unsigned char {
    kEndsInside,  // the text surely ends inside the block, if it is UTF-8
    kNoUtf8,      // the block is surely no UTF-8: it is read as code page 932
    kMayGoOn,     // the text may go on past the block
};

struct Utf8Look {
    Utf8Reach reach;
    int textEnd;  // with kEndsInside, the text lies before this byte
    bool valid;   // the block is surely valid UTF-8 (a character may be cut at its end)
    bool utf8;    // the decoder surely reads the block as UTF-8 when it has no mark
};

// Counts the surely kept bytes of a block taken to be UTF-8, 64 bytes at a
// time, and checks that it is UTF-8, to its end when it can be told exactly.
// A NUL or 0x1A is not looked for in the runs: it ends the text inside the
// block, so whatever the count says then is true.
Utf8Look LookAsUtf8(const unsigned char* block, int length, int limit) {
    const std::uint64_t* kept = KeptPairBits();
    const int target = limit + kMargin;
    int keptBytes = 0;
    int textEnd = length;
    int at = 0;
    bool exact = true;
    bool multibyte = false;
#if defined(__SSE2__)
    const bool kanaKept = KeptPairTable().kanaKept;
    Utf8ShapeCheck check;
    // The runs are first counted by what their bytes tell alone; the other
    // characters of three bytes are looked up after, one by one, only as
    // long as the text is not yet surely full. A character of three bytes
    // that begins in a run may end 2 bytes past it, and is read with a load
    // of 4.
    constexpr int kMaxRuns = CTextDecoder::kBlockBytes / 64;
    std::uint64_t toLookUp[kMaxRuns];
    const int firstRun = at;
    for (; at + 64 + 3 <= length && at < 64 * kMaxRuns; at += 64) {
        const Utf8Shape shape(block + at);
        if (!check.Accepts(shape)) return {Utf8Reach::kNoUtf8, length, false, false};
        std::uint64_t settled;
        keptBytes += QuickKeptInRun(kanaKept, block + at, settled);
        toLookUp[(at - firstRun) / 64] = shape.threes & ~settled;
    }
    for (int run = firstRun; run < at && keptBytes < target; run += 64) {
        keptBytes += 2 * KeptPairsAt(kept, block + run, toLookUp[(run - firstRun) / 64]);
    }
    exact = check.Exact();
    multibyte = check.Multibyte();
#endif
    for (int i = at; i < length && keptBytes < target; ++i) {
        const int bytes = KeptAt(kept, block, i, length);
        if (bytes < 0) {
            textEnd = i;
            keptBytes = target;
        } else if ((keptBytes += bytes) >= target) {
            textEnd = i + 3;
        }
    }
    if (exact && !ValidFrom(block, at, length, multibyte)) {
        return {Utf8Reach::kNoUtf8, length, false, false};
    }
    const Utf8Reach reach = keptBytes >= target ? Utf8Reach::kEndsInside : Utf8Reach::kMayGoOn;
    return {reach, textEnd < length ? textEnd : length, exact, exact && multibyte};
}

// The same for UTF-16: a surrogate has no form.
bool TextEndsInUtf16(const unsigned char* block, int length, int limit, bool bigEndian) {
    const std::uint64_t* kept = KeptPairBits();
    const int target = limit + kMargin;
    const int high = bigEndian ? 0 : 1;
    int keptBytes = 0;
    for (int at = 0; at + 1 < length && keptBytes < target; at += 2) {
        const unsigned unit = unsigned{block[at + high]} << 8 | block[at + 1 - high];
        if (unit < 0x80) {
            if (EndsText(unit)) return true;
            keptBytes += KeptAscii(unit);
        } else if (IsKeptPair(kept, unit)) {
            keptBytes += 2;
        }
    }
    return keptBytes >= target;
}

// Whether the `count` bytes of `sequence` (1 to 3) stand anywhere among the
// `length` bytes at `block`.
bool HasSequence(const unsigned char* block, int length, const unsigned char* sequence, int count) {
    int at = 0;
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
        if (_mm_movemask_epi8(match) != 0) return true;
    }
#endif
    for (; at + count <= length; ++at) {
        if (std::memcmp(block + at, sequence, static_cast<size_t>(count)) == 0) return true;
    }
    return false;
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
void UnicodeProbes::Add(unsigned char first, unsigned char second, int length) {
    if (m_count == kMaxProbes) return;
    Probe& probe = m_probes[m_count++];
    probe = Probe{};
    const unsigned form = length == 2 ? unsigned{first} << 8 | second : first;
    if (form < 0x80) {
        probe.units[probe.forms++] = static_cast<char16_t>(form);
        ++m_lookedFor;
        return;
    }
    if (cp932::IsLeadByte(first) != (length == 2) || !FormsCanBeRead()) {
        probe.anywhere = true;
        return;
    }
    const unsigned short* forms = cp932::Forms();
    for (unsigned c = 0x80; c < kBmpSize; ++c) {
        if (forms[c] != form) continue;
        if (probe.forms == kMaxForms) {
            probe.anywhere = true;
            return;
        }
        probe.units[probe.forms++] = static_cast<char16_t>(c);
    }
    ++m_lookedFor;
}

bool UnicodeProbes::AllFoundUtf8(const unsigned char* block, int length) const {
    for (int i = 0; i < m_count; ++i) {
        const Probe& probe = m_probes[i];
        bool found = probe.anywhere;
        for (int f = 0; f < probe.forms && !found; ++f) {
            unsigned char sequence[3];
            found = HasSequence(block, length, sequence, Utf8Of(probe.units[f], sequence));
        }
        if (!found) return false;
    }
    return true;
}

// A unit is looked for at any byte, not only at even ones: a chance match
// only costs a gathering.
bool UnicodeProbes::AllFoundUtf16(const unsigned char* block, int length, bool bigEndian) const {
    for (int i = 0; i < m_count; ++i) {
        const Probe& probe = m_probes[i];
        bool found = probe.anywhere;
        for (int f = 0; f < probe.forms && !found; ++f) {
            const unsigned char high = static_cast<unsigned char>(probe.units[f] >> 8);
            const unsigned char low = static_cast<unsigned char>(probe.units[f]);
            const unsigned char unit[2] = {bigEndian ? high : low, bigEndian ? low : high};
            found = HasSequence(block, length, unit, 2);
        }
        if (!found) return false;
    }
    return true;
}

bool UnicodeProbes::MayAllOccurUtf8(const unsigned char* block, int length, bool fileEnds,
                                    int limit) const {
    if (m_lookedFor == 0 || AllFoundUtf8(block, length)) return true;
    if (fileEnds) return false;
    // A block that is valid UTF-8 is counted as one without a mark is; else
    // the careful count drops what is no character, as the converter does.
    const Utf8Look look = LookAsUtf8(block, length, limit);
    if (look.valid && look.reach == Utf8Reach::kEndsInside) return false;
    return !TextEndsInUtf8(block, length, limit);
}

bool UnicodeProbes::MayAllOccurUtf16(const unsigned char* block, int length, bool fileEnds,
                                     int limit, bool bigEndian) const {
    if (m_lookedFor == 0 || AllFoundUtf16(block, length, bigEndian)) return true;
    return !fileEnds && !TextEndsInUtf16(block, length, limit, bigEndian);
}

// The block is read either as UTF-8, when it is valid UTF-8, or as code page
// 932, which the caller then looks at. Code page 932 text shows that it is
// no UTF-8 within its first characters, so that is looked at first; the
// words are looked for only in the bytes the text can reach.
UnicodeProbes::Utf8Verdict UnicodeProbes::LookUnmarked(const unsigned char* block, int length,
                                                       bool fileEnds, int limit) const {
    if (m_lookedFor == 0) return Utf8Verdict::kMayHold;
    const Utf8Look look = LookAsUtf8(block, length, limit);
    if (look.reach == Utf8Reach::kNoUtf8) return Utf8Verdict::kCp932Tells;
    if (look.reach == Utf8Reach::kMayGoOn && !fileEnds) return Utf8Verdict::kMayHold;
    const int searched = look.reach == Utf8Reach::kEndsInside ? look.textEnd : length;
    if (AllFoundUtf8(block, searched)) return Utf8Verdict::kMayHold;
    return look.utf8 ? Utf8Verdict::kLacks : Utf8Verdict::kCp932Tells;
}

}  // namespace sjis
