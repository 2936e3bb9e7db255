#include "cli/CliCheckedOutput.h"

#include <cerrno>

void CCheckedOutput::Write(std::string_view text) {
    if (error != 0 || text.empty()) return;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stream) != text.size()) KeepError();
}

bool CCheckedOutput::Finish() {
    if (error != 0) return false;
    errno = 0;
    if (std::fflush(stream) != 0 || std::ferror(stream) != 0) KeepError();
    return error == 0;
}

// A runtime that fails a write without saying why is taken as an I/O error.
void CCheckedOutput::KeepError() {
    int reason = reasonOfFailure != nullptr ? reasonOfFailure() : errno;
    error = reason != 0 ? reason : EIO;
}
