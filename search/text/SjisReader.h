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
//   character boundary and the byte after it form one character when that
//   byte can be a second byte. Otherwise the lead byte is an incomplete
//   character and is dropped, and the byte after it stands on its own: a line
//   feed still ends a title, a NUL still ends the text, a blank is still
//   dropped. Such a byte is never a lead byte itself, so every byte that
//   cannot be a second byte begins a character.
//
// The character reader is the reference: what it keeps is the text. The fast
// paths that take plain runs of a file's buffer at once (SjisPlainRuns.h)
// must keep exactly the same bytes, and the reader's tests hold them to it.
#pragma once

#include <windows.h>

#include <sorahiki/cp932.h>

#include "search/text/SjisPlainRuns.h"
#include "search/text/TextDecoder.h"

namespace sjis {

constexpr int kEndOfInput = -1;

using cp932::IsLeadByte;
using cp932::IsTrailByte;
using cp932::kSeparatorLead;

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

// A file opened for reading, closed when the object ends. The paths come
// from listings that told files from folders, so the file is opened with
// backup semantics, which spares the check that it is no folder, a second
// look at the file for every file a search reads. A folder put in a file's
// place since its listing then opens, and its reading fails.
class OpenFile {
  public:
    explicit OpenFile(const char* path)
        : m_handle(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {}
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

    // The file's first block as it stands in the file, while nothing was
    // read from it; else its `bytes` are nullptr.
    CTextDecoder::FirstBlock FirstBlock() const {
        CTextDecoder::FirstBlock block = m_decoder.m_sub_FirstBlock();
        if (m_data != nullptr || m_ended) block.bytes = nullptr;
        return block;
    }

    // How the file's text is read: told by its first block.
    TextEncoding Encoding() { return m_decoder.m_sub_Encoding(); }

    // ERROR_SUCCESS, or the error of a read that failed and ended the text.
    DWORD ReadError() const { return m_decoder.m_sub_ReadError(); }

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

// Why ReadText stopped.
enum class TextStop : unsigned char {
    kFull,      // the limit is reached, or the next character does not fit
    kLineFeed,  // a line feed, when it ends the text
    kNul,
    kEnd,
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
        if (first != kEndOfInput && IsLeadByte(static_cast<unsigned char>(first))) {
            int second = m_source.Next();
            if (second != kEndOfInput && IsTrailByte(static_cast<unsigned char>(second))) {
                CharKind kind = first == kSeparatorLead ? CharKind::kPair81 : CharKind::kText;
                return SjisChar{
                    kind,
                    2,
                    {static_cast<unsigned char>(first), static_cast<unsigned char>(second)}};
            }
            first = second;  // the incomplete character is dropped
        }
        return OneByte(first);
    }

    // Reads text as the match test, the title and the excerpt want it:
    // characters whose first byte is 0x81 and blanks are dropped, line feeds
    // are dropped or, with `lineFeedEnds`, end the text; a NUL or the end ends
    // it, and at most `limit` bytes of whole characters are kept (a character
    // that would not fit is left to be read next). The byte that ends the text
    // is consumed. Writes a NUL after the text and returns its length; Stop()
    // tells why it ended. The same as taking Next() in a loop; plain runs in
    // the buffer of a file are taken at once by the fast paths.
    int ReadText(char* text, int limit, bool lineFeedEnds = false) {
        int length = 0;
        for (;;) {
            if constexpr (requires(ByteSource s) { s.Unread(); }) {
                if (!m_hasPending) {
                    length = plain::TakePlainRun(m_source, text, length, limit, lineFeedEnds);
                }
            }
            if (length >= limit) {
                m_stop = TextStop::kFull;
                break;
            }
            SjisChar c = Next();
            if (c.kind == CharKind::kEnd || c.kind == CharKind::kNul) {
                m_stop = c.kind == CharKind::kEnd ? TextStop::kEnd : TextStop::kNul;
                break;
            }
            if (c.kind == CharKind::kLineFeed && lineFeedEnds) {
                m_stop = TextStop::kLineFeed;
                break;
            }
            if (c.kind != CharKind::kText) continue;
            if (!AppendChar(text, length, limit, c)) {
                PutBack(c);
                m_stop = TextStop::kFull;
                break;
            }
        }
        text[length] = '\0';
        return length;
    }

    TextStop Stop() const { return m_stop; }

    // Gives `c` back: the next call of Next() returns it again.
    void PutBack(const SjisChar& c) {
        m_pending = c;
        m_hasPending = true;
    }

  private:
    static SjisChar OneByte(int b) {
        if (b == kEndOfInput) return SjisChar{CharKind::kEnd, 0, {0, 0}};
        if (b == 0) return SjisChar{CharKind::kNul, 0, {0, 0}};
        CharKind kind = b == ' '    ? CharKind::kBlank
                        : b == '\n' ? CharKind::kLineFeed
                                    : CharKind::kText;
        return SjisChar{kind, 1, {static_cast<unsigned char>(b), 0}};
    }

    ByteSource& m_source;
    SjisChar m_pending{};
    bool m_hasPending = false;
    TextStop m_stop = TextStop::kEnd;
};

}  // namespace sjis
