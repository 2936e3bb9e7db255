// Forms of names from the system's own table of code page 932 forms, built
// once per process on the heap by the first thread that lists a name it
// cannot copy as ASCII (tried again while the converter cannot be had).
#include "platform/src/core/listed_names.h"

#include <memory>
#include <new>
#include <utility>

#include <sorahiki/cp932forms.h>
#include <sorahiki/listing.h>

namespace listed {
namespace {

// On the heap: a process that lists only ASCII names never makes it.
struct FormTable {
    std::unique_ptr<unsigned short[]> forms;
};

// Both characters of a pair that shares one form take it, whichever of the
// two this system's converter knows.
// Without memory for it, std::bad_alloc: names are never given the forms of
// a system without the converter for want of memory.
bool MakeFormTable(FormTable& table) {
    std::unique_ptr<unsigned short[]> forms(new unsigned short[kBmpSize]);
    if (!ReadCp932Forms(forms.get())) return false;
    for (const SharedCp932Form& pair : kSharedCp932Forms) {
        unsigned short& alone = forms[pair.alone];
        unsigned short& back = forms[pair.convertsBack];
        alone = back = alone ? alone : back;
    }
    table.forms = std::move(forms);
    return true;
}

CFormsOnceRead<FormTable, MakeFormTable> g_forms;

// While the system's converter cannot be had, no name has a form but its
// ASCII characters.
const unsigned short* Forms() {
    static const unsigned short* const asciiAlone = [] {
        static unsigned short forms[kBmpSize] = {};
        for (unsigned short c = 0; c < 0x80; ++c) forms[c] = c;
        return forms;
    }();
    static const FormTable fallback{};
    const FormTable& table = g_forms.Get(fallback);
    return table.forms != nullptr ? table.forms.get() : asciiAlone;
}

// A character whose form converts back to another: one of a pair that
// shares a form, or a character that takes the form of an ASCII one.
bool ConvertsBackToAnother(char32_t c, unsigned short form) {
    for (const SharedCp932Form& pair : kSharedCp932Forms) {
        if (c == pair.alone) return true;
    }
    return c >= 0x80 && form < 0x80;
}

void AppendForm(char32_t c, FormRule rule, std::string& out) {
    if (c < 0x80) {
        if (c == '\\') {
            out += kMark;
        } else {
            out += static_cast<char>(c);
        }
        return;
    }
    unsigned short form = c < static_cast<char32_t>(kBmpSize) ? Forms()[c] : 0;
    if (form == 0 || form == '\\' || form == '/' ||
        (rule == FormRule::kOwnForm && ConvertsBackToAnother(c, form))) {
        out += kMark;
    } else if (form < 0x100) {
        out += static_cast<char>(form);
    } else {
        out += static_cast<char>(form >> 8);
        out += static_cast<char>(form & 0xFF);
    }
}

// The character that `utf8` begins with and its length in bytes; a length
// of 0 when the bytes begin no valid sequence.
char32_t DecodeUtf8(std::string_view utf8, size_t& length) {
    auto lead = static_cast<unsigned char>(utf8[0]);
    length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || length > utf8.size() || lead > 0xF4) return length = 0;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        auto next = static_cast<unsigned char>(utf8[i]);
        if ((next & 0xC0) != 0x80) return length = 0;
        c = c << 6 | (next & 0x3F);
    }
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kLeast[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) length = 0;
    return c;
}

constexpr unsigned long kFnvBasis = 2166136261ul;
constexpr unsigned long kFnvPrime = 16777619ul;

unsigned long HashBytes(const unsigned char* bytes, size_t size) {
    unsigned long hash = kFnvBasis;
    for (size_t i = 0; i < size; ++i) hash = ((hash ^ bytes[i]) * kFnvPrime) & 0xFFFFFFFFul;
    return hash;
}

}  // namespace

std::string ShownForm(std::string_view utf8, FormRule rule) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        size_t length = 0;
        char32_t c = DecodeUtf8(utf8.substr(i), length);
        if (length == 0) {
            out += kMark;
            ++i;
            continue;
        }
        AppendForm(c, rule, out);
        i += length;
    }
    return out;
}

std::string ShownForm(std::u16string_view utf16, FormRule rule) {
    std::string out;
    out.reserve(utf16.size() * 2);
    for (size_t i = 0; i < utf16.size(); ++i) {
        char16_t unit = utf16[i];
        // A character beyond the first 65,536 (a pair of surrogates) has no
        // form, nor has a surrogate alone.
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            out += kMark;
            bool pair = unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
                        utf16[i + 1] <= 0xDFFF;
            if (pair) ++i;
            continue;
        }
        AppendForm(unit, rule, out);
    }
    return out;
}

unsigned long NameKey(std::string_view utf8) {
    return HashBytes(reinterpret_cast<const unsigned char*>(utf8.data()), utf8.size());
}

unsigned long NameKey(std::u16string_view utf16) {
    return HashBytes(reinterpret_cast<const unsigned char*>(utf16.data()), 2 * utf16.size());
}

}  // namespace listed
