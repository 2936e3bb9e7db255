// A quick look at a file's first block before its text is gathered: when a
// pair of adjacent characters of a word (or a word's one character) is
// nowhere in the bytes the gathering would read, the word cannot be in the
// text, and the file is passed over without gathering.
//
// This holds because gathered text is made of characters copied as they
// stand in the file, with only dropped bytes between them: blanks, line
// ends, characters beginning with 0x81 and incomplete characters (a lead
// byte before a byte that cannot stand second). So where the text holds
// characters A and B side by side, the file holds A's bytes, then only
// dropped characters, then B's. Those bytes lie
// inside the first block when the file ends there, when the block surely
// holds more kept bytes than the text can take, or when a NUL or 0x1A there
// ends the text. This looks at the bytes as code page 932; files in UTF-8 or
// UTF-16 are looked at before conversion by UnicodeProbes.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include <sorahiki/cp932.h>

#include "search/text/SjisBlocks.h"
#include "search/text/SjisBlocksWide.h"

namespace sjis {

// One character of a word, as its bytes stand.
struct WordChar {
    unsigned char bytes[2];
    int length;  // 1 or 2; 0 for none
};

// The characters of `word`, a lead byte with the byte after it.
template <typename Each>
void ForEachChar(const char* word, Each each) {
    for (const auto* p = reinterpret_cast<const unsigned char*>(word); *p != 0;) {
        const int length = cp932::IsLeadByte(*p) && p[1] != 0 ? 2 : 1;
        each(WordChar{{p[0], length == 2 ? p[1] : static_cast<unsigned char>(0)}, length});
        p += length;
    }
}

// How seldom a character stands in text: kanji before other characters of
// two bytes before one byte; one beginning with 0x81 is never in gathered
// text.
inline int Rarity(const WordChar& c) {
    if (c.length == 1) return 1;
    if (c.bytes[0] == cp932::kSeparatorLead) return 0;
    return c.bytes[0] >= 0x88 ? 3 : 2;
}

inline bool SameChar(const WordChar& a, const WordChar& b) {
    return a.length == b.length && a.bytes[0] == b.bytes[0] &&
           (a.length == 1 || a.bytes[1] == b.bytes[1]);
}

// The rarest character of `word`, and a second one when the first is no
// kanji: what the look at UTF-8 and UTF-16 files searches for. Unused
// places have length 0.
inline void RarestChars(const char* word, WordChar (&best)[2]) {
    best[0] = best[1] = WordChar{};
    int rarity[2] = {0, 0};
    ForEachChar(word, [&](const WordChar& c) {
        const int r = Rarity(c);
        if (r > rarity[0]) {
            best[1] = best[0];
            rarity[1] = rarity[0];
            best[0] = c;
            rarity[0] = r;
        } else if (r > rarity[1] && !SameChar(c, best[0])) {
            best[1] = c;
            rarity[1] = r;
        }
    });
    if (rarity[0] == 3) best[1] = WordChar{};
    for (int i = 0; i < 2; ++i) {
        if (rarity[i] == 0) best[i] = WordChar{};
    }
}

class WordProbes {
  public:
    static constexpr int kMaxProbes = 16;
    // A word's pairs looked for at most: the rarest, so that a word rarely
    // costs more look-ups than a few.
    static constexpr int kMaxPairsPerWord = 3;

    // The rarest pairs of adjacent characters of the word are looked for,
    // rarest first character first, while room is left; a word of one
    // character is looked for alone.
    void Add(const char* word) {
        Probe pairs[kMaxPairsPerWord] = {};
        int score[kMaxPairsPerWord] = {};
        WordChar before{};
        ForEachChar(word, [&](const WordChar& c) {
            if (before.length != 0 && Rarity(before) > 0 && Rarity(c) > 0) {
                KeepIfRarer(Probe{before, c}, 4 * Rarity(before) + Rarity(c), pairs, score);
            }
            before = c;
        });
        if (score[0] == 0) {
            WordChar alone[2];
            RarestChars(word, alone);
            for (const WordChar& c : alone) {
                if (c.length != 0) Push(Probe{c, WordChar{}});
            }
            return;
        }
        for (int i = 0; i < kMaxPairsPerWord && score[i] > 0; ++i) Push(pairs[i]);
    }

    int Count() const { return m_count; }
    // Probe `i`: its character, and the one that must follow it (length 0
    // for none).
    WordChar First(int i) const { return m_probes[i].first; }
    WordChar Next(int i) const { return m_probes[i].next; }

    // False only when the text gathered from `block` (`length` bytes of
    // code page 932, the start of a file that ends there when `fileEnds`),
    // at most `limit` bytes, surely lacks one of the probes.
    bool MayAllOccur(const unsigned char* block, int length, bool fileEnds, int limit) const {
        if (!blocks::kAvailable || m_count == 0) return true;
        // Most blocks are told one probe at a time; the rest (a NUL or 0x1A
        // near the start, a text that never fills) by the look below. There
        // a block that lacks a word mostly lacks the first pair looked for,
        // the rarest of the first word's: that one alone is looked for first,
        // and the look at every probe then finds it again, so the verdict is
        // the same as that look's alone.
        switch (LookOneByOne(block, length, fileEnds, limit)) {
            case Verdict::kLacks:
                return false;
            case Verdict::kMay:
                return true;
            case Verdict::kUntold:
                break;
        }
        if (m_count > 1 && length > kStep &&
            !MayOccur(block, length, fileEnds, limit, AllFound() & ~1u)) {
            return false;
        }
        return MayOccur(block, length, fileEnds, limit, 0);
    }

    // A whole file looked at in parts, one after the other, each beginning
    // with the last kPartOverlap bytes of the one before: a probe that
    // begins in those bytes is told only by the next part, where what
    // follows it is there too.
    static constexpr int kPartOverlap = 4;

    // The probes that may occur in a part of a file (`length` bytes of code
    // page 932 from anywhere in it; the last part of the file when it
    // ends there), added to `found`, where the file's earlier parts left it.
    unsigned FoundInPart(const unsigned char* part, int length, unsigned found) const {
        if (!blocks::kAvailable) return AllFound();
        if (wide::Chosen()) {
            // The windows that lie in the part with the byte after them, one
            // probe at a time; then the bytes after them.
            const int windows = (length - 1) / kStep * kStep;
            for (int i = 0; i < m_count; ++i) {
                if ((found >> i & 1) == 0 && FoundBefore(i, part, windows, length)) {
                    found |= 1u << i;
                }
            }
            return FoundFrom(part, windows, length, found);
        }
        int at = 0;
        for (; at + kStep + 1 <= length && found != AllFound(); at += kStep) {
            found |= FoundIn(blocks::Window(part + at), part, at, length, found);
        }
        return FoundFrom(part, at, length, found);
    }
    bool AllOf(unsigned found) const { return found == AllFound(); }
    unsigned AllProbes() const { return AllFound(); }

  private:
    static constexpr int kStep = blocks::kBlockBytes;
    static constexpr int kMargin = 8;  // more than a character put back

    enum class Verdict { kLacks, kMay, kUntold };

    // MayAllOccur's verdict, told one probe at a time: in a block long
    // enough to fill the text, the first probe is looked for while the block
    // is counted up to the window where the text is surely full, and each of
    // the others then in the windows up to there, with no count; a shorter
    // one, see LookWholeBlock. A block that lacks a word mostly lacks the
    // first probe, and then costs one probe's look. Untold where the block
    // shows a NUL or 0x1A among its first bytes (no text: MayOccur looks
    // where it ends), or where the count never shows it full.
    Verdict LookOneByOne(const unsigned char* block, int length, bool fileEnds, int limit) const {
        if (length < limit + kMargin + kStep) return LookWholeBlock(block, length, fileEnds);
        if (blocks::Window(block).HoldsEnd()) return Verdict::kUntold;
        bool firstFound = false;
        const int full = FullAt(block, length, limit, firstFound);
        if (full == 0) return Verdict::kUntold;
        if (!firstFound) return Verdict::kLacks;
        for (int i = 1; i < m_count; ++i) {
            if (!FoundBefore(i, block, full, length)) return Verdict::kLacks;
        }
        return Verdict::kMay;
    }

    // A block too short to show the text full tells alone only when the file
    // ends in it and no NUL or 0x1A ends the text before (MayOccur looks
    // where): then each probe is looked for in all of it, until one is
    // missing.
    Verdict LookWholeBlock(const unsigned char* block, int length, bool fileEnds) const {
        if (!fileEnds || EndOfText(block, length) < length) return Verdict::kUntold;
        const int windows = (length - 1) / kStep * kStep;
        for (int i = 0; i < m_count; ++i) {
            const unsigned others = AllFound() & ~(1u << i);
            if (!FoundBefore(i, block, windows, length) &&
                FoundFrom(block, windows, length, others) != AllFound()) {
                return Verdict::kLacks;
            }
        }
        return Verdict::kMay;
    }

    // The end of the window after which the text is surely full (MayOccur's
    // count), or 0 when the block never shows it full; and whether the first
    // probe begins before there, looked for on the way, since most blocks
    // that lack a word lack it.
    int FullAt(const unsigned char* block, int length, int limit, bool& firstFound) const {
        const FollowContext follow{&m_probes[0], block, length};
        const int wideFull = wide::FullAt(block, length, limit + kMargin, WideChar(0),
                                          {&AcceptsFollowing, &follow}, firstFound);
        if (wideFull >= 0) return wideFull;
        int dropped = 0;
        for (int at = 0; at + kStep + 1 <= length; at += kStep) {
            const blocks::Window window(block + at);
            if (!firstFound && window.Holds(m_wanted[0])) {
                firstFound = FollowedInWindow(0, window, block, at, length);
            }
            dropped += window.Ascii() ? window.CountLow() : window.CountDropped();
            if (at + kStep - dropped - 1 >= limit + kMargin) return at + kStep;
        }
        return 0;
    }

    // Whether probe `i` begins in a window before `end`.
    bool FoundBefore(int i, const unsigned char* block, int end, int length) const {
        if (wide::Chosen()) {
            const FollowContext follow{&m_probes[i], block, length};
            return wide::FoundBefore(block, end, WideChar(i), {&AcceptsFollowing, &follow});
        }
        for (int at = 0; at < end; at += kStep) {
            const blocks::Window window(block + at);
            if (window.Holds(m_wanted[i]) && FollowedInWindow(i, window, block, at, length)) {
                return true;
            }
        }
        return false;
    }

    // MayAllOccur, with the probes of `given` taken as found.
    bool MayOccur(const unsigned char* block, int length, bool fileEnds, int limit,
                  unsigned given) const {
        // The text ends before the first NUL or 0x1A. A file that is no text
        // shows one among its first bytes; elsewhere it is looked for only
        // when nothing else decides.
        int head = length < kStep ? length : kStep;
        if (int stop = EndOfText(block, head); stop < head) {
            return AllBefore(block, stop, length, given);
        }
        unsigned found = given;
        int dropped = 0;  // at least the bytes dropped so far
        int at = 0;
        // A block too short to fill the text needs no count.
        const bool counting = length >= limit + kMargin;
        for (; at + kStep + 1 <= length; at += kStep) {
            blocks::Window window(block + at);
            // In 64 bytes of ASCII, as the heads of manual and web pages are,
            // no probe whose first byte is from 0x80 up begins, and only the
            // blanks, line ends and control bytes are dropped.
            const bool ascii = window.Ascii();
            const unsigned passed = ascii ? m_highFirst : 0u;
            found |= FoundIn(window, block, at, length, found | passed) & ~passed;
            if (found == AllFound()) return true;
            if (!counting) continue;
            dropped += ascii ? window.CountLow() : window.CountDropped();
            // Past this point the text is surely full: every byte not kept
            // is counted as dropped, or is the last byte, cut from its
            // character.
            if (at + kStep - dropped - 1 >= limit + kMargin) return false;
        }
        if (int stop = EndOfText(block, length); stop < length) {
            return AllBefore(block, stop, length, given);
        }
        if (!fileEnds) return true;
        return FoundFrom(block, at, length, found) == AllFound();
    }

    // A character, and the one after it in the word (length 0 for a probe
    // of one character).
    struct Probe {
        WordChar first;
        WordChar next;
    };

    // Probe `i`'s first character, for the wide loops.
    wide::Char WideChar(int i) const {
        const WordChar& c = m_probes[i].first;
        return wide::Char{c.bytes[0], c.bytes[1], c.length == 1};
    }

    // What the wide loops ask at each place where a probe's first character
    // begins in `block`; made on the caller's stack, as the probes are
    // shared by every reader.
    struct FollowContext {
        const Probe* probe;
        const unsigned char* block;
        int length;
    };
    static bool AcceptsFollowing(const void* context, int at) {
        const auto* c = static_cast<const FollowContext*>(context);
        return FollowedAt(*c->probe, c->block, at, c->length);
    }

    // Keeps the pair among the rarest, in order of score; the first of equal
    // scores stays.
    static void KeepIfRarer(const Probe& pair, int rarity, Probe (&pairs)[kMaxPairsPerWord],
                            int (&score)[kMaxPairsPerWord]) {
        for (int i = 0; i < kMaxPairsPerWord; ++i) {
            if (rarity <= score[i]) continue;
            for (int k = kMaxPairsPerWord - 1; k > i; --k) {
                pairs[k] = pairs[k - 1];
                score[k] = score[k - 1];
            }
            pairs[i] = pair;
            score[i] = rarity;
            return;
        }
    }

    void Push(const Probe& probe) {
        if (m_count == kMaxProbes) return;
        m_wanted[m_count] =
            blocks::Wanted(probe.first.bytes[0], probe.first.bytes[1], probe.first.length == 1);
        if (probe.first.bytes[0] >= 0x80) m_highFirst |= 1u << m_count;
        m_probes[m_count++] = probe;
    }

    // What the gathering drops at `at` of the `length` bytes, when the
    // character before it ends there: the bytes of a blank, a line feed, a
    // character beginning with 0x81 or an incomplete character (a lead byte
    // before a byte that cannot stand second), 0 where it keeps a character,
    // or -1 where the bytes cannot tell: past them, and at a NUL or 0x1A,
    // where the text ends. A CR is dropped only before a line feed.
    static int DroppedAt(const unsigned char* block, int at, int length) {
        if (at >= length) return -1;
        const unsigned char b = block[at];
        if (b == ' ' || b == '\n') return 1;
        if (b == 0 || b == 0x1A || (b == '\r' && at + 1 >= length)) return -1;
        if (b == '\r') return block[at + 1] == '\n' ? 1 : 0;
        if (!cp932::IsLeadByte(b)) return 0;
        if (at + 1 >= length) return -1;
        if (!cp932::IsTrailByte(block[at + 1])) return 1;
        return b == cp932::kSeparatorLead ? 2 : 0;
    }

    // Whether `c` stands at `at` of the `length` bytes; a character cut by
    // their end may.
    static bool CharAt(const WordChar& c, const unsigned char* block, int at, int length) {
        if (at >= length || block[at] != c.bytes[0]) return at >= length;
        return c.length == 1 || at + 1 >= length || block[at + 1] == c.bytes[1];
    }

    // Whether the probe's character at `at` may be followed in the text by
    // the next one: the first character after it that the gathering keeps
    // is that one, or the bytes cannot tell. What is dropped between them
    // is passed over, so a character at the end of a line stands before the
    // first one of the next line, not before anything. The bytes of a
    // probe's character may also stand inside what is dropped (as the second
    // byte of a 0x81 character), so a run of such characters could be passed
    // again from each place in it: past kMaxPassed bytes the pair is taken
    // to follow, which keeps the look linear in the bytes on any file.
    static constexpr int kMaxPassed = 128;
    static bool FollowedAt(const Probe& probe, const unsigned char* block, int at, int length) {
        if (probe.next.length == 0) return true;
        const int first = at + probe.first.length;
        // A CR before a line feed is dropped, no character of the text.
        if (probe.first.length == 1 && probe.first.bytes[0] == '\r' && first < length &&
            block[first] == '\n') {
            return false;
        }
        for (int after = first; after - first <= kMaxPassed;) {
            if (CharAt(probe.next, block, after, length)) return true;
            const int dropped = DroppedAt(block, after, length);
            if (dropped <= 0) return dropped < 0;
            after += dropped;
        }
        return true;
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

    // Whether every probe occurs before `stop`, where the text ends. A
    // character never ends at `stop`: a NUL or 0x1A is no second byte.
    bool AllBefore(const unsigned char* block, int stop, int length, unsigned given) const {
        unsigned found = given;
        int at = 0;
        for (; at + kStep < stop; at += kStep) {
            found |= FoundIn(blocks::Window(block + at), block, at, length, found);
        }
        return FoundFrom(block, at, stop, found) == AllFound();
    }

    // The probes not found yet that begin in the window at `at`. Mostly a
    // probe's first character is not there, which the vectors tell at once.
    unsigned FoundIn(const blocks::Window& window, const unsigned char* block, int at, int length,
                     unsigned found) const {
        for (int i = 0; i < m_count; ++i) {
            if ((found >> i & 1) == 0 && window.Holds(m_wanted[i]) &&
                FollowedInWindow(i, window, block, at, length)) {
                found |= 1u << i;
            }
        }
        return found;
    }

    // Where the first character of probe `i` begins in the window, the bytes
    // after it are looked at one place at a time.
    bool FollowedInWindow(int i, const blocks::Window& window, const unsigned char* block, int at,
                          int length) const {
        const Probe& probe = m_probes[i];
        if (probe.next.length == 0) return true;
        for (std::uint64_t starts = window.Starts(m_wanted[i]); starts != 0; starts &= starts - 1) {
            if (FollowedAt(probe, block, at + std::countr_zero(starts), length)) return true;
        }
        return false;
    }

    // The probes of `found`, and those that begin wholly between `from` and
    // `length`, where the bytes end. Each probe's first byte is found by
    // memchr, which also keeps the look cheap where the code is instrumented
    // byte by byte (the fuzz build).
    unsigned FoundFrom(const unsigned char* block, int from, int length, unsigned found) const {
        for (int i = 0; i < m_count; ++i) {
            if ((found >> i & 1) != 0) continue;
            const Probe& probe = m_probes[i];
            const int last = length - probe.first.length;  // the last place it may begin
            for (int at = from; at <= last;) {
                const void* next = std::memchr(block + at, probe.first.bytes[0],
                                               static_cast<size_t>(last - at + 1));
                if (next == nullptr) break;
                at = static_cast<int>(static_cast<const unsigned char*>(next) - block);
                if (CharAt(probe.first, block, at, length) &&
                    FollowedAt(probe, block, at, length)) {
                    found |= 1u << i;
                    break;
                }
                ++at;
            }
        }
        return found;
    }

    Probe m_probes[kMaxProbes] = {};
    blocks::Wanted m_wanted[kMaxProbes];  // the first character of each probe
    unsigned m_highFirst = 0;             // the probes whose first byte is from 0x80 up
    int m_count = 0;
};

}  // namespace sjis
