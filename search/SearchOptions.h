// How a search reads and matches, beyond the plain rule: each option is off
// by default, and with every option off a search is the plain one (the
// first 2,001 bytes of each file's gathered text, matched byte for byte).
// The window's menu and the CLI's flags set them; a search keeps the options
// it ran with in its record, so that the pages of its result are cut and
// marked as it matched.
#pragma once

struct SearchOptions {
    bool bWholeFile = false;  // gather each file's text to its end
    bool bFoldCase = false;   // Latin letters match in either case
    bool bFoldWidth = false;  // full- and half-width forms match alike
    bool bFoldKana = false;   // hiragana and katakana match alike

    bool AnyOn() const { return bWholeFile || bFoldCase || bFoldWidth || bFoldKana; }
    bool operator==(const SearchOptions&) const = default;
};
