// Reading the embedded .res file: a sequence of RESOURCEHEADER records, each
// followed by its data, both aligned to 4 bytes. Types and names are either
// 0xFFFF and an ordinal or a NUL-terminated UTF-16 string.
#include "platform/src/ui/resources.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "platform/src/ui/state.h"

extern "C" const unsigned char sorahiki_res_data[];
extern "C" const unsigned long sorahiki_res_size;

namespace sorahiki::ui {
namespace {

// Reads little-endian values and template strings, never past the end.
class Reader {
  public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool ok() const { return m_ok; }
    std::size_t pos() const { return m_pos; }
    void Seek(std::size_t pos) {
        if (pos > m_size) m_ok = false;
        m_pos = pos > m_size ? m_size : pos;
    }
    void Align4() { Seek((m_pos + 3) & ~std::size_t{3}); }

    std::uint32_t Read(std::size_t bytes) {
        if (m_pos + bytes > m_size) {
            m_ok = false;
            m_pos = m_size;
            return 0;
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < bytes; ++i)
            value |= std::uint32_t{m_data[m_pos + i]} << (8 * i);
        m_pos += bytes;
        return value;
    }
    WORD Word() { return static_cast<WORD>(Read(2)); }
    DWORD Dword() { return Read(4); }
    short Short() { return static_cast<short>(Read(2)); }

    std::u16string String16() {
        std::u16string text;
        for (WORD c = Word(); m_ok && c != 0; c = Word()) text += static_cast<char16_t>(c);
        return text;
    }
    // A name or ordinal: ordinal is set (and text empty) for 0xFFFF.
    std::u16string NameOrOrdinal(int* ordinal) {
        *ordinal = -1;
        std::size_t start = m_pos;
        WORD first = Word();
        if (first == 0) return {};
        if (first == 0xFFFF) {
            *ordinal = Word();
            return {};
        }
        Seek(start);
        return String16();
    }

  private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

std::string Narrow(const std::u16string& text) {
    return Cp932FromUtf16(text.data(), text.size());
}

bool NameMatches(LPCSTR wanted, int ordinal, const std::u16string& name) {
    if (IS_INTRESOURCE(wanted))
        return ordinal == static_cast<int>(reinterpret_cast<UINT_PTR>(wanted));
    if (wanted[0] == '#') return ordinal == std::atoi(wanted + 1);
    return ordinal < 0 && strcasecmp(Narrow(name).c_str(), wanted) == 0;
}

std::string ControlClass(int ordinal, const std::u16string& name) {
    switch (ordinal) {
        case 0x80:
            return "Button";
        case 0x81:
            return "Edit";
        case 0x82:
            return "Static";
        case 0x83:
            return "ListBox";
        case 0x84:
            return "ScrollBar";
        case 0x85:
            return "ComboBox";
        default:
            return Narrow(name);
    }
}

std::string TextOf(Reader& in) {
    int ordinal = 0;
    std::u16string text = in.NameOrOrdinal(&ordinal);
    return ordinal >= 0 ? std::string() : Narrow(text);
}

void ReadItem(Reader& in, bool extended, DialogItem* item) {
    in.Align4();
    if (extended) {
        in.Dword();  // help id
        item->ex_style = in.Dword();
        item->style = in.Dword();
    } else {
        item->style = in.Dword();
        item->ex_style = in.Dword();
    }
    item->x = in.Short();
    item->y = in.Short();
    item->cx = in.Short();
    item->cy = in.Short();
    item->id = extended ? in.Dword() : static_cast<DWORD>(static_cast<short>(in.Word()));
    int ordinal = 0;
    std::u16string class_name = in.NameOrOrdinal(&ordinal);
    item->class_name = ControlClass(ordinal, class_name);
    item->text = TextOf(in);
    WORD extra = in.Word();
    in.Seek(in.pos() + extra);
}

}  // namespace

bool FindProgramResource(WORD type, LPCSTR name, ResourceBytes* out) {
    return FindResourceInFile(ResourceBytes{sorahiki_res_data, sorahiki_res_size}, type, name, out);
}

bool FindResourceInFile(const ResourceBytes& file, WORD type, LPCSTR name, ResourceBytes* out) {
    if (name == nullptr) return false;
    Reader in(file.data, file.size);
    while (in.ok() && in.pos() + 8 <= file.size) {
        std::size_t start = in.pos();
        DWORD data_size = in.Dword();
        DWORD header_size = in.Dword();
        int type_ordinal = 0, name_ordinal = 0;
        in.NameOrOrdinal(&type_ordinal);
        std::u16string res_name = in.NameOrOrdinal(&name_ordinal);
        if (!in.ok() || header_size < 8) return false;
        std::size_t data_start = start + header_size;
        if (data_start + data_size > file.size) return false;
        if (type_ordinal == type && NameMatches(name, name_ordinal, res_name)) {
            *out = ResourceBytes{file.data + data_start, data_size};
            return true;
        }
        in.Seek(data_start + data_size);
        in.Align4();
    }
    return false;
}

bool ParseDialogTemplate(const ResourceBytes& bytes, DialogTemplate* out) {
    Reader in(bytes.data, bytes.size);
    bool extended = bytes.size >= 4 && bytes.data[2] == 0xFF && bytes.data[3] == 0xFF;
    WORD count = 0;
    if (extended) {
        in.Dword();  // version and signature
        in.Dword();  // help id
        out->ex_style = in.Dword();
        out->style = in.Dword();
    } else {
        out->style = in.Dword();
        out->ex_style = in.Dword();
    }
    count = in.Word();
    out->x = in.Short();
    out->y = in.Short();
    out->cx = in.Short();
    out->cy = in.Short();
    int ordinal = 0;
    in.NameOrOrdinal(&ordinal);  // menu: the bars have none
    in.NameOrOrdinal(&ordinal);  // class: the standard dialog class
    out->title = Narrow(in.String16());
    if (out->style & DS_SETFONT) {
        out->point_size = in.Word();
        if (extended) {
            in.Word();   // weight
            in.Read(2);  // italic, character set
        }
        out->font = Narrow(in.String16());
    }
    // A template cut short is refused at the first item past its end, not
    // after up to 65,535 empty ones.
    out->items.clear();
    for (WORD i = 0; i < count && in.ok(); ++i) ReadItem(in, extended, &out->items.emplace_back());
    return in.ok();
}

}  // namespace sorahiki::ui
