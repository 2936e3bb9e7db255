#include "tests/cli/CliRun.h"

#include <fcntl.h>
#include <stdlib.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void OpenAs(int fd, const char* path, int flags) {
    int opened = open(path, flags, 0644);
    dup2(opened, fd);
    close(opened);
}

// In the child, before the tool starts: its standard output as asked. An
// ignored SIGPIPE stays ignored across exec; a default one is restored, since
// the test program may have inherited it ignored.
void SetUpStdout(StdoutTo stdoutTo, const std::filesystem::path& outPath, int pipeWriteEnd,
                 const char* terminal) {
    signal(SIGPIPE, stdoutTo == StdoutTo::kClosedPipe ? SIG_IGN : SIG_DFL);
    switch (stdoutTo) {
        case StdoutTo::kFile:
            OpenAs(STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC);
            return;
        case StdoutTo::kFullDevice:
            OpenAs(STDOUT_FILENO, "/dev/full", O_WRONLY);
            return;
        case StdoutTo::kNothing:
            close(STDOUT_FILENO);
            return;
        case StdoutTo::kClosedPipe:
        case StdoutTo::kClosedPipeSignalled:
            dup2(pipeWriteEnd, STDOUT_FILENO);
            return;
        case StdoutTo::kTerminal:
            OpenAs(STDOUT_FILENO, terminal, O_WRONLY | O_NOCTTY);
            return;
    }
}

// A new terminal's controlling side, or -1; its other side's path in `path`.
int OpenTerminal(std::string& path) {
    int controller = posix_openpt(O_RDWR | O_NOCTTY);
    if (controller < 0) return -1;
    if (grantpt(controller) != 0 || unlockpt(controller) != 0 || ptsname(controller) == nullptr) {
        close(controller);
        return -1;
    }
    path = ptsname(controller);
    return controller;
}

// What the tool wrote to the terminal, once it has ended (a few lines: the
// terminal holds them), into the output file.
void CopyTerminalOutput(int controller, const std::filesystem::path& outPath) {
    fcntl(controller, F_SETFL, O_NONBLOCK);
    std::ofstream out(outPath, std::ios::binary);
    char buffer[4096];
    ssize_t n;
    while ((n = read(controller, buffer, sizeof buffer)) > 0) out.write(buffer, n);
    close(controller);
}

}  // namespace

int RunCliInto(const std::vector<std::string>& args, const std::filesystem::path& outPath,
               const std::filesystem::path& errPath, StdoutTo stdoutTo, ChildLimits limits) {
    std::string terminal;
    int controller = stdoutTo == StdoutTo::kTerminal ? OpenTerminal(terminal) : -1;
    if (stdoutTo == StdoutTo::kTerminal && controller < 0) return -1;
    int ends[2];
    if (pipe(ends) != 0) return -1;
    close(ends[0]);  // the pipe has no reader from the start
    pid_t child = fork();
    if (child == 0) {
        OpenAs(STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC);
        SetUpStdout(stdoutTo, outPath, ends[1], terminal.c_str());
        close(ends[1]);
        if (limits.openFiles > 0) {
            // Only the three standard descriptors go with the tool.
            for (int fd = STDERR_FILENO + 1; fd < 1024; ++fd) close(fd);
            const auto limit = static_cast<rlim_t>(limits.openFiles);
            rlimit files{limit, limit};
            setrlimit(RLIMIT_NOFILE, &files);
        }
        if (limits.addressSpace > 0) {
            const auto limit = static_cast<rlim_t>(limits.addressSpace);
            rlimit space{limit, limit};
            setrlimit(RLIMIT_AS, &space);
        }
        std::vector<char*> argv{const_cast<char*>(SORAHIKI_CLI_PATH)};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(SORAHIKI_CLI_PATH, argv.data());
        _exit(127);
    }
    close(ends[1]);
    int status = 0;
    waitpid(child, &status, 0);
    if (controller >= 0) CopyTerminalOutput(controller, outPath);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool ReadPermissionsHold() {
    return geteuid() != 0;
}
