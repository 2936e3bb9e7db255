// Printing the hits of a search: the readable listing and the TSV lines.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "cli/CliCheckedOutput.h"
#include "search/SearchEngin.h"

// How text leaves the program: converted to UTF-8, or with `raw` as the code
// page 932 bytes that the program holds.
struct OutputStyle {
    bool raw = false;
    bool colour = false;   // the words in bold red (the listing only)
    bool context = false;  // the text around the first word, too
};

// A field with a backslash, tab, line feed, carriage return and every other
// byte below 0x20 or equal to 0x7F written as \\, \t, \n, \r or \xHH.
std::string EscapeField(std::string_view text, const OutputStyle& style);

// Converts program text (code page 932) to what is printed, escaped.
std::string OutputField(std::string_view cp932, const OutputStyle& style);

// The same, with the bytes under a mark (one flag per byte; bytes past the
// marks are unmarked) in bold red when the style colours.
std::string MarkedField(std::string_view cp932, std::span<const unsigned char> marks,
                        const OutputStyle& style);

// "総ヒット数 <n> 件", or "総ヒット数 <n> 件以上" when the search stopped at its
// cap of hits, so that more files may hold the words.
void PrintHitCount(CCheckedOutput& out, int hits, bool capped, const OutputStyle& style);

// One hit, numbered from 1 over all pages.
void PrintRow(CCheckedOutput& out, int number, const ResultItem& item, const OutputStyle& style);
void PrintTsvRow(CCheckedOutput& out, int number, const ResultItem& item, const OutputStyle& style);
