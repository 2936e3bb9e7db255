// The quick look for files written in UTF-8 or UTF-16, made on the bytes as
// they stand in the file, before any conversion: when no Unicode character
// that converts to a word's character is among the bytes the gathering would
// read, the word cannot be in the text.
//
// This holds because converted text is made of whole code page 932 forms, so
// a word that matches at a character boundary matches form by form: each of
// its characters is the form of a character of the file. The bytes read lie
// inside the first block when the file ends there, when a NUL or 0x1A ends
// the text there, or when the characters of the block whose forms are surely
// kept (ASCII other than blanks and line ends, and two-byte forms that do not
// begin with 0x81) already fill the text. A block without a mark that the
// look finds valid UTF-8 to its end is read as UTF-8 by the decoder too, so
// its code page 932 reading need not be looked at.
#pragma once

#include "search/text/TextDecoder.h"

#include "search/text/Utf8Runs.h"

namespace sjis {

class UnicodeProbes {
  public:
    static constexpr int kMaxProbes = 8;
    // Unicode characters looked for per probe; a form shared by more is not
    // looked for.
    static constexpr int kMaxForms = 4;
    static_assert(kMaxProbes * kMaxForms <= utf8runs::Needles::kMax);

    // Looks for the code page 932 character `first` (and `second` when
    // `length` is 2) in every Unicode character whose form it is, followed
    // as the text could follow it with the character of form `next` (0:
    // alone; NextForm.h).
    void Add(unsigned char first, unsigned char second, int length, unsigned next);

    // False only when the text converted from `block` (`length` bytes after
    // the mark, the start of a file that ends there when `fileEnds`), at
    // most `limit` bytes, surely lacks one of the characters.
    bool MayAllOccurUtf8(const unsigned char* block, int length, bool fileEnds, int limit) const;
    // What a look at the start of a UTF-16 text saw: the probes found, and
    // those looked for (a look stops at the first probe missing). A look at
    // more of the text then looks for the latter only in the bytes after.
    struct Utf16Seen {
        unsigned found = 0;
        unsigned looked = 0;
        int keptBytes = 0;  // surely kept, counted where the text did not end
    };
    // For UTF-16, `seen` is what a look at the bytes before `from` saw (the
    // first block, when the first two are looked at), and then what this
    // look saw.
    bool MayAllOccurUtf16(const unsigned char* block, int length, bool fileEnds, int limit,
                          bool bigEndian, Utf16Seen& seen, int from = 0) const;
    // What the UTF-8 reading of a block without a mark tells of the words.
    enum class Utf8Verdict : unsigned char {
        kMayHold,     // its text may hold them all
        kLacks,       // the decoder reads the block as UTF-8, and its text surely lacks one
        kCp932Tells,  // the block is no UTF-8, or it may be none and its UTF-8 text
                      // lacks one: its code page 932 reading decides
    };
    // Whether a block without a mark is surely read as code page 932: it has
    // no byte from 0x80 up, or its first such byte begins no UTF-8
    // character. Cheaper than telling its encoding, which converts it.
    static bool SurelyCodePage932(const unsigned char* block, int length);
    // Whether a block without a mark is surely read as UTF-8: it is valid
    // UTF-8 to its end and holds a character of two bytes or more.
    static bool SurelyUtf8(const unsigned char* block, int length);
    Utf8Verdict LookUnmarked(const unsigned char* block, int length, bool fileEnds,
                             int limit) const;

    // A whole UTF-8 or UTF-16 file looked at in parts, each beginning with
    // the last bytes of the one before (at least 3): the probes whose
    // character stands in `part`, in any of its forms, followed as the text
    // could follow it, added to `found`. A file where some probe is found in
    // no part cannot hold the words: each character of its text stands whole
    // in its bytes, and one at a part's end may be followed by anything.
    unsigned FoundInPart(const unsigned char* part, int length, TextEncoding encoding,
                         unsigned found) const;
    bool AllOf(unsigned found) const { return ((found | m_anywhere) & m_allFound) == m_allFound; }
    unsigned AllProbes() const { return m_allFound; }

  private:
    struct Probe {
        bool anywhere;  // not looked for: counts as found
        int forms;
        char16_t units[kMaxForms];
        unsigned short next;  // the form that must follow, 0 for none
    };

    // Whether the probe's character, in one of its forms, stands in the
    // UTF-16 `block` followed as the text could follow it.
    static bool FoundUtf16(const Probe& probe, const unsigned char* block, int from, int length,
                           bool bigEndian);
    // Looks for each probe not found yet in the UTF-16 `block`, from `from`
    // on for those looked for before and from its start for the others,
    // until one is missing.
    void LookUtf16(const unsigned char* block, int from, int length, bool bigEndian,
                   Utf16Seen& seen) const;

    Probe m_probes[kMaxProbes] = {};
    int m_count = 0;
    int m_lookedFor = 0;          // probes that are not `anywhere`
    unsigned m_allFound = 0;      // one bit per probe
    unsigned m_anywhere = 0;      // the bits of the probes not looked for
    utf8runs::Needles m_needles;  // the UTF-8 of the probes' characters
};

}  // namespace sjis
