// What a session store keeps of a file's gathered text: which characters
// stand next to which, and which characters stand in it at all, each hashed
// into a fixed set of bits. A word can stand in the text only where each of
// its characters stands, each followed by the next one, so a word with a
// character or a pair missing from the sets surely is not there; one whose
// keys are all there may be, and only reading the text tells. The answer
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
    // 768 bytes. A full text of about 1,000 characters has some 1,000
    // distinct pairs and 500 distinct characters: a bit in five of each set
    // is set, so a word of two characters (a pair and two characters) is
    // ruled out in all but about one file in a hundred that lack it.
    static constexpr int kPairBits = 4096;
    static constexpr int kCharBits = 2048;

    void Clear();
    // The sets of `text` (code page 932 text of whole characters, as
    // gathered).
    void Fill(std::string_view text);
    // False only when `word` surely does not stand in the text filled.
    bool MayHold(std::string_view word) const;

  private:
    static std::uint32_t Hash(std::uint32_t key) { return key * 0x9E3779B1u; }
    static std::uint32_t PairBit(std::uint32_t key) { return Hash(key) >> 20; }
    static std::uint32_t CharBit(std::uint32_t code) { return kPairBits + (Hash(code) >> 21); }
    void Set(std::uint32_t bit) { m_bits[bit / 64] |= std::uint64_t{1} << (bit % 64); }
    bool Has(std::uint32_t bit) const { return (m_bits[bit / 64] >> (bit % 64) & 1) != 0; }

    std::uint64_t m_bits[(kPairBits + kCharBits) / 64];
};

static_assert(CPairSet::kPairBits == 1 << 12 && CPairSet::kCharBits == 1 << 11,
              "PairBit keeps 12 bits of the hash, CharBit 11");

}  // namespace store
