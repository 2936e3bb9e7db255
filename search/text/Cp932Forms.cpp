// The table of code page 932 forms, built on first use.
#include "search/text/Cp932Forms.h"

#include <sorahiki/cp932forms.h>

namespace cp932 {
namespace {

bool KeepsOneByteForm(int c, unsigned short form) {
    if (form < 0x80) return form == c;
    return form >= 0xA1 && form <= 0xDF && c >= 0x80;
}

struct Table {
    unsigned short forms[kBmpSize];
};

bool MakeTable(Table& table) {
    unsigned short* forms = table.forms;
    if (!ReadCp932Forms(forms)) return false;
    for (int c = 0; c < kBmpSize; ++c) {
        if (forms[c] < 0x100 && !KeepsOneByteForm(c, forms[c])) forms[c] = 0;
    }
    for (const SharedCp932Form& pair : kSharedCp932Forms) {
        unsigned short& alone = forms[pair.alone];
        unsigned short& back = forms[pair.convertsBack];
        alone = back = alone ? alone : back;
    }
    return true;
}

CFormsOnceRead<Table, MakeTable> g_table;
const Table kNoForms{};

}  // namespace

// Read by the first thread that needs it, once the converter can be had;
// read-only after that.
const unsigned short* Forms() {
    return g_table.Get(kNoForms).forms;
}

bool FormsRead() {
    Forms();
    return g_table.Ready();
}

unsigned short FormOf(char32_t c) {
    return c < kBmpSize ? Forms()[c] : 0;
}

}  // namespace cp932
