#include "cli/CliOutput.h"

#include <sorahiki/codepage.h>
#include <sorahiki/cp932.h>

namespace {

using cp932::IsLeadByte;
using cp932::IsTrailByte;

void AppendEscaped(std::string& out, unsigned char c) {
    static const char kHex[] = "0123456789abcdef";
    switch (c) {
        case '\\':
            out += "\\\\";
            return;
        case '\t':
            out += "\\t";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\r':
            out += "\\r";
            return;
        default:
            break;
    }
    if (c < 0x20 || c == 0x7F) {
        out += "\\x";
        out += kHex[c >> 4];
        out += kHex[c & 0x0F];
    } else {
        out += static_cast<char>(c);
    }
}

void WriteText(std::FILE* out, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), out);
}

}  // namespace

std::string EscapeField(std::string_view text, const OutputStyle& style) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        // In code page 932 the byte after a lead byte (a backslash among
        // them) belongs to its character and is written as it is, when it
        // can be a second byte: a tab or a line feed never is.
        if (style.raw && IsLeadByte(c) && i + 1 < text.size() &&
            IsTrailByte(static_cast<unsigned char>(text[i + 1]))) {
            out += text.substr(i, 2);
            ++i;
            continue;
        }
        AppendEscaped(out, c);
    }
    return out;
}

std::string OutputField(std::string_view cp932, const OutputStyle& style) {
    if (style.raw) return EscapeField(cp932, style);
    std::string utf8;
    Cp932ToUtf8(cp932, utf8);  // bytes that are no character show as U+FFFD
    return EscapeField(utf8, style);
}

namespace {

// A path as the listing gave it; a name with no form of its own is printed
// as the file system has it, and as its form with the mark 〓 when raw.
std::string PathField(const char* path, const OutputStyle& style) {
    std::string utf8;
    if (!style.raw && ListedPathUtf8(path, utf8)) return EscapeField(utf8, style);
    return OutputField(path, style);
}

}  // namespace

void PrintHitCount(std::FILE* out, int hits, const OutputStyle& style) {
    std::string line = "総ヒット数 " + std::to_string(hits) + " 件\n";
    if (style.raw) {
        WriteText(out, line);
    } else {
        std::string utf8;
        Cp932ToUtf8(line, utf8);
        WriteText(out, utf8);
    }
}

void PrintRow(std::FILE* out, int number, const ResultItem& item, const OutputStyle& style) {
    std::string prefix = std::to_string(number) + ". ";
    std::string indent(prefix.size(), ' ');
    WriteText(out, "\n" + prefix + OutputField(item.szTitle, style) + "\n");
    WriteText(out, indent + OutputField(item.szContent, style) + "\n");
    WriteText(out, indent + PathField(item.szPath, style) + "\n");
}

void PrintTsvRow(std::FILE* out, int number, const ResultItem& item, const OutputStyle& style) {
    WriteText(out, std::to_string(number) + "\t" + PathField(item.szPath, style) + "\t" +
                       OutputField(item.szTitle, style) + "\t" +
                       OutputField(item.szContent, style) + "\n");
}
