// Telling the encoding of a file and converting UTF-8 and UTF-16 to code
// page 932 through the table of forms.
#include "search/text/TextDecoder.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include <sorahiki/cp932forms.h>

#include "search/text/Cp932Forms.h"
#include "search/text/Utf8Sequence.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Writes the form of a character; nothing when it has none. A form is never
// longer than the character's UTF-8 or UTF-16 bytes.
inline void PutForm(unsigned short form, unsigned char*& out) {
    if (form == 0) return;
    if (form >= 0x100) *out++ = static_cast<unsigned char>(form >> 8);
    *out++ = static_cast<unsigned char>(form);
}

static_assert(std::endian::native == std::endian::little);

std::uint64_t Load8(const unsigned char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

std::uint32_t Load4(const unsigned char* p) {
    std::uint32_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

constexpr std::uint64_t kHigh = 0x8080808080808080u;

// The forms as the converter writes them: the bytes in the order they are
// written (first byte lowest) and their count above them. ASCII, NUL
// included, is itself.
struct OutputForms {
    std::uint32_t forms[0x10000];
};

bool MakeOutputForms(OutputForms& out) {
    if (!cp932::FormsRead()) return false;
    const unsigned short* table = cp932::Forms();
    for (unsigned c = 0; c < 0x10000; ++c) {
        unsigned form = c < 0x80 ? c : table[c];
        if (c < 0x80 || (form != 0 && form < 0x100)) {
            out.forms[c] = form | 1u << 16;
        } else if (form != 0) {
            out.forms[c] = (form >> 8) | (form & 0xFFu) << 8 | 2u << 16;
        } else {
            out.forms[c] = 0;
        }
    }
    return true;
}

// ASCII alone, while the forms cannot be read.
struct AsciiForms : OutputForms {
    AsciiForms() : OutputForms{} {
        for (unsigned c = 0; c < 0x80; ++c) forms[c] = c | 1u << 16;
    }
};

CFormsOnceRead<OutputForms, MakeOutputForms> g_outputForms;

const std::uint32_t* FormsToWrite() {
    static const AsciiForms asciiAlone;
    return g_outputForms.Get(asciiAlone).forms;
}

// The length of the character that a byte begins, for the fast path: 0 for
// a byte that begins none, and for the leads whose second byte has a narrower
// range (E0, ED, F0..F4), which are left to the careful reader.
struct LeadTable {
    unsigned char lengths[256];
};

constexpr LeadTable MakeLeadTable() {
    LeadTable table{};
    for (int b = 0; b < 0x80; ++b) table.lengths[b] = 1;
    for (int b = 0xC2; b <= 0xDF; ++b) table.lengths[b] = 2;
    for (int b = 0xE1; b <= 0xEF; ++b) table.lengths[b] = b == 0xED ? 0 : 3;
    return table;
}

constexpr LeadTable kLeads = MakeLeadTable();

// How far a character of 1, 2 or 3 bytes moves up to end at the third byte.
constexpr unsigned char kMoveUp[4] = {0, 16, 8, 0};

// The high bits of the bytes of `word`, gathered in byte order.
std::uint64_t GatherHighBits(std::uint64_t word) {
    return ((word & kHigh) >> 7) * 0x0102040810204080u >> 56;
}

// One bit for each of the 64 bytes at `p`, set where a character begins:
// at every byte that is no continuation byte 10xxxxxx. `ascii` tells whether
// all 64 bytes are below 0x80.
template <std::size_t... kWords>
std::uint64_t CharacterStarts(const unsigned char* p, bool& ascii, std::index_sequence<kWords...>) {
    const std::uint64_t words[] = {Load8(p + 8 * kWords)...};
    ascii = ((words[kWords] | ...) & kHigh) == 0;
    return ((GatherHighBits(~words[kWords] | words[kWords] << 1) << (8 * kWords)) | ...);
}

struct Utf8Pass {
    bool invalid = false;    // a sequence that is no character was met
    bool multibyte = false;  // a character of two or more bytes was met
};

constexpr std::ptrdiff_t kWindow = 64;
// Bytes that must follow a window: the last character read in it is read
// with four-byte loads.
constexpr std::ptrdiff_t kWindowRoom = kWindow + 8;

// Converts the whole characters among the first `count` (at most 64) bytes
// at `in`, of which kWindowRoom can be read, writing their forms at `out`,
// where 64 bytes can be written: those after which the next
// character begins inside the window too, or which end at `count` when it is
// below 64. A character's length, told by its first byte, must end where the
// next character begins; the first one that does not, or whose first byte the
// fast path leaves alone, stops the window. Returns the bytes taken, up to
// the beginning of a character.
unsigned ConvertWindow(const unsigned char* in, unsigned count, unsigned char*& out,
                       bool& multibyte) {
    bool ascii;
    std::uint64_t starts = CharacterStarts(in, ascii, std::make_index_sequence<kWindow / 8>());
    if (ascii) {
        std::memcpy(out, in, kWindow);
        out += count;
        return count;
    }
    // Where the bytes end, a character would begin next.
    if (count < kWindow)
        starts = (starts & ((std::uint64_t{1} << count) - 1)) | std::uint64_t{1} << count;
    const std::uint32_t* forms = FormsToWrite();
    unsigned char* o = out;
    unsigned taken = 0;  // where the character under way begins
    unsigned longest = 1;
    if ((starts & 1) != 0) {
        starts &= starts - 1;
        while (starts != 0) {
            unsigned next = static_cast<unsigned>(std::countr_zero(starts));
            unsigned length = next - taken;
            std::uint32_t raw = Load4(in + taken);
            if (kLeads.lengths[raw & 0xFF] != length) break;
            // The character's bytes moved up to end at the third byte: the
            // code point's bits then stand at the same places whatever its
            // length (bit 6 of a continuation byte is 0, as is bit 5 of the
            // first of two bytes).
            std::uint32_t bytes = raw << kMoveUp[length];
            std::uint32_t codePoint =
                (bytes & 0x0Fu) << 12 | (bytes >> 2 & 0xFC0u) | (bytes >> 16 & 0x7Fu);
            std::uint32_t form = forms[codePoint];
            auto written = static_cast<std::uint16_t>(form);
            std::memcpy(o, &written, 2);
            o += form >> 16;
            longest |= length;
            taken = next;
            starts &= starts - 1;
        }
    }
    multibyte |= longest > 1;
    out = o;
    return taken;
}

// Converts UTF-8 from `in` up to `end`. A character cut off by `end` is left
// unread, for the next block, unless the file ends there. When `kChecking`,
// the pass stops at the first sequence that is no character (the block then
// is not taken as UTF-8); otherwise such a sequence is dropped. Returns where
// reading stopped.
template <bool kChecking>
const unsigned char* ConvertUtf8(const unsigned char* in, const unsigned char* end, bool atEnd,
                                 unsigned char*& out, Utf8Pass& pass) {
    const unsigned short* forms = cp932::Forms();
    while (in < end) {
        unsigned taken;
        if (end - in >= kWindowRoom) {
            taken = ConvertWindow(in, kWindow, out, pass.multibyte);
        } else {
            // The last bytes, copied where the window can read and write
            // past them.
            unsigned char last[kWindowRoom] = {}, converted[kWindowRoom];
            auto count = static_cast<unsigned>(end - in);
            std::memcpy(last, in, count);
            unsigned char* written = converted;
            taken =
                ConvertWindow(last, std::min<unsigned>(count, kWindow), written, pass.multibyte);
            std::memcpy(out, converted, static_cast<std::size_t>(written - converted));
            out += written - converted;
        }
        if (taken != 0) {
            in += taken;
            continue;
        }
        // A character that the window does not take: read it with care.
        utf8seq::Sequence s = utf8seq::ReadSequence(in, end);
        if (s.kind == utf8seq::SequenceKind::kCut && !atEnd) break;
        if (s.kind == utf8seq::SequenceKind::kInvalid) {
            pass.invalid = true;
            if (kChecking) break;
        }
        in += s.length;
        if (s.kind == utf8seq::SequenceKind::kValid) {
            if (s.codePoint < 0x80) {
                *out++ = static_cast<unsigned char>(s.codePoint);
                continue;
            }
            pass.multibyte = true;
            if (s.codePoint < 0x10000) PutForm(forms[s.codePoint], out);
        }
    }
    return in;
}

bool IsHighSurrogate(unsigned unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(unsigned unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Converts the unit at `in`, at least two bytes before `end`, and moves past
// it; false when it is the first of a surrogate pair cut by `end` before the
// file's end, left for the next block.
template <typename UnitAt>
bool ConvertUnit(const unsigned char*& in, const unsigned char* end, bool atEnd, UnitAt unitAt,
                 const unsigned short* forms, unsigned char*& out) {
    unsigned unit = unitAt(in);
    if (unit < 0x80) {
        *out++ = static_cast<unsigned char>(unit);
        in += 2;
    } else if (!IsHighSurrogate(unit)) {
        PutForm(forms[unit], out);
        in += 2;
    } else if (end - in >= 4) {
        in += IsLowSurrogate(unitAt(in + 2)) ? 4 : 2;
    } else if (atEnd) {
        in += 2;
    } else {
        return false;
    }
    return true;
}

// Converts UTF-16 as ConvertUtf8 does UTF-8. A surrogate pair stands for a
// character beyond U+FFFF, which code page 932 has none of.
const unsigned char* ConvertUtf16(const unsigned char* in, const unsigned char* end, bool atEnd,
                                  bool bigEndian, unsigned char*& out) {
    const unsigned short* forms = cp932::Forms();
    auto unitAt = [bigEndian](const unsigned char* p) {
        return bigEndian ? unsigned{p[0]} << 8 | p[1] : unsigned{p[1]} << 8 | p[0];
    };
    // Eight units at a time: eight of ASCII, as the heads of manual and web
    // pages are mostly, are written as they are; any other eight go unit by
    // unit. Each unit gives at most its own two bytes, so the eight bytes
    // written fit.
    while (end - in >= 16) {
#if defined(__SSE2__)
        __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        if (bigEndian) units = _mm_or_si128(_mm_slli_epi16(units, 8), _mm_srli_epi16(units, 8));
        const __m128i high = _mm_and_si128(units, _mm_set1_epi16(static_cast<short>(0xFF80)));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) == 0xFFFF) {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(units, units));
            out += 8;
            in += 16;
            continue;
        }
#endif
        for (const unsigned char* stop = in + 16; in < stop;) {
            if (!ConvertUnit(in, end, atEnd, unitAt, forms, out)) return in;
        }
    }
    while (end - in >= 2) {
        if (!ConvertUnit(in, end, atEnd, unitAt, forms, out)) break;
    }
    return atEnd ? end : in;  // an odd last byte of the file is dropped
}

const unsigned char* Convert(TextEncoding encoding, const unsigned char* in,
                             const unsigned char* end, bool atEnd, unsigned char*& out) {
    Utf8Pass pass;
    if (encoding == TextEncoding::kUtf8) return ConvertUtf8<false>(in, end, atEnd, out, pass);
    return ConvertUtf16(in, end, atEnd, encoding == TextEncoding::kUtf16Be, out);
}

bool StartsWith(const unsigned char* block, DWORD length, const char* mark, DWORD markLength) {
    return length >= markLength && std::memcmp(block, mark, markLength) == 0;
}

// The encoding that the file's mark names, and the mark's length; kCp932
// when there is no mark.
TextEncoding EncodingOfMark(const unsigned char* block, DWORD length, DWORD& markBytes) {
    markBytes = 0;
    if (StartsWith(block, length, "\xEF\xBB\xBF", 3)) {
        markBytes = 3;
        return TextEncoding::kUtf8;
    }
    if (StartsWith(block, length, "\xFF\xFE", 2)) {
        markBytes = 2;
        return TextEncoding::kUtf16Le;
    }
    if (StartsWith(block, length, "\xFE\xFF", 2)) {
        markBytes = 2;
        return TextEncoding::kUtf16Be;
    }
    return TextEncoding::kCp932;
}

}  // namespace

void CTextDecoder::m_sub_Begin(HANDLE hFile) {
    m_hFile = hFile;
    m_dwReadError = ERROR_SUCCESS;
    DWORD read = m_sub_Read(m_raw, kBlockBytes);
    m_sub_Begin(hFile, m_raw, read);
}

// A read that fails ends the text there; the error is kept, so that the file
// is not judged on the part read as if it were all of it.
DWORD CTextDecoder::m_sub_Read(unsigned char* pInto, DWORD nBytes) {
    DWORD read = 0;
    if (ReadFile(m_hFile, pInto, nBytes, &read, nullptr)) return read;
    DWORD error = GetLastError();
    if (m_dwReadError == ERROR_SUCCESS) {
        m_dwReadError = error != ERROR_SUCCESS ? error : ERROR_READ_FAULT;
    }
    return 0;
}

void CTextDecoder::m_sub_Begin(HANDLE hFile, const unsigned char* pFirstBlock, DWORD length) {
    m_hFile = hFile;
    m_bFileEnded = length < kBlockBytes;
    m_nReady = 0;
    DWORD markBytes = 0;
    m_encoding = EncodingOfMark(pFirstBlock, length, markBytes);
    m_pPending = pFirstBlock + markBytes;
    m_nPending = length - markBytes;
    m_bFirstBlockWhole = true;
    // A block without a mark is told when its text is first wanted: a file
    // that the quick look passes over is never converted.
    m_bUntold = markBytes == 0;
}

// Converts the first block as UTF-8 and keeps the result when the block is
// valid UTF-8 with a character of two or more bytes in it: the check and the
// conversion are one pass. A character cut off by the block's end is allowed.
void CTextDecoder::m_sub_TryUtf8() {
    m_bUntold = false;
    unsigned char* out = m_text;
    const unsigned char* end = m_pPending + m_nPending;
    Utf8Pass pass;
    const unsigned char* rest = ConvertUtf8<true>(m_pPending, end, m_bFileEnded, out, pass);
    if (pass.invalid || !pass.multibyte) return;
    m_bFirstBlockWhole = false;
    m_encoding = TextEncoding::kUtf8;
    m_pPending = rest;
    m_nPending = static_cast<DWORD>(end - rest);
    m_nReady = static_cast<DWORD>(out - m_text);
}

DWORD CTextDecoder::m_sub_Fill(const unsigned char*& pData) {
    if (m_bUntold) m_sub_TryUtf8();
    m_bFirstBlockWhole = false;
    if (m_encoding == TextEncoding::kCp932) {
        if (m_nPending == 0 && !m_sub_ReadMore()) return 0;
        pData = m_pPending;
        DWORD count = m_nPending;
        m_nPending = 0;
        return count;
    }
    if (m_nReady > 0) {
        pData = m_text;
        DWORD count = m_nReady;
        m_nReady = 0;
        return count;
    }
    for (;;) {
        unsigned char* out = m_text;
        const unsigned char* end = m_pPending + m_nPending;
        m_pPending = Convert(m_encoding, m_pPending, end, m_bFileEnded, out);
        m_nPending = static_cast<DWORD>(end - m_pPending);
        if (out != m_text) {
            pData = m_text;
            return static_cast<DWORD>(out - m_text);
        }
        // Everything was dropped, or only the start of a character is left.
        if (!m_sub_ReadMore() && m_nPending == 0) return 0;
    }
}

// Reads the next block behind the bytes not given out yet (at most the start
// of one character, which the block completes). False when nothing more came.
bool CTextDecoder::m_sub_ReadMore() {
    if (m_bFileEnded) return false;
    DWORD kept = m_nPending;
    std::memmove(m_raw, m_pPending, kept);
    DWORD wanted = kBlockBytes - kept;
    DWORD read = m_sub_Read(m_raw + kept, wanted);
    // A file gives fewer bytes than asked only at its end.
    m_bFileEnded = read < wanted;
    m_pPending = m_raw;
    m_nPending = kept + read;
    return read > 0;
}
