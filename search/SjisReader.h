// The one reader of Shift-JIS text: the query parser, the text gathered from a
// file, the title and the excerpt all take their characters from here, so a
// two-byte character is never torn apart.
//
// Two layers:
// - a byte source yields bytes 0..255 or kEndOfInput. TextFileBytes takes a
//   file's text in code page 932 from a CTextDecoder (which converts a file
//   written in UTF-8 or UTF-16) and applies the text-mode rules to it: a CR
//   that stands directly before an LF is dropped, a byte 0x1A ends the
//   input;
// - SjisCharReader groups the bytes into characters: a lead byte at a
//   character boundary and the byte after it form one character, whatever
//   that byte is, except that a NUL or the end of the input still ends the
//   text and the unfinished character before it is dropped.
#pragma once

#include <windows.h>

#include "search/TextDecoder.h"

namespace sjis {

constexpr int kEndOfInput = -1;

constexpr bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

enum class CharKind : unsigned char {
    kEnd,       // end of the input (sticky)
    kNul,       // a NUL byte; reading may go on after it
    kBlank,     // 0x20
    kLineFeed,  // 0x0A
    kPair81,    // a character whose first byte is 0x81: a separator, never text
    kText,      // any other character, one or two bytes
};

struct SjisChar {
    CharKind kind;
    unsigned char length;  // bytes in `bytes`: 1 or 2 (0 for kEnd and kNul)
    unsigned char bytes[2];
};

// A file opened for reading, closed when the object ends.
class OpenFile {
  public:
    explicit OpenFile(const char* path)
        : m_handle(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr)) {}
    ~OpenFile() {
        if (IsOpen()) CloseHandle(m_handle);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Handle() const { return m_handle; }

  private:
    HANDLE m_handle;
};

// The text of an open file in code page 932, given out in text mode.
class TextFileBytes {
  public:
    explicit TextFileBytes(HANDLE handle) { m_decoder.m_sub_Begin(handle); }
    // A file whose first block was read already (see CTextDecoder).
    TextFileBytes(HANDLE handle, const unsigned char* firstBlock, DWORD length) {
        m_decoder.m_sub_Begin(handle, firstBlock, length);
    }
    TextFileBytes(const TextFileBytes&) = delete;
    TextFileBytes& operator=(const TextFileBytes&) = delete;

    int Next() {
        // The common case stays small enough to be inlined into the readers.
        if (m_pos < m_length) {
            unsigned char b = m_data[m_pos];
            if (b != '\r' && b != 0x1A) {
                ++m_pos;
                return b;
            }
        }
        return NextSlow();
    }

    // The bytes read into the buffer and not given out yet, for readers that
    // take plain runs of text at once. Text-mode bytes (CR, 0x1A) are in it
    // as they are; such a reader leaves them to Next().
    const unsigned char* Unread() const { return m_data + m_pos; }
    DWORD UnreadCount() const { return m_length - m_pos; }
    void Skip(DWORD count) { m_pos += count; }

  private:
    int NextSlow() {
        for (;;) {
            if (m_pos == m_length && !Refill()) return kEndOfInput;
            unsigned char b = m_data[m_pos++];
            if (b == 0x1A) return EndInput();
            if (b != '\r') return b;
            // A CR directly before an LF is dropped, also when the LF begins
            // the next buffer.
            if (m_pos == m_length && !Refill()) return '\r';
            if (m_data[m_pos] != '\n') return '\r';
        }
    }

    bool Refill() {
        if (m_ended) return false;
        DWORD count = m_decoder.m_sub_Fill(m_data);
        if (count == 0) {
            EndInput();
            return false;
        }
        m_pos = 0;
        m_length = count;
        return true;
    }

    int EndInput() {
        m_ended = true;
        m_pos = m_length = 0;
        return kEndOfInput;
    }

    CTextDecoder m_decoder;
    const unsigned char* m_data = nullptr;
    DWORD m_pos = 0;
    DWORD m_length = 0;
    bool m_ended = false;  // a 0x1A or the end of the file was met
};

// Appends the character to `field` (holding `length` bytes) when it fits in
// `limit` bytes; false when it does not.
inline bool AppendChar(char* field, int& length, int limit, const SjisChar& c) {
    if (length + c.length > limit) return false;
    field[length++] = static_cast<char>(c.bytes[0]);
    if (c.length == 2) field[length++] = static_cast<char>(c.bytes[1]);
    return true;
}

template <typename ByteSource>
class SjisCharReader {
  public:
    explicit SjisCharReader(ByteSource& source) : m_source(source) {}

    SjisChar Next() {
        if (m_hasPending) {
            m_hasPending = false;
            return m_pending;
        }
        int first = m_source.Next();
        if (first == kEndOfInput) return SjisChar{CharKind::kEnd, 0, {0, 0}};
        if (first == 0) return SjisChar{CharKind::kNul, 0, {0, 0}};
        auto lead = static_cast<unsigned char>(first);
        if (IsLeadByte(lead)) {
            int second = m_source.Next();
            if (second == kEndOfInput) return SjisChar{CharKind::kEnd, 0, {0, 0}};
            if (second == 0) return SjisChar{CharKind::kNul, 0, {0, 0}};
            CharKind kind = lead == 0x81 ? CharKind::kPair81 : CharKind::kText;
            return SjisChar{kind, 2, {lead, static_cast<unsigned char>(second)}};
        }
        CharKind kind = lead == ' '    ? CharKind::kBlank
                        : lead == '\n' ? CharKind::kLineFeed
                                       : CharKind::kText;
        return SjisChar{kind, 1, {lead, 0}};
    }

    // Reads text as the match test and the excerpt want it: characters whose
    // first byte is 0x81, blanks and line feeds are dropped, a NUL or the end
    // ends the text, and at most `limit` bytes of whole characters are kept
    // (a character that would not fit ends the text). Writes a NUL after the
    // text and returns its length. The same as taking Next() in a loop; plain
    // runs in the buffer of a file are taken at once.
    int ReadText(char* text, int limit) {
        int length = 0;
        for (;;) {
            if constexpr (requires(ByteSource s) { s.Unread(); }) {
                if (!m_hasPending) length = TakePlainRun(text, length, limit);
            }
            if (length >= limit) break;
            SjisChar c = Next();
            if (c.kind == CharKind::kEnd || c.kind == CharKind::kNul) break;
            if (c.kind != CharKind::kText) continue;
            if (!AppendChar(text, length, limit, c)) break;
        }
        text[length] = '\0';
        return length;
    }

    // Gives `c` back: the next call of Next() returns it again.
    void PutBack(const SjisChar& c) {
        m_pending = c;
        m_hasPending = true;
    }

  private:
    // Copies text straight from the buffer while at least two bytes of room
    // are left and no byte needs the careful path (NUL, CR, 0x1A). The work
    // goes byte by byte, with "this byte begins a character" carried as a
    // mask from byte to byte: no branch on the kind of character, whose
    // outcome no processor could foresee in Japanese text, and only two
    // operations on the chain from one byte to the next. A second byte is
    // kept unless its first byte was 0x81. It stops on a character boundary:
    // a character begun is given back.
    int TakePlainRun(char* text, int length, int limit) {
        const unsigned char* start = m_source.Unread();
        const unsigned char* end = start + m_source.UnreadCount();
        const unsigned char* p = start;
        unsigned atBoundary = ~0u;  // all ones where a character begins, else 0
        unsigned char previous = 0;
        while (p < end && length <= limit - 2) {
            unsigned char b = *p;
            if (kByteTable.careful[b]) break;
            unsigned keep = (atBoundary & kByteTable.keepFirst[b]) |
                            (~atBoundary & kByteTable.keepSecondAfter[previous]);
            text[length] = static_cast<char>(b);
            length += static_cast<int>(keep);
            atBoundary = ~(atBoundary & (0u - kByteTable.lead[b]));
            previous = b;
            ++p;
        }
        if (atBoundary == 0) {
            --p;
            length -= kByteTable.keepSecondAfter[previous];
        }
        m_source.Skip(static_cast<DWORD>(p - start));
        return length;
    }

    struct ByteTable {
        unsigned char careful[256];          // 1 for NUL, CR and 0x1A
        unsigned char lead[256];             // 1 for a lead byte
        unsigned char keepFirst[256];        // 1 when a character starting here is text
        unsigned char keepSecondAfter[256];  // 1 unless the first byte is 0x81
    };

    static constexpr ByteTable MakeByteTable() {
        ByteTable table{};
        for (int b = 0; b < 256; ++b) {
            table.careful[b] = b == 0 || b == '\r' || b == 0x1A ? 1 : 0;
            table.lead[b] = IsLeadByte(static_cast<unsigned char>(b)) ? 1 : 0;
            table.keepFirst[b] = b == 0x81 || b == ' ' || b == '\n' ? 0 : 1;
            table.keepSecondAfter[b] = b == 0x81 ? 0 : 1;
        }
        return table;
    }

    static constexpr ByteTable kByteTable = MakeByteTable();

    ByteSource& m_source;
    SjisChar m_pending{};
    bool m_hasPending = false;
};

}  // namespace sjis
