// What the fuzz targets share: a failed property aborts (so libFuzzer keeps
// the input), in-memory byte sources for the Shift-JIS reader, a temporary
// DATA folder, and the rules of Shift-JIS text as a plain reference.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "search/text/SjisReader.h"
#include "search/text/TextDecoder.h"
#include "tests/support/MemoryBytes.h"

namespace fuzz {

inline void Require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

inline bool IsSecondByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// The bytes a file gives in text mode: a CR directly before an LF is dropped,
// a byte 0x1A ends the input.
inline std::string TextModeBytes(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        auto b = static_cast<unsigned char>(raw[i]);
        if (b == 0x1A) break;
        if (b == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        out += static_cast<char>(b);
    }
    return out;
}

using testing_support::ByteByByte;
using testing_support::MemoryBytes;

// One Shift-JIS character as the rules read it; `length` 0 at the end.
struct Character {
    unsigned char bytes[2];
    int length;
    bool IsText() const {
        return length == 2 ? bytes[0] != 0x81 : bytes[0] != ' ' && bytes[0] != '\n';
    }
};

// Reads characters: a lead byte forms a character with the next byte only
// when that byte can be a second byte; otherwise the lead byte alone is
// dropped and the next byte starts a character of its own.
class Characters {
  public:
    explicit Characters(std::string_view bytes) : m_bytes(bytes) {}
    Character Next() {
        while (m_pos < m_bytes.size()) {
            auto b = static_cast<unsigned char>(m_bytes[m_pos++]);
            if (!sjis::IsLeadByte(b)) return Character{{b, 0}, 1};
            if (m_pos < m_bytes.size() && IsSecondByte(m_bytes[m_pos])) {
                return Character{{b, static_cast<unsigned char>(m_bytes[m_pos++])}, 2};
            }
        }
        return Character{{0, 0}, 0};
    }

  private:
    std::string_view m_bytes;
    size_t m_pos = 0;
};

// True when `text` is whole characters that are all kept text: no blank, no
// line feed, no NUL, no character that begins with 0x81, no lead byte without
// its second byte.
inline bool IsWholeKeptText(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        auto b = static_cast<unsigned char>(text[i]);
        if (b == 0 || b == ' ' || b == '\n' || b == 0x81) return false;
        if (sjis::IsLeadByte(b)) {
            if (i + 1 == text.size() || !IsSecondByte(text[i + 1])) return false;
            ++i;
        }
    }
    return true;
}

// True when the file layer reads the file at `path` as code page 932 as it
// is; a file it tells to be UTF-8 or UTF-16 is converted first, and the rules
// of the text then hold for the converted bytes.
inline bool ReadAsItIs(const char* path) {
    sjis::OpenFile file(path);
    Require(file.IsOpen(), "the written file opens");
    CTextDecoder decoder;
    decoder.m_sub_Begin(file.Handle());
    return decoder.m_sub_Encoding() == TextEncoding::kCp932;
}

// A fresh DATA folder in a temporary directory (in memory where the system
// has /dev/shm), which becomes the current directory; removed at exit.
inline void EnterTemporaryDataFolder() {
    static std::filesystem::path root;
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/sorahiki-fuzz-XXXXXX";
    Require(mkdtemp(pattern.data()) != nullptr, "a temporary folder can be made");
    root = pattern;
    std::filesystem::create_directory(root / "DATA");
    std::filesystem::current_path(root);
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    });
}

inline void WriteFile(const char* path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Require(out.good(), "the input file can be written");
}

}  // namespace fuzz
