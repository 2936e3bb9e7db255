// What a session store keeps of a file's gathered text: which characters
// stand next to which, hashed into a fixed set of bits. A word can stand in
// the text only where each of its characters is followed by the next one, so
// a word with a pair missing from the set surely is not there; one whose
// pairs are all there may be, and only reading the text tells. The answer
// "surely not" is exact by the match rule (text/WordMatch.h): a word matches
// at a character boundary, where the text's characters are the word's own.
// Plain data, no thread of its own: whoever fills a set owns it until it is
// handed on.
#pragma once

#include <cstdint>
#include <string_view>

namespace store {

class CPairSet {
  public:
    // 768 bytes: about 2,000 pairs and characters of a full text leave a
    // bit in four set, so a word of two characters (three keys) is ruled out
    // in all but about one file in fifty that lack it.
    static constexpr int kBits = 6144;

    void Clear();
    // The set of `text` (code page 932 text of whole characters, as
    // gathered): every pair of adjacent characters, and each character on
    // its own.
    void Fill(std::string_view text);
    // False only when `word` surely does not stand in the text filled.
    bool MayHold(std::string_view word) const;

  private:
    void Add(std::uint32_t key) { m_bits[Bit(key) / 64] |= std::uint64_t{1} << (Bit(key) % 64); }
    bool Has(std::uint32_t key) const {
        return (m_bits[Bit(key) / 64] >> (Bit(key) % 64) & 1) != 0;
    }
    static std::uint32_t Bit(std::uint32_t key) {
        return static_cast<std::uint32_t>(std::uint64_t{key * 0x9E3779B1u} * kBits >> 32);
    }

    std::uint64_t m_bits[kBits / 64];
};

static_assert(CPairSet::kBits % 64 == 0);

}  // namespace store
