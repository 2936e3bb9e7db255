#include "search/text/TextFold.h"

#include <sorahiki/cp932.h>

namespace text_fold {
namespace {

// The full-width katakana of the half-width ones, 0xA1 to 0xDF, as the second
// byte after 0x83; 0 where the full-width form is a 0x81 character (｡ ｢ ｣ ､
// ･ ｰ ﾞ ﾟ), which gathering would drop.
constexpr unsigned char kKatakana[0xE0 - 0xA1] = {
    0,    0,    0,    0,    0,                                   // ｡｢｣､･
    0x92, 0x40, 0x42, 0x44, 0x46, 0x48, 0x83, 0x85, 0x87, 0x62,  // ｦｧｨｩｪｫｬｭｮｯ
    0,                                                           // ｰ
    0x41, 0x43, 0x45, 0x47, 0x49,                                // ｱｲｳｴｵ
    0x4A, 0x4C, 0x4E, 0x50, 0x52, 0x54, 0x56, 0x58, 0x5A, 0x5C,  // ｶ..ｿ
    0x5E, 0x60, 0x63, 0x65, 0x67,                                // ﾀﾁﾂﾃﾄ
    0x69, 0x6A, 0x6B, 0x6C, 0x6D,                                // ﾅﾆﾇﾈﾉ
    0x6E, 0x71, 0x74, 0x77, 0x7A,                                // ﾊﾋﾌﾍﾎ
    0x7D, 0x7E, 0x80, 0x81, 0x82, 0x84, 0x86, 0x88,              // ﾏﾐﾑﾒﾓﾔﾕﾖ
    0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8F, 0x93,                    // ﾗﾘﾙﾚﾛﾜﾝ
    0,    0,                                                     // ﾞﾟ
};

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;
constexpr unsigned char kVu = 0x94;  // ヴ after 0x83

// ｶ to ﾄ and ﾊ to ﾎ take the voiced mark, their full-width letter + 1; ﾊ to
// ﾎ the semi-voiced one, + 2; ｳ with the voiced mark is ヴ.
bool TakesVoicedMark(unsigned char c) {
    return c == 0xB3 || (c >= 0xB6 && c <= 0xC4) || (c >= 0xCA && c <= 0xCE);
}
bool TakesSemiVoicedMark(unsigned char c) {
    return c >= 0xCA && c <= 0xCE;
}

FoldedChar Single(unsigned char c) {
    return FoldedChar{{c, 0}, 1, 1};
}
FoldedChar Pair(unsigned char first, unsigned char second, unsigned char taken) {
    return FoldedChar{{first, second}, 2, taken};
}

FoldedChar HalfWidthKatakana(std::string_view text) {
    const auto c = static_cast<unsigned char>(text[0]);
    const unsigned char second = kKatakana[c - 0xA1];
    if (second == 0) return FoldedChar{{0, 0}, 0, 1};
    const auto mark = text.size() > 1 ? static_cast<unsigned char>(text[1]) : 0;
    if (mark == kVoicedMark && TakesVoicedMark(c)) {
        return Pair(0x83, c == 0xB3 ? kVu : static_cast<unsigned char>(second + 1), 2);
    }
    if (mark == kSemiVoicedMark && TakesSemiVoicedMark(c)) {
        return Pair(0x83, static_cast<unsigned char>(second + 2), 2);
    }
    return Pair(0x83, second, 1);
}

FoldedChar Ascii(int c, unsigned char taken) {
    return FoldedChar{{static_cast<unsigned char>(c), 0}, 1, taken};
}

// Full-width digits and Latin letters, 0x824F to 0x829A, as ASCII.
FoldedChar NarrowLatin(FoldedChar c) {
    if (c.length != 2 || c.bytes[0] != 0x82) return c;
    const int second = c.bytes[1];
    if (second >= 0x4F && second <= 0x58) return Ascii('0' + (second - 0x4F), c.taken);
    if (second >= 0x60 && second <= 0x79) return Ascii('A' + (second - 0x60), c.taken);
    if (second >= 0x81 && second <= 0x9A) return Ascii('a' + (second - 0x81), c.taken);
    return c;
}

// Hiragana ぁ to ん, 0x829F to 0x82F1, as katakana ァ to ン, 0x8340 to 0x8393,
// which skip 0x837F.
FoldedChar Katakana(FoldedChar c) {
    if (c.length != 2 || c.bytes[0] != 0x82 || c.bytes[1] < 0x9F || c.bytes[1] > 0xF1) return c;
    int second = 0x40 + (c.bytes[1] - 0x9F);
    if (second >= 0x7F) ++second;
    return Pair(0x83, static_cast<unsigned char>(second), c.taken);
}

FoldedChar SmallLetter(FoldedChar c) {
    if (c.length == 1 && c.bytes[0] >= 'A' && c.bytes[0] <= 'Z') {
        c.bytes[0] = static_cast<unsigned char>(c.bytes[0] + ('a' - 'A'));
    } else if (c.length == 2 && c.bytes[0] == 0x82 && c.bytes[1] >= 0x60 && c.bytes[1] <= 0x79) {
        c.bytes[1] = static_cast<unsigned char>(c.bytes[1] + (0x81 - 0x60));
    }
    return c;
}

bool IsHalfWidthKatakana(unsigned char c) {
    return c >= 0xA1 && c <= 0xDF;
}

}  // namespace

FoldedChar FoldAt(std::string_view text, FoldRules rules) {
    const auto first = static_cast<unsigned char>(text[0]);
    FoldedChar c = cp932::IsLeadByte(first) && text.size() > 1
                       ? Pair(first, static_cast<unsigned char>(text[1]), 2)
                       : Single(first);
    if (rules.bWidth) {
        c = IsHalfWidthKatakana(first) ? HalfWidthKatakana(text) : NarrowLatin(c);
    }
    if (rules.bKana) c = Katakana(c);
    if (rules.bCase) c = SmallLetter(c);
    return c;
}

FoldedText FoldText(std::string_view text, FoldRules rules, bool more, char* out,
                    unsigned short* sourceAt) {
    const int size = static_cast<int>(text.size());
    int at = 0;
    int length = 0;
    while (at < size) {
        const auto first = static_cast<unsigned char>(text[at]);
        if (more && at + 1 == size && rules.bWidth && TakesVoicedMark(first)) break;
        const FoldedChar c = FoldAt(text.substr(static_cast<size_t>(at)), rules);
        for (int i = 0; i < c.length; ++i) {
            out[length] = static_cast<char>(c.bytes[i]);
            sourceAt[length++] = static_cast<unsigned short>(at);
        }
        at += c.taken;
    }
    out[length] = '\0';
    sourceAt[length] = static_cast<unsigned short>(at);
    return FoldedText{length, at};
}

void FoldWord(const char* word, FoldRules rules, char* out) {
    const std::string_view text(word);
    int length = 0;
    for (size_t at = 0; at < text.size();) {
        const FoldedChar c = FoldAt(text.substr(at), rules);
        for (int i = 0; i < c.length; ++i) out[length++] = static_cast<char>(c.bytes[i]);
        at += c.taken;
    }
    out[length] = '\0';
}

}  // namespace text_fold
