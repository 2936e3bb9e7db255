// Starts sorahiki-cli as a separate program, in the current directory, and
// collects what it wrote and its exit status. Starting it differs per system
// (CliRun_posix.cpp, CliRun_win32.cpp), like the tool's own CliSystem pair.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Where the tool's standard output goes.
enum class StdoutTo {
    kFile,                 // the file given, read back as the output
    kFullDevice,           // every write fails for want of space (Linux only)
    kNothing,              // closed: no descriptor or handle at all
    kClosedPipe,           // a pipe without reader, SIGPIPE ignored
    kClosedPipeSignalled,  // the same, SIGPIPE at its default (Linux only)
    kTerminal,             // a terminal, whose output is read back (Linux only)
};

// Runs the tool with `args` (bytes as given), its standard output and error
// going to the two files; returns its exit status, 128 and the signal's
// number when a signal ended it, or -1 when it could not run. On Windows an
// argument that is valid UTF-8 is passed as that text and any other is taken
// as code page 932 bytes, which is how --raw expects its words.
struct ChildLimits {
    // Above 0: the descriptors the tool may hold, its three standard ones
    // included (Linux only).
    int openFiles = 0;
    // Above 0: the bytes of address space it may have (Linux only).
    long long addressSpace = 0;
};
int RunCliInto(const std::vector<std::string>& args, const std::filesystem::path& outPath,
               const std::filesystem::path& errPath, StdoutTo stdoutTo = StdoutTo::kFile,
               ChildLimits limits = {});

// Whether a file whose read permission is taken away cannot be read: not
// for root.
bool ReadPermissionsHold();

inline std::string ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline CliResult RunCli(const std::vector<std::string>& args, StdoutTo stdoutTo = StdoutTo::kFile,
                        ChildLimits limits = {}) {
    const std::filesystem::path outPath = std::filesystem::current_path() / "cli.out";
    const std::filesystem::path errPath = std::filesystem::current_path() / "cli.err";
    CliResult result;
    result.status = RunCliInto(args, outPath, errPath, stdoutTo, limits);
    result.out = ReadWhole(outPath);
    result.err = ReadWhole(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return result;
}
