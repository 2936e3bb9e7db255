// What differs between the systems for the command-line tool: how the
// arguments arrive as UTF-8, changing the current directory, binary output and
// why a write failed.
#pragma once

#include <string>
#include <vector>

// The arguments after the program name, as UTF-8 (on Linux, the bytes given).
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// The arguments after the program name, as the bytes that the program was
// given in its own code page (on Linux, the same as above).
std::vector<std::string> RawCommandLineArguments(int argc, char** argv);

// Makes `folder` the current directory: UTF-8, or with `raw` the bytes given.
bool EnterFolder(const std::string& folder, bool raw);

// Standard output writes bytes as they are: no line-end translation.
void UseBinaryOutput();

// Why the last write to standard output failed, as an errno value: the C
// runtime's, but a pipe whose reader is gone is EPIPE on every system.
int ReasonOfFailedWrite();

// Whether standard output is a terminal that shows colour escapes; on
// Windows the console is asked to take them first.
bool OutputIsColourTerminal();
