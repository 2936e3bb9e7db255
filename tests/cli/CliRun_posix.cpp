#include "tests/cli/CliRun.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

int RunCliInto(const std::vector<std::string>& args, const std::filesystem::path& outPath,
               const std::filesystem::path& errPath) {
    pid_t child = fork();
    if (child == 0) {
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(SORAHIKI_CLI_PATH)};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(SORAHIKI_CLI_PATH, argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool ReadPermissionsHold() {
    return geteuid() != 0;
}
