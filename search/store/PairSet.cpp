// The pairs of adjacent characters of a gathered text (PairSet.h).
#include "search/store/PairSet.h"

#include <cstring>

#include <sorahiki/cp932.h>

namespace store {

namespace {

// What stands before the text's first character: no character's code.
constexpr std::uint32_t kStart = 0xFFFF;

// The code of the character at `at` and its length; a lead byte at the end
// stands alone, one byte long.
std::uint32_t CharAt(std::string_view text, size_t at, size_t& length) {
    const auto first = static_cast<unsigned char>(text[at]);
    if (cp932::IsLeadByte(first) && at + 1 < text.size()) {
        length = 2;
        return static_cast<std::uint32_t>(first) << 8 | static_cast<unsigned char>(text[at + 1]);
    }
    length = 1;
    return first;
}

std::uint32_t PairKey(std::uint32_t first, std::uint32_t second) {
    return first << 16 | second;
}

}  // namespace

void CPairSet::Clear() {
    std::memset(m_bits, 0, sizeof m_bits);
}

// The text's bytes are taken without a branch on the kind of character: a
// character's length and code come from a table of lead bytes, and the byte
// after the last one is the text's NUL or end, never a second byte.
void CPairSet::Fill(std::string_view text) {
    Clear();
    static const auto leads = [] {
        struct Table {
            unsigned char lead[256];
        } table{};
        for (int c = 0; c < 256; ++c) table.lead[c] = cp932::IsLeadByte(static_cast<unsigned char>(c));
        return table;
    }();
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size();
    std::uint32_t before = kStart;
    for (size_t at = 0; at < size;) {
        const std::uint32_t first = bytes[at];
        const std::uint32_t two = leads.lead[first] & static_cast<unsigned>(at + 1 < size);
        const std::uint32_t second = two != 0 ? bytes[at + 1] : 0;
        const std::uint32_t here = two != 0 ? (first << 8 | second) : first;
        Set(CharBit(here));
        Set(PairBit(PairKey(before, here)));
        before = here;
        at += 1 + two;
    }
}

// A word that ends in a lead byte matches a text where that byte begins a
// character of two: its last byte tells nothing of a pair, and is left out.
bool CPairSet::MayHold(std::string_view word) const {
    if (!word.empty() && cp932::IsLeadByte(static_cast<unsigned char>(word.back()))) {
        size_t at = 0, length = 0;
        while (at + 1 < word.size()) {
            CharAt(word, at, length);
            at += length;
        }
        if (at == word.size() - 1) word.remove_suffix(1);
    }
    if (word.empty()) return true;
    size_t length = 0;
    std::uint32_t before = CharAt(word, 0, length);
    if (!Has(CharBit(before))) return false;
    for (size_t at = length; at < word.size(); at += length) {
        const std::uint32_t here = CharAt(word, at, length);
        if (!Has(CharBit(here)) || !Has(PairBit(PairKey(before, here)))) return false;
        before = here;
    }
    return true;
}

}  // namespace store
