// Code page 932 forms over iconv: one converter, opened for the table and
// reset before each character, so that a character without a form leaves no
// state behind.
#include <iconv.h>

#include "platform/cp932forms.h"

void ReadCp932Forms(unsigned short forms[kBmpSize]) {
    for (int c = 0; c < kBmpSize; ++c) forms[c] = 0;
    iconv_t converter = iconv_open("CP932", "UTF-16LE");
    if (converter == reinterpret_cast<iconv_t>(-1)) return;
    for (int c = 0; c < kBmpSize; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        char unit[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        char bytes[4];
        char* in = unit;
        size_t inLeft = sizeof unit;
        char* out = bytes;
        size_t outLeft = sizeof bytes;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) continue;
        auto first = static_cast<unsigned char>(bytes[0]);
        auto second = static_cast<unsigned char>(bytes[1]);
        size_t length = static_cast<size_t>(out - bytes);
        if (length == 1) forms[c] = first;
        if (length == 2) forms[c] = static_cast<unsigned short>(first << 8 | second);
    }
    iconv_close(converter);
}
