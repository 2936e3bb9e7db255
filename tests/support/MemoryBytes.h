// A file's bytes in memory with the interface of the reader's file source, so
// that the Shift-JIS reader's fast paths meet a buffer's end next to every
// kind of byte; and the same bytes one at a time only, for the reader's
// character-by-character path. Shared by the tests and the fuzz targets.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string_view>

#include "search/text/SjisReader.h"

namespace testing_support {

// Next() gives the bytes in text mode, Unread() the raw bytes of the current
// buffer, which ends at every multiple of `bufferBytes`.
class MemoryBytes {
  public:
    MemoryBytes(std::string_view raw, size_t bufferBytes) : m_raw(raw), m_buffer(bufferBytes) {}
    int Next() {
        while (m_pos < m_raw.size()) {
            auto b = static_cast<unsigned char>(m_raw[m_pos++]);
            if (b == 0x1A) break;
            if (b == '\r' && m_pos < m_raw.size() && m_raw[m_pos] == '\n') continue;
            return b;
        }
        m_pos = m_raw.size();
        return sjis::kEndOfInput;
    }
    const unsigned char* Unread() const {
        return reinterpret_cast<const unsigned char*>(m_raw.data()) + m_pos;
    }
    DWORD UnreadCount() const {
        size_t bufferEnd = (m_pos / m_buffer + 1) * m_buffer;
        return static_cast<DWORD>(std::min(bufferEnd, m_raw.size()) - m_pos);
    }
    void Skip(DWORD count) { m_pos += count; }

  private:
    std::string_view m_raw;
    size_t m_buffer;
    size_t m_pos = 0;
};

// The same bytes one at a time only: the reader's character-by-character path.
class ByteByByte {
  public:
    explicit ByteByByte(std::string_view raw) : m_bytes(raw, raw.size() + 1) {}
    int Next() { return m_bytes.Next(); }

  private:
    MemoryBytes m_bytes;
};

}  // namespace testing_support
