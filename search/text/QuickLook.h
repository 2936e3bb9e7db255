// The quick look at a file's first block before its text is gathered,
// whatever the file's encoding: a file whose bytes show that its text cannot
// hold the words is passed over without converting or gathering it.
#pragma once

#include "search/text/SjisReader.h"
#include "search/text/UnicodeProbe.h"
#include "search/text/WordProbe.h"

namespace sjis {

class QuickLook {
  public:
    // The rarest pairs of adjacent characters of `word` are looked for, in
    // code page 932 and in every Unicode character that converts to their
    // first character.
    void Add(const char* word) {
        const int before = m_cp932.Count();
        m_cp932.Add(word);
        for (int i = before; i < m_cp932.Count(); ++i) {
            const WordChar first = m_cp932.First(i);
            m_unicode.Add(first.bytes[0], first.bytes[1], first.length, FormOf(m_cp932.Next(i)));
        }
    }

    // False only when the text gathered from `bytes`, at most `limit` bytes,
    // surely lacks a word; true once anything was read from them. A block
    // without a mark is either code page 932 or UTF-8: it is passed over when
    // it is surely UTF-8 and that text lacks a word, or when neither reading
    // of it can hold the words. What the look at a UTF-16 block saw goes to
    // `seen`, for a look at more of the file.
    using Utf16Seen = UnicodeProbes::Utf16Seen;
    bool MayHoldWords(const TextFileBytes& bytes, int limit) const {
        Utf16Seen seen;
        return MayHoldWords(bytes, limit, seen);
    }
    bool MayHoldWords(const TextFileBytes& bytes, int limit, Utf16Seen& seen) const {
        const CTextDecoder::FirstBlock block = bytes.FirstBlock();
        if (block.bytes == nullptr) return true;
        const int length = static_cast<int>(block.length);
        switch (block.marked) {
            case TextEncoding::kUtf8:
                return m_unicode.MayAllOccurUtf8(block.bytes, length, block.fileEnds, limit);
            case TextEncoding::kUtf16Le:
            case TextEncoding::kUtf16Be:
                return m_unicode.MayAllOccurUtf16(block.bytes, length, block.fileEnds, limit,
                                                  block.marked == TextEncoding::kUtf16Be, seen);
            case TextEncoding::kCp932:
                break;
        }
        switch (m_unicode.LookUnmarked(block.bytes, length, block.fileEnds, limit)) {
            case UnicodeProbes::Utf8Verdict::kMayHold:
                return true;
            case UnicodeProbes::Utf8Verdict::kLacks:
                return false;
            case UnicodeProbes::Utf8Verdict::kCp932Tells:
                break;
        }
        return m_cp932.MayAllOccur(block.bytes, length, block.fileEnds, limit);
    }

    // A UTF-16 block holds about half the text of a code page 932 block, so
    // its first block often cannot show that the text is full before it
    // lacks a word. Whether a look at more of such a file may tell:
    // `bytes`' first block is UTF-16, the file goes on after it, and the
    // block did not show every word's characters to the first look, which
    // saw `seen`.
    bool LooksFurtherAt(const TextFileBytes& bytes, const Utf16Seen& seen) const {
        const CTextDecoder::FirstBlock block = bytes.FirstBlock();
        const bool utf16 =
            block.marked == TextEncoding::kUtf16Le || block.marked == TextEncoding::kUtf16Be;
        return utf16 && block.bytes != nullptr && !block.fileEnds && !m_unicode.AllOf(seen.found);
    }
    // MayHoldWords for the first `length` bytes after the mark of a UTF-16
    // file of encoding `marked` (which ends there when `fileEnds`), whose
    // first `from` bytes the look that saw `seen` looked at.
    bool MayHoldWordsInUtf16(const unsigned char* bytes, int length, bool fileEnds,
                             TextEncoding marked, int limit, Utf16Seen seen, int from) const {
        return m_unicode.MayAllOccurUtf16(bytes, length, fileEnds, limit,
                                          marked == TextEncoding::kUtf16Be, seen, from);
    }

    // A whole file looked at after its first block, in the encoding it is
    // read in: `found` and the probes that may occur in a part of it (see
    // WordProbes::FoundInPart and UnicodeProbes::FoundInPart). A file where
    // some probe occurs in no part cannot hold the words.
    static constexpr int kPartOverlap = WordProbes::kPartOverlap;
    unsigned FoundInPart(const unsigned char* part, int length, TextEncoding encoding,
                         unsigned found) const {
        return encoding == TextEncoding::kCp932
                   ? m_cp932.FoundInPart(part, length, found)
                   : m_unicode.FoundInPart(part, length, encoding, found);
    }
    bool AllFound(TextEncoding encoding, unsigned found) const {
        return encoding == TextEncoding::kCp932 ? m_cp932.AllOf(found) : m_unicode.AllOf(found);
    }
    // The bits of every probe, as the parts' looks of `encoding` give them.
    unsigned AllProbes(TextEncoding encoding) const {
        return encoding == TextEncoding::kCp932 ? m_cp932.AllProbes() : m_unicode.AllProbes();
    }
    bool LooksForAnything() const { return m_cp932.Count() > 0; }
    // How a file whose first block is `block` is read, told without
    // converting the block where its bytes show how.
    static TextEncoding EncodingOf(TextFileBytes& bytes, const CTextDecoder::FirstBlock& block) {
        if (block.marked != TextEncoding::kCp932) return block.marked;
        const int length = static_cast<int>(block.length);
        if (UnicodeProbes::SurelyCodePage932(block.bytes, length)) return TextEncoding::kCp932;
        if (UnicodeProbes::SurelyUtf8(block.bytes, length)) return TextEncoding::kUtf8;
        return bytes.Encoding();
    }

  private:
    // The form a converted character must have to be `c`; 0 for none, or for
    // a lead byte alone (the end of a word), which begins many forms.
    static unsigned FormOf(const WordChar& c) {
        if (c.length == 2) return unsigned{c.bytes[0]} << 8 | c.bytes[1];
        return c.length == 1 && !cp932::IsLeadByte(c.bytes[0]) ? c.bytes[0] : 0;
    }

    WordProbes m_cp932;
    UnicodeProbes m_unicode;
};

}  // namespace sjis
