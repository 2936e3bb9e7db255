// Starts sorahiki-cli as a separate program, in the current directory, and
// collects what it wrote and its exit status. One implementation per system
// (CliRun_posix.cpp, CliRun_win32.cpp), like the tool's own CliSystem pair.
#pragma once

#include <string>
#include <vector>

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// `args` are bytes as given. On Windows, an argument that is valid UTF-8 is
// passed as that text; any other is taken as code page 932 bytes, which is
// how --raw expects its words.
CliResult RunCli(const std::vector<std::string>& args);
