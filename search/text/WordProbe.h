// A quick look at a file's first block before its text is gathered: when a
// character of a word is nowhere in the bytes the gathering would read, the
// word cannot be in the text, and the file is passed over without gathering.
//
// This holds because gathered text is made of characters copied as they
// stand in the file (blanks, line ends, characters beginning with 0x81 and
// incomplete characters are dropped between them, nothing is changed), so
// each character of the text occurs somewhere among the bytes read. Those
// bytes lie inside the first block when the file ends there, when the block
// surely holds more kept bytes than the text can take, or when a NUL or 0x1A
// there ends the text. This looks at the bytes as code page 932; files in
// UTF-8 or UTF-16 are looked at before conversion by UnicodeProbes.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include <sorahiki/cp932.h>

#include "search/text/SjisBlocks.h"

namespace sjis {

class WordProbes {
  public:
    static constexpr int kMaxProbes = 8;

    // The rarest character of each word is looked for (kanji before kana,
    // two bytes before one), and a second one when the first is no kanji,
    // while room is left.
    void Add(const char* word) {
        Candidate best[2] = {};
        for (const auto* p = reinterpret_cast<const unsigned char*>(word); *p != 0;) {
            Candidate c{p, cp932::IsLeadByte(*p) && p[1] != 0 ? 2 : 1, 0};
            c.rarity = Rarity(c);
            if (c.rarity > best[0].rarity) {
                best[1] = best[0];
                best[0] = c;
            } else if (c.rarity > best[1].rarity && !SameChar(c, best[0])) {
                best[1] = c;
            }
            p += c.length;
        }
        if (best[0].rarity == kKanji) best[1] = Candidate{};
        for (const Candidate& c : best) {
            if (c.rarity > 0 && m_count < kMaxProbes) {
                m_first[m_count] = c.bytes[0];
                m_second[m_count] = c.length == 2 ? c.bytes[1] : 0;
                m_length[m_count++] = static_cast<unsigned char>(c.length);
            }
        }
    }

    int Count() const { return m_count; }
    // The character of probe `i`: its first byte, and its second when it has
    // two.
    unsigned char First(int i) const { return m_first[i]; }
    unsigned char Second(int i) const { return m_second[i]; }
    int Length(int i) const { return m_length[i]; }

    // False only when the text gathered from `block` (`length` bytes of
    // code page 932, the start of a file that ends there when `fileEnds`),
    // at most `limit` bytes, surely lacks one of the characters.
    bool MayAllOccur(const unsigned char* block, int length, bool fileEnds, int limit) const {
        if (!blocks::kAvailable || m_count == 0) return true;
        // The text ends before the first NUL or 0x1A. A file that is no text
        // shows one among its first bytes; elsewhere it is looked for only
        // when nothing else decides.
        int head = length < kStep ? length : kStep;
        if (int stop = EndOfText(block, head); stop < head) return AllBefore(block, stop);
        unsigned found = 0;
        int droppable = 0;  // bytes that may stand for two dropped bytes
        int at = 0;
        // A block too short to fill the text needs no count.
        const bool counting = length >= limit + kMargin;
        for (; at + kStep + 1 <= length; at += kStep) {
            blocks::Window window(block + at);
            found |= FoundIn(window, found);
            if (found == AllFound()) return true;
            if (!counting) continue;
            droppable += window.CountDroppable();
            // Past this point the text is surely full: every byte not kept
            // is a droppable byte, a byte dropped because of one, or the
            // last byte, cut from its character.
            if (at + kStep - 2 * droppable - 1 >= limit + kMargin) return false;
        }
        if (int stop = EndOfText(block, length); stop < length) return AllBefore(block, stop);
        if (!fileEnds) return true;
        for (; at < length; ++at) found |= FoundAt(block, at, length);
        return found == AllFound();
    }

  private:
    static constexpr int kStep = blocks::kBlockBytes;
    static constexpr int kMargin = 8;  // more than a character put back

    static constexpr int kKanji = 3;

    struct Candidate {
        const unsigned char* bytes;
        int length;
        int rarity;
    };

    static int Rarity(const Candidate& c) {
        if (c.length == 1) return 1;
        if (c.bytes[0] == cp932::kSeparatorLead) return 0;  // never in gathered text
        return c.bytes[0] >= 0x88 ? kKanji : 2;
    }

    static bool SameChar(const Candidate& a, const Candidate& b) {
        return a.length == b.length && a.bytes[0] == b.bytes[0] &&
               (a.length == 1 || a.bytes[1] == b.bytes[1]);
    }

    unsigned AllFound() const { return (1u << m_count) - 1; }

    // Where the first NUL or 0x1A stands among the `length` bytes, else
    // `length`.
    static int EndOfText(const unsigned char* block, int length) {
        auto end = block + length;
        for (unsigned char stop : {0x00, 0x1A}) {
            const void* at = std::memchr(block, stop, static_cast<size_t>(end - block));
            if (at != nullptr) end = static_cast<const unsigned char*>(at);
        }
        return static_cast<int>(end - block);
    }

    // Whether every probe occurs before `stop`, where the text ends. A pair
    // never ends at `stop`: a NUL or 0x1A is no second byte.
    bool AllBefore(const unsigned char* block, int stop) const {
        unsigned found = 0;
        int at = 0;
        for (; at + kStep < stop; at += kStep) found |= FoundIn(blocks::Window(block + at), found);
        for (; at < stop; ++at) found |= FoundAt(block, at, stop);
        return found == AllFound();
    }

    // The probes not found yet that the window holds.
    unsigned FoundIn(const blocks::Window& window, unsigned found) const {
        for (int i = 0; i < m_count; ++i) {
            if ((found >> i & 1) == 0 && window.Has(m_first[i], m_second[i], m_length[i] == 1)) {
                found |= 1u << i;
            }
        }
        return found;
    }

    unsigned FoundAt(const unsigned char* block, int at, int length) const {
        unsigned found = 0;
        for (int i = 0; i < m_count; ++i) {
            bool hit = block[at] == m_first[i] &&
                       (m_length[i] == 1 || (at + 1 < length && block[at + 1] == m_second[i]));
            found |= static_cast<unsigned>(hit) << i;
        }
        return found;
    }

    unsigned char m_first[kMaxProbes] = {};
    unsigned char m_second[kMaxProbes] = {};
    unsigned char m_length[kMaxProbes] = {};
    int m_count = 0;
};

}  // namespace sjis
