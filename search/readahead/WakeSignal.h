// Where one thread sleeps until others make a condition true. The condition
// lives in atomics of its own; whoever makes it true calls Wake afterwards.
// The sleeper looks at the condition under the mutex and Wake takes the
// mutex, so a wake never falls between the look and the sleep. (The
// standard library's wait on an atomic is not used: where the system has no
// wait on an address, some of its versions can lose a wake.)
#pragma once

#include <condition_variable>
#include <mutex>

class CWakeSignal {
  public:
    template <typename Ready>
    void SleepUntil(Ready ready) {
        std::unique_lock<std::mutex> lock(mutex);
        while (!ready()) condition.wait(lock);
    }
    void Wake() {
        std::lock_guard<std::mutex> lock(mutex);
        condition.notify_all();
    }

  private:
    std::mutex mutex;
    std::condition_variable condition;
};
