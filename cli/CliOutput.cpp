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

// A path as the listing gave it, printed as the file system has it (a name
// with no form of its own, or whose form converts back to another name,
// included); raw, as the listing's code page 932 text with the mark 〓.
std::string PathField(const char* path, const OutputStyle& style) {
    if (style.raw) return OutputField(path, style);
    return EscapeField(ListedPathUtf8(path), style);
}

}  // namespace

// Each run of marked or unmarked bytes is converted on its own: the runs
// hold whole characters, so together they read as the whole field.
std::string MarkedField(std::string_view cp932, std::span<const unsigned char> marks,
                        const OutputStyle& style) {
    if (!style.colour) return OutputField(cp932, style);
    auto marked = [&](size_t i) { return i < marks.size() && marks[i] != 0; };
    static constexpr char kBoldRed[] = "\x1b[01;31m\x1b[K";
    static constexpr char kPlain[] = "\x1b[m\x1b[K";
    std::string out;
    for (size_t start = 0; start < cp932.size();) {
        size_t end = start;
        while (end < cp932.size() && marked(end) == marked(start)) ++end;
        if (marked(start)) out += kBoldRed;
        out += OutputField(cp932.substr(start, end - start), style);
        if (marked(start)) out += kPlain;
        start = end;
    }
    return out;
}

void PrintHitCount(CCheckedOutput& out, int hits, bool capped, const OutputStyle& style) {
    std::string line = "総ヒット数 " + std::to_string(hits) + " 件" + (capped ? "以上" : "") + "\n";
    if (style.raw) {
        out.Write(line);
    } else {
        std::string utf8;
        Cp932ToUtf8(line, utf8);
        out.Write(utf8);
    }
}

void PrintRow(CCheckedOutput& out, int number, const ResultItem& item, const OutputStyle& style) {
    std::string prefix = std::to_string(number) + ". ";
    std::string indent(prefix.size(), ' ');
    out.Write("\n" + prefix + MarkedField(item.szTitle, item.titleMarks, style) + "\n");
    out.Write(indent + MarkedField(item.szContent, item.contentMarks, style) + "\n");
    if (style.context) {
        out.Write(indent + MarkedField(item.szContext, item.contextMarks, style) + "\n");
    }
    out.Write(indent + PathField(item.szPath, style) + "\n");
}

void PrintTsvRow(CCheckedOutput& out, int number, const ResultItem& item,
                 const OutputStyle& style) {
    std::string line = std::to_string(number) + "\t" + PathField(item.szPath, style) + "\t" +
                       OutputField(item.szTitle, style) + "\t" + OutputField(item.szContent, style);
    if (style.context) line.append("\t").append(OutputField(item.szContext, style));
    out.Write(line + "\n");
}
