// The TSV row of a hit: exactly three tabs and one line feed at the end, no
// raw byte below 0x20 or 0x7F inside a field, and every field reads back, once
// unescaped, as the text it was made from (a path as the name it finds).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sorahiki/codepage.h>

#include "cli/CliOutput.h"
#include "fuzz/FuzzSupport.h"

namespace {

ResultItem g_item;

// Fills a field from the next `length` bytes of the input, up to its first
// NUL, as the engine's NUL-terminated fields hold them.
void TakeField(std::string_view& input, size_t length, char* field, size_t capacity) {
    std::string_view taken = input.substr(0, std::min(length, capacity - 1));
    input.remove_prefix(taken.size());
    taken = taken.substr(0, taken.find('\0'));
    std::memcpy(field, taken.data(), taken.size());
    field[taken.size()] = '\0';
}

std::string PrintToMemory(int number, const OutputStyle& style) {
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    fuzz::Require(out != nullptr, "a memory stream opens");
    CCheckedOutput checked(out);
    PrintTsvRow(checked, number, g_item, style);
    fuzz::Require(checked.Finish(), "a memory stream takes every byte");
    std::fclose(out);
    std::string printed(buffer, size);
    std::free(buffer);
    return printed;
}

bool IsValidSjis(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (!sjis::IsLeadByte(text[i])) continue;
        if (i + 1 == text.size() || !fuzz::IsSecondByte(text[i + 1])) return false;
        ++i;
    }
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Undoes the escapes; in Shift-JIS output a lead byte and the byte after it
// are one character, whatever that byte is. False on a broken escape.
bool Unescape(std::string_view field, bool sjisOutput, std::string& text) {
    for (size_t i = 0; i < field.size(); ++i) {
        char c = field[i];
        if (sjisOutput && sjis::IsLeadByte(c) && i + 1 < field.size()) {
            text += field.substr(i++, 2);
        } else if (c != '\\') {
            text += c;
        } else if (i + 1 == field.size()) {
            return false;
        } else {
            char e = field[++i];
            if (e == '\\' || e == 't' || e == 'n' || e == 'r') {
                text += e == '\\' ? '\\' : e == 't' ? '\t' : e == 'n' ? '\n' : '\r';
            } else if (e == 'x' && i + 2 < field.size() && HexDigit(field[i + 1]) >= 0 &&
                       HexDigit(field[i + 2]) >= 0) {
                text += static_cast<char>(HexDigit(field[i + 1]) * 16 + HexDigit(field[i + 2]));
                i += 2;
            } else {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    OutputStyle style;
    style.raw = (data[0] & 1) != 0;
    int number = 1 + data[1] * 7;
    std::string_view input(reinterpret_cast<const char*>(data + 4), size - 4);
    TakeField(input, data[2], g_item.szPath, sizeof g_item.szPath);
    TakeField(input, data[3], g_item.szTitle, sizeof g_item.szTitle);
    TakeField(input, input.size(), g_item.szContent, sizeof g_item.szContent);

    std::string row = PrintToMemory(number, style);
    fuzz::Require(!row.empty() && row.back() == '\n', "the row ends with a line feed");
    row.pop_back();
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (size_t tab = row.find('\t'); tab != std::string::npos; tab = row.find('\t', start)) {
        fields.push_back(std::string_view(row).substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(std::string_view(row).substr(start));
    fuzz::Require(fields.size() == 4, "a row holds exactly three tabs");
    for (std::string_view field : fields) {
        for (unsigned char b : field) {
            fuzz::Require(b >= 0x20 && b != 0x7F, "no raw control byte inside a field");
        }
    }
    fuzz::Require(fields[0] == std::to_string(number), "the first field is the number");

    const char* sources[] = {g_item.szPath, g_item.szTitle, g_item.szContent};
    for (int i = 0; i < 3; ++i) {
        std::string expected = sources[i];
        if (style.raw) {
            // Shift-JIS output reads back only where its characters are whole.
            if (!IsValidSjis(expected)) continue;
        } else if (i == 0) {
            // A path is printed as the file system names what it finds.
            expected = ListedPathUtf8(sources[i]);
        } else {
            Cp932ToUtf8(sources[i], expected);
        }
        std::string text;
        fuzz::Require(Unescape(fields[i + 1], style.raw, text), "escapes are well formed");
        fuzz::Require(text == expected, "a field reads back as its text");
    }
    return 0;
}
