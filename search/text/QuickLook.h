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
    // The rarest pairs of adjacent characters of `word` are looked for in
    // code page 932, its rarest characters in every Unicode character that
    // converts to them.
    void Add(const char* word) {
        m_cp932.Add(word);
        WordChar rarest[2];
        RarestChars(word, rarest);
        for (const WordChar& c : rarest) {
            if (c.length != 0) m_unicode.Add(c.bytes[0], c.bytes[1], c.length);
        }
    }

    // False only when the text gathered from `bytes`, at most `limit` bytes,
    // surely lacks a word; true once anything was read from them. A block
    // without a mark is either code page 932 or UTF-8: it is passed over when
    // it is surely UTF-8 and that text lacks a word, or when neither reading
    // of it can hold the words.
    bool MayHoldWords(const TextFileBytes& bytes, int limit) const {
        const CTextDecoder::FirstBlock block = bytes.FirstBlock();
        if (block.bytes == nullptr) return true;
        const int length = static_cast<int>(block.length);
        switch (block.marked) {
            case TextEncoding::kUtf8:
                return m_unicode.MayAllOccurUtf8(block.bytes, length, block.fileEnds, limit);
            case TextEncoding::kUtf16Le:
            case TextEncoding::kUtf16Be:
                return m_unicode.MayAllOccurUtf16(block.bytes, length, block.fileEnds, limit,
                                                  block.marked == TextEncoding::kUtf16Be);
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

  private:
    WordProbes m_cp932;
    UnicodeProbes m_unicode;
};

}  // namespace sjis
