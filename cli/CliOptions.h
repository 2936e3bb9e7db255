// The command line of sorahiki-cli:
//   sorahiki-cli [-C DIR] [--page N | --all] [--tsv] [--raw] [--color[=WHEN]]
//                [--context] [--whole] [-i] [--fold-width] [--fold-kana]
//                [--] WORD...
//   sorahiki-cli --help | --version
// Options may come before or after the words; after "--" every argument is a
// word.
#pragma once

#include <string>
#include <vector>

#include "search/SearchOptions.h"

// When the words are coloured in the listing.
enum class ColorWhen { kAuto, kAlways, kNever };

struct CliOptions {
    std::string folder;    // -C DIR, empty for the current directory
    int page = 1;          // --page N, counted from 1
    bool all = false;      // --all
    bool tsv = false;      // --tsv
    bool raw = false;      // --raw
    bool help = false;     // -h, --help
    bool version = false;  // --version
    std::vector<std::string> words;

    ColorWhen color = ColorWhen::kAuto;  // --color=auto|always|never
    bool context = false;                // --context
    // --whole, -i, --fold-width, --fold-kana: how the engine reads and matches.
    SearchOptions search;
};

// The text that --help prints.
extern const char kCliUsage[];

// Reads the arguments after the program name. A line feed, carriage return or
// tab inside a word separates words as a blank does. On a fault returns false
// with `error` saying what is wrong.
bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& options, std::string& error);
