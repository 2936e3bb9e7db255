// The bytes of a file as code page 932 text, whatever of the three encodings
// it is written in. The encoding is told from the file's first block:
// - a mark EF BB BF: UTF-8; FF FE: UTF-16 little-endian; FE FF: UTF-16
//   big-endian (the mark itself is not text);
// - no mark, and the block is valid UTF-8 (a character cut off by the block's
//   end allowed) holding at least one character of two or more bytes: UTF-8;
// - anything else: code page 932, given out as it is.
// UTF-8 and UTF-16 are converted a block at a time into a fixed buffer. A
// character with no code page 932 form and a sequence that is no character
// are dropped. The text-mode rules (CR LF, 0x1A) are not applied here: they
// act on the converted bytes.
#pragma once

#include <windows.h>

enum class TextEncoding : unsigned char { kCp932, kUtf8, kUtf16Le, kUtf16Be };

class CTextDecoder {
  public:
    static constexpr DWORD kBlockBytes = 4096;

    // Takes an open file from its start, reading its first block.
    void m_sub_Begin(HANDLE hFile);
    // Takes an open file whose first block was read already: `length` bytes,
    // fewer than kBlockBytes only when the file ends there, with the file's
    // position after them. The block must stay as it is while it is read.
    void m_sub_Begin(HANDLE hFile, const unsigned char* pFirstBlock, DWORD length);

    // Points `pData` at the next bytes of code page 932 text and returns
    // how many there are; 0 at the end of the file.
    DWORD m_sub_Fill(const unsigned char*& pData);

    // Tells the encoding of a file without a mark, when that was left until
    // now.
    TextEncoding m_sub_Encoding() {
        if (m_bUntold) m_sub_TryUtf8();
        return m_encoding;
    }
    // The system's error when a read of the file failed (a failing disk, a
    // share that went away), else ERROR_SUCCESS. The text then ends where
    // the failed read began: it is not the file's whole text.
    DWORD m_sub_ReadError() const { return m_dwReadError; }

    // The first block as it stands in the file, after its mark, before
    // anything is converted or given out.
    struct FirstBlock {
        const unsigned char* bytes;  // nullptr once the block was taken
        DWORD length;
        bool fileEnds;  // the file ends with it
        // The encoding its mark names; kCp932 when it has none, and then the
        // block is UTF-8 when it is valid UTF-8 (told only when first read).
        TextEncoding marked;
    };
    FirstBlock m_sub_FirstBlock() const {
        const unsigned char* bytes = m_bFirstBlockWhole ? m_pPending : nullptr;
        return FirstBlock{bytes, m_nPending, m_bFileEnded, m_encoding};
    }

  private:
    void m_sub_TryUtf8();
    bool m_sub_ReadMore();
    DWORD m_sub_Read(unsigned char* pInto, DWORD nBytes);

    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    TextEncoding m_encoding = TextEncoding::kCp932;
    const unsigned char* m_pPending = nullptr;  // bytes read, not given out yet
    DWORD m_nPending = 0;
    DWORD m_nReady = 0;  // converted bytes in m_text not given out yet
    bool m_bFileEnded = true;
    bool m_bUntold = false;           // no mark, and whether it is UTF-8 is not told yet
    bool m_bFirstBlockWhole = false;  // nothing of the first block taken yet
    DWORD m_dwReadError = ERROR_SUCCESS;
    unsigned char m_raw[kBlockBytes];
    unsigned char m_text[kBlockBytes];  // never more than the bytes converted
};
