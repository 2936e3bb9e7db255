// Telling the encoding of a file and converting UTF-8 and UTF-16 to code
// page 932 through the table of forms.
#include "search/TextDecoder.h"

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

// Converts UTF-8 from `in` up to `end`. A character cut off by `end` is left
// unread, for the next block, unless the file ends there. Returns where
// reading stopped.
const unsigned char* ConvertUtf8(const unsigned char* in, const unsigned char* end, bool atEnd,
                                 unsigned char*& out) {
    const unsigned short* forms = cp932::Forms();
    while (in < end) {
        if (*in < 0x80) {
            *out++ = *in++;
            continue;
        }
        utf8::Sequence s = utf8::ReadSequence(in, end);
        if (s.kind == utf8::SequenceKind::kCut && !atEnd) break;
        in += s.length;
        if (s.kind == utf8::SequenceKind::kValid && s.codePoint < 0x10000) {
            PutForm(forms[s.codePoint], out);
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
    if (encoding == TextEncoding::kUtf8) return ConvertUtf8(in, end, atEnd, out);
    return ConvertUtf16(in, end, atEnd, encoding == TextEncoding::kUtf16Be, out);
}

bool StartsWith(const unsigned char* block, DWORD length, const char* mark, DWORD markLength) {
    return length >= markLength && std::memcmp(block, mark, markLength) == 0;
}

}  // namespace

TextEncoding DetectEncoding(const unsigned char* block, DWORD length, DWORD& markBytes) {
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
    utf8::Verdict verdict = utf8::Check(block, length);
    bool valid = verdict.validBytes == length || verdict.cutAtEnd;
    return valid && verdict.multibyte ? TextEncoding::kUtf8 : TextEncoding::kCp932;
}

void CTextDecoder::m_sub_Begin(HANDLE hFile) {
    DWORD read = 0;
    if (!ReadFile(hFile, m_raw, kBlockBytes, &read, nullptr)) read = 0;
    m_sub_Begin(hFile, m_raw, read);
}

void CTextDecoder::m_sub_Begin(HANDLE hFile, const unsigned char* pFirstBlock, DWORD length) {
    m_hFile = hFile;
    m_bFileEnded = length < kBlockBytes;
    DWORD markBytes = 0;
    m_encoding = DetectEncoding(pFirstBlock, length, markBytes);
    m_pPending = pFirstBlock + markBytes;
    m_nPending = length - markBytes;
}

DWORD CTextDecoder::m_sub_Fill(const unsigned char*& pData) {
    if (m_encoding == TextEncoding::kCp932) {
        if (m_nPending == 0 && !m_sub_ReadMore()) return 0;
        pData = m_pPending;
        DWORD count = m_nPending;
        m_nPending = 0;
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
