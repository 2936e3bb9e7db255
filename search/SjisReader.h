// The one reader of Shift-JIS text: the query parser, the text gathered from a
// file, the title and the excerpt all take their characters from here, so a
// two-byte character is never torn apart.
//
// Two layers:
// - a byte source yields bytes 0..255 or kEndOfInput. TextFileBytes reads a
//   file in binary through a fixed buffer and applies the text-mode rules: a
//   CR that stands directly before an LF is dropped, a byte 0x1A ends the
//   input;
// - SjisCharReader groups the bytes into characters: a lead byte at a
//   character boundary and the byte after it form one character, whatever
//   that byte is, except that a NUL or the end of the input still ends the
//   text and the unfinished character before it is dropped.
#pragma once

#include <windows.h>

namespace sjis {

constexpr int kEndOfInput = -1;

inline bool IsLeadByte(unsigned char c) {
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

// The bytes of an open file, read in binary and given out in text mode.
class TextFileBytes {
  public:
    static constexpr DWORD kBufferBytes = 4096;

    explicit TextFileBytes(HANDLE handle) : m_handle(handle) {}

    int Next() {
        for (;;) {
            if (m_pos == m_length && !Refill()) return kEndOfInput;
            unsigned char b = m_buffer[m_pos++];
            if (b == 0x1A) return EndInput();
            if (b != '\r') return b;
            // A CR directly before an LF is dropped, also when the LF begins
            // the next buffer.
            if (m_pos == m_length && !Refill()) return '\r';
            if (m_buffer[m_pos] != '\n') return '\r';
        }
    }

  private:
    bool Refill() {
        if (m_ended) return false;
        DWORD read = 0;
        if (!ReadFile(m_handle, m_buffer, kBufferBytes, &read, nullptr) || read == 0) {
            EndInput();
            return false;
        }
        m_pos = 0;
        m_length = read;
        return true;
    }

    int EndInput() {
        m_ended = true;
        m_pos = m_length = 0;
        return kEndOfInput;
    }

    HANDLE m_handle;
    DWORD m_pos = 0;
    DWORD m_length = 0;
    bool m_ended = false;
    unsigned char m_buffer[kBufferBytes];
};

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

    // Gives `c` back: the next call of Next() returns it again.
    void PutBack(const SjisChar& c) {
        m_pending = c;
        m_hasPending = true;
    }

  private:
    ByteSource& m_source;
    SjisChar m_pending{};
    bool m_hasPending = false;
};

// Appends the character to `field` (holding `length` bytes) when it fits in
// `limit` bytes; false when it does not.
inline bool AppendChar(char* field, int& length, int limit, const SjisChar& c) {
    if (length + c.length > limit) return false;
    field[length++] = static_cast<char>(c.bytes[0]);
    if (c.length == 2) field[length++] = static_cast<char>(c.bytes[1]);
    return true;
}

}  // namespace sjis
