// Threads the program starts itself, each with a stack of a stated size: a
// thread made by the standard library takes the system's default, which a
// user's stack limit can make as small as a few pages. Both builds include
// it. A thread is started once and joined once, by the same owner.
#pragma once

#include <cstddef>

class CStartedThread {
  public:
    using Routine = void (*)(void* argument);

    CStartedThread() = default;
    ~CStartedThread() { Join(); }
    CStartedThread(const CStartedThread&) = delete;
    CStartedThread& operator=(const CStartedThread&) = delete;

    // Runs routine(argument) on a new thread whose stack holds `stackBytes`;
    // false when the system refuses the thread (or a test has it refused).
    bool Start(Routine routine, void* argument, std::size_t stackBytes);
    // Waits for the routine to return; nothing when no thread runs.
    void Join();
    bool Started() const { return handle != nullptr; }

    // The new thread's first call, from the system's start routine.
    static void RunOn(void* self) {
        auto* thread = static_cast<CStartedThread*>(self);
        thread->routine(thread->argument);
    }

  private:
    void* handle = nullptr;  // the system's thread, set by Start, cleared by Join
    Routine routine = nullptr;
    void* argument = nullptr;
};

// How many times the calling thread has gone to sleep in the system until
// something came (a read from the disk, a lock, a wake), or -1 where the
// system does not count it. A thread that only waited for a processor, taken
// by other threads or programs, does not add to it.
long long ThreadSleepsSoFar();
