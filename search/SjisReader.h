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
#pragma once

#include <windows.h>

#include <bit>
#include <cstdint>
#include <cstring>

#include <sorahiki/cp932.h>

#include "search/SjisBlocks.h"
#include "search/TextDecoder.h"

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
// place since its listing then opens, and its reading gives no text.
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

    // The file's first block, when the file is passed through as code page
    // 932 and nothing was read from it yet; else nullptr.
    const unsigned char* PlainFirstBlock(DWORD& length, bool& fileEnds) const {
        if (m_data != nullptr || m_ended) return nullptr;
        return m_decoder.m_sub_PlainFirstBlock(length, fileEnds);
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
    // the buffer of a file are taken at once.
    int ReadText(char* text, int limit, bool lineFeedEnds = false) {
        int length = 0;
        for (;;) {
            if constexpr (requires(ByteSource s) { s.Unread(); }) {
                if (!m_hasPending) length = TakePlainRun(text, length, limit, lineFeedEnds);
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

    // Copies text straight from the buffer while at least two bytes of room
    // are left and the byte after the one under test is in the buffer. The
    // work goes byte by byte, with "this byte begins a character" carried as
    // a mask from byte to byte: no branch on the kind of character, whose
    // outcome no processor could foresee in Japanese text, and only two
    // operations on the chain from one byte to the next. A lead byte begins a
    // character of two bytes only when the byte after it can be a second
    // byte; otherwise it is dropped. A second byte is kept unless its first
    // byte was 0x81. At a line end, the blanks and line ends that follow are
    // skipped eight bytes at a time. A NUL, 0x1A, a lone CR and a line feed
    // that ends the text are left to Next(); a character begun is given back.
    int TakePlainRun(char* text, int length, int limit, bool lineFeedEnds) {
        if (m_source.UnreadCount() < 2) return length;  // also before the first read
        const unsigned char* p = m_source.Unread();
        const unsigned char* const end = p + m_source.UnreadCount();
        const unsigned char* q = p;
        constexpr int kReach = blocks::kBlockBytes + blocks::kCopySlack;
        while (blocks::kAvailable && end - q >= kReach && limit - length >= kReach) {
            int taken = TakePlainBlock(q, text, length, lineFeedEnds);
            q += taken;
            if (taken < blocks::kBlockBytes - 1) break;
        }
        Run run{q, length, ~0u, 0};
        for (;;) {
            CopyRun(run, end, text, limit);
            // A stop byte can never be a second byte: it stands at a boundary.
            if (run.atBoundary == 0 || end - run.p < 2 || run.length > limit - 2) break;
            if (!IsSkipped(run.p, end, lineFeedEnds) || *run.p == ' ') break;
            run.p = SkipBlanks(run.p, end, lineFeedEnds);
        }
        if (run.atBoundary == 0) {
            --run.p;
            run.length -= kByteTable.keepSecondAfter[run.previous];
        }
        m_source.Skip(static_cast<DWORD>(run.p - p));
        return run.length;
    }

    // The same for the 64 bytes at `p`, which begin a character: the kept
    // bytes are found with masks and copied without a test per byte. A lead
    // byte pairs with the byte after it when that can be a second byte;
    // otherwise it is dropped, and the byte after it begins a character. A
    // CR before a line feed is dropped, and so is the line feed unless it
    // ends the text. Stops before a NUL, 0x1A, a line feed that ends the
    // text, a CR in the last byte (whose follower is unknown), and a
    // character that the block cuts in two; returns the bytes taken.
    static int TakePlainBlock(const unsigned char* p, char* text, int& length, bool lineFeedEnds) {
        blocks::ByteMasks masks = blocks::MasksOf(p);
        std::uint64_t leadAtBoundary = blocks::PairStarts(masks.lead);
        std::uint64_t firstOfPair = leadAtBoundary & (masks.trail >> 1);
        std::uint64_t loneLead = leadAtBoundary & ~firstOfPair;
        std::uint64_t secondOfPair = firstOfPair << 1;
        std::uint64_t careful = masks.ends | (masks.cr & 1ull << 63);
        std::uint64_t dropped = masks.dropped | loneLead | (masks.cr & (masks.lf >> 1));
        if (lineFeedEnds) {
            careful |= masks.lf;
        } else {
            dropped |= masks.lf;
        }
        int count = careful == 0 ? blocks::kBlockBytes : std::countr_zero(careful);
        if (count > 0 && (leadAtBoundary >> (count - 1) & 1) != 0) --count;
        std::uint64_t keep =
            (~secondOfPair & ~dropped) | (secondOfPair & ~((firstOfPair & masks.is81) << 1));
        if (count < blocks::kBlockBytes) keep &= (1ull << count) - 1;
        // The bytes copied beyond a run are overwritten by the next or lie
        // beyond the text's end.
        int at = length;
        while (keep != 0) {
            int from = std::countr_zero(keep);
            int run = std::countr_one(keep >> from);
            blocks::CopyRun(text + at, p + from, run);
            at += run;
            keep &= keep + (1ull << from);
        }
        length = at;
        return count;
    }

    struct Run {
        const unsigned char* p;
        int length;
        unsigned atBoundary;  // all ones where a character begins, else 0
        unsigned char previous;
    };

    // The byte loop of TakePlainRun, on few variables so that all of them
    // stay in registers.
    static void CopyRun(Run& run, const unsigned char* end, char* text, int limit) {
        const unsigned char* p = run.p;
        const unsigned char* const last = end - 1;
        int length = run.length;
        const int room = limit - 2;
        unsigned atBoundary = run.atBoundary;
        unsigned keepSecond = kByteTable.keepSecondAfter[run.previous];
        while (p < last && length <= room) {
            unsigned char b = p[0];
            if (kByteTable.stop[b]) break;
            unsigned trail = kByteTable.trail[p[1]];
            unsigned lead = kByteTable.lead[b];
            unsigned keep = (atBoundary & kByteTable.keepFirst[b] & ~(lead & ~trail)) |
                            (~atBoundary & keepSecond);
            text[length] = static_cast<char>(b);
            length += static_cast<int>(keep);
            atBoundary = ~(atBoundary & (0u - (lead & trail)));
            keepSecond = kByteTable.keepSecondAfter[b];
            ++p;
        }
        if (p > run.p) run.previous = p[-1];
        run.p = p;
        run.length = length;
        run.atBoundary = atBoundary;
    }

    struct ByteTable {
        unsigned char stop[256];             // NUL, CR, LF and 0x1A end a run
        unsigned char lead[256];             // a lead byte
        unsigned char trail[256];            // a byte that can be a second byte
        unsigned char keepFirst[256];        // a character starting here is text
        unsigned char keepSecondAfter[256];  // 1 unless the first byte is 0x81
    };

    static constexpr ByteTable MakeByteTable() {
        ByteTable table{};
        for (int b = 0; b < 256; ++b) {
            auto c = static_cast<unsigned char>(b);
            table.stop[b] = b == 0 || b == '\r' || b == '\n' || b == 0x1A ? 1 : 0;
            table.lead[b] = IsLeadByte(c) ? 1 : 0;
            table.trail[b] = IsTrailByte(c) ? 1 : 0;
            table.keepFirst[b] = b == kSeparatorLead || b == ' ' ? 0 : 1;
            table.keepSecondAfter[b] = b == kSeparatorLead ? 0 : 1;
        }
        return table;
    }

    static constexpr ByteTable kByteTable = MakeByteTable();

    static uint64_t Load8(const unsigned char* p) {
        static_assert(std::endian::native == std::endian::little);
        uint64_t word;
        std::memcpy(&word, p, sizeof word);
        return word;
    }

    static constexpr uint64_t kHigh = 0x8080808080808080u;
    static constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;

    // The high bit of each byte of `word` that equals `b`.
    static uint64_t Equal8(uint64_t word, unsigned char b) {
        uint64_t x = word ^ (0x0101010101010101u * b);
        return ~(((x & kLow7) + kLow7) | x) & kHigh;
    }

    // A blank, a line feed that does not end the text, or a CR right before
    // a line feed (dropped by text mode).
    static bool IsSkipped(const unsigned char* p, const unsigned char* end, bool lineFeedEnds) {
        return *p == ' ' || (*p == '\n' && !lineFeedEnds) ||
               (*p == '\r' && p + 1 < end && p[1] == '\n');
    }

    // Passes over blanks and line ends, eight bytes at a time: a file of blank
    // lines is skipped at the speed of memory.
    static const unsigned char* SkipBlanks(const unsigned char* p, const unsigned char* end,
                                           bool lineFeedEnds) {
        while (end - p >= 8) {
            uint64_t word = Load8(p);
            uint64_t lineFeeds = Equal8(word, '\n');
            uint64_t skipped = Equal8(word, ' ') | (Equal8(word, '\r') & (lineFeeds >> 8));
            if (!lineFeedEnds) skipped |= lineFeeds;
            if (skipped != kHigh) return p + std::countr_zero(~skipped & kHigh) / 8;
            p += 8;
        }
        while (p < end && IsSkipped(p, end, lineFeedEnds)) ++p;
        return p;
    }

    ByteSource& m_source;
    SjisChar m_pending{};
    bool m_hasPending = false;
    TextStop m_stop = TextStop::kEnd;
};

}  // namespace sjis
