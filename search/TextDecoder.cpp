// Telling the encoding of a file and converting UTF-8 and UTF-16 to code
// page 932 through the table of forms.
#include "search/TextDecoder.h"

#include <cstdint>
#include <cstring>

#include "search/Cp932Forms.h"
#include "search/Utf8Sequence.h"

namespace {

// Writes the form of a character; nothing when it has none. A form is never
// longer than the character's UTF-8 or UTF-16 bytes.
inline void PutForm(unsigned short form, unsigned char*& out) {
    if (form == 0) return;
    if (form >= 0x100) *out++ = static_cast<unsigned char>(form >> 8);
    *out++ = static_cast<unsigned char>(form);
}

struct Utf8Pass {
    bool invalid = false;    // a sequence that is no character was met
    bool multibyte = false;  // a character of two or more bytes was met
};

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
        unsigned char lead = *in;
        // Most Japanese characters: three bytes led by E1..EC or EE..EF,
        // where any two continuation bytes make a character.
        if (lead >= 0xE1 && lead <= 0xEF && lead != 0xED && end - in >= 3 &&
            (in[1] & 0xC0) == 0x80 && (in[2] & 0xC0) == 0x80) {
            unsigned codePoint = (lead & 0x0Fu) << 12 | (in[1] & 0x3Fu) << 6 | (in[2] & 0x3Fu);
            PutForm(forms[codePoint], out);
            in += 3;
            pass.multibyte = true;
            continue;
        }
        if (lead < 0x80) {
            std::uint64_t eight;
            if (end - in >= 8 && (std::memcpy(&eight, in, 8), eight & 0x8080808080808080ull) == 0) {
                std::memcpy(out, in, 8);
                in += 8;
                out += 8;
            } else {
                *out++ = *in++;
            }
            continue;
        }
        utf8seq::Sequence s = utf8seq::ReadSequence(in, end);
        if (s.kind == utf8seq::SequenceKind::kCut && !atEnd) break;
        if (s.kind == utf8seq::SequenceKind::kInvalid) {
            pass.invalid = true;
            if (kChecking) break;
        }
        in += s.length;
        if (s.kind == utf8seq::SequenceKind::kValid) {
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

// Converts UTF-16 as ConvertUtf8 does UTF-8. A surrogate pair stands for a
// character beyond U+FFFF, which code page 932 has none of.
const unsigned char* ConvertUtf16(const unsigned char* in, const unsigned char* end, bool atEnd,
                                  bool bigEndian, unsigned char*& out) {
    const unsigned short* forms = cp932::Forms();
    auto unitAt = [bigEndian](const unsigned char* p) {
        return bigEndian ? unsigned{p[0]} << 8 | p[1] : unsigned{p[1]} << 8 | p[0];
    };
    while (end - in >= 2) {
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
            break;
        }
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
    DWORD read = 0;
    if (!ReadFile(hFile, m_raw, kBlockBytes, &read, nullptr)) read = 0;
    m_sub_Begin(hFile, m_raw, read);
}

void CTextDecoder::m_sub_Begin(HANDLE hFile, const unsigned char* pFirstBlock, DWORD length) {
    m_hFile = hFile;
    m_bFileEnded = length < kBlockBytes;
    m_nReady = 0;
    DWORD markBytes = 0;
    m_encoding = EncodingOfMark(pFirstBlock, length, markBytes);
    m_pPending = pFirstBlock + markBytes;
    m_nPending = length - markBytes;
    if (markBytes == 0) m_sub_TryUtf8();
}

// Converts the first block as UTF-8 and keeps the result when the block is
// valid UTF-8 with a character of two or more bytes in it: the check and the
// conversion are one pass. A character cut off by the block's end is allowed.
void CTextDecoder::m_sub_TryUtf8() {
    unsigned char* out = m_text;
    const unsigned char* end = m_pPending + m_nPending;
    Utf8Pass pass;
    const unsigned char* rest = ConvertUtf8<true>(m_pPending, end, m_bFileEnded, out, pass);
    if (pass.invalid || !pass.multibyte) return;
    m_encoding = TextEncoding::kUtf8;
    m_pPending = rest;
    m_nPending = static_cast<DWORD>(end - rest);
    m_nReady = static_cast<DWORD>(out - m_text);
}

DWORD CTextDecoder::m_sub_Fill(const unsigned char*& pData) {
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
    DWORD read = 0;
    if (!ReadFile(m_hFile, m_raw + kept, wanted, &read, nullptr)) read = 0;
    // A file gives fewer bytes than asked only at its end.
    m_bFileEnded = read < wanted;
    m_pPending = m_raw;
    m_nPending = kept + read;
    return read > 0;
}
