// The command line of sorahiki-cli:
//   sorahiki-cli [-C DIR] [--page N | --all] [--tsv] [--raw] WORD...
#pragma once

#include <string>
#include <vector>

struct CliOptions {
    std::string folder;  // -C DIR, empty for the current directory
    int page = 1;        // --page N, counted from 1
    bool all = false;    // --all
    bool tsv = false;    // --tsv
    bool raw = false;    // --raw
    std::vector<std::string> words;
};

// Reads the arguments after the program name. On a fault returns false with
// `error` saying what is wrong.
bool ParseCliOptions(const std::vector<std::string>& args, CliOptions& options, std::string& error);
