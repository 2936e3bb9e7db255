// Code page 932 forms over the system's own table, asked one character at a
// time: only then does "the default character was used" name the character
// that has no form.
#include <windows.h>

#include <sorahiki/cp932forms.h>

bool ReadCp932Forms(unsigned short forms[kBmpSize]) {
    for (int c = 0; c < kBmpSize; ++c) {
        forms[c] = 0;
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        wchar_t unit = static_cast<wchar_t>(c);
        char bytes[4];
        BOOL usedDefault = FALSE;
        int length = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &unit, 1, bytes, sizeof bytes,
                                         nullptr, &usedDefault);
        if (usedDefault) continue;
        auto first = static_cast<unsigned char>(bytes[0]);
        auto second = static_cast<unsigned char>(bytes[1]);
        if (length == 1) forms[c] = first;
        if (length == 2) forms[c] = static_cast<unsigned short>(first << 8 | second);
    }
    return true;
}
