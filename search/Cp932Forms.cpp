// The table of code page 932 forms, built on first use.
#include "search/Cp932Forms.h"

#include "platform/cp932forms.h"

namespace cp932 {
namespace {

struct TwoForms {
    char32_t first;
    char32_t second;
};

constexpr TwoForms kTwoForms[] = {
    {0x301C, 0xFF5E}, {0x2212, 0xFF0D}, {0x2016, 0x2225}, {0x2014, 0x2015},
    {0x00A2, 0xFFE0}, {0x00A3, 0xFFE1}, {0x00AC, 0xFFE2},
};

bool KeepsOneByteForm(int c, unsigned short form) {
    if (form < 0x80) return form == c;
    return form >= 0xA1 && form <= 0xDF && c >= 0x80;
}

struct Table {
    unsigned short forms[kBmpSize];

    Table() {
        ReadCp932Forms(forms);
        for (int c = 0; c < kBmpSize; ++c) {
            if (forms[c] < 0x100 && !KeepsOneByteForm(c, forms[c])) forms[c] = 0;
        }
        for (const TwoForms& pair : kTwoForms) {
            unsigned short form = forms[pair.first] ? forms[pair.first] : forms[pair.second];
            forms[pair.first] = forms[pair.second] = form;
        }
    }
};

}  // namespace

const unsigned short* Forms() {
    // Built once, by the first thread that needs it; read-only after that.
    static const Table table;
    return table.forms;
}

unsigned short FormOf(char32_t c) {
    return c < kBmpSize ? Forms()[c] : 0;
}

}  // namespace cp932
