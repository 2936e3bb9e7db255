#include <unistd.h>

#include <cerrno>

#include "cli/CliSystem.h"

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

std::vector<std::string> RawCommandLineArguments(int argc, char** argv) {
    return CommandLineArguments(argc, argv);
}

bool EnterFolder(const std::string& folder, bool /*raw*/) {
    return chdir(folder.c_str()) == 0;
}

void UseBinaryOutput() {}

int ReasonOfFailedWrite() {
    return errno;
}

bool OutputIsColourTerminal() {
    return isatty(STDOUT_FILENO) == 1;
}
