// Standard output as the tool writes it: every write and the final flush are
// checked, so that output lost to a full disk, a closed descriptor or a
// reader that went away is never taken for success. After the first failure
// nothing more is written, and that failure's errno is kept for the one
// message the tool prints. Used by the program's one thread.
#pragma once

#include <cstdio>
#include <string_view>

class CCheckedOutput {
  public:
    // `reason`, when given, says why a write failed in place of errno.
    explicit CCheckedOutput(std::FILE* to, int (*reason)() = nullptr)
        : stream(to), reasonOfFailure(reason) {}
    CCheckedOutput(const CCheckedOutput&) = delete;
    CCheckedOutput& operator=(const CCheckedOutput&) = delete;

    void Write(std::string_view text);

    // Flushes what is buffered; true when every write and the flush went
    // through.
    bool Finish();

    // The errno of the first write or flush that failed; 0 while none did.
    int Error() const { return error; }

  private:
    void KeepError();

    std::FILE* stream;
    int (*reasonOfFailure)();
    int error = 0;
};
