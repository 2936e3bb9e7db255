// Threads on Linux: a POSIX thread with its stack size set in its attributes.
// The thread handle is the pthread_t itself, kept in the object's pointer.
#include <sorahiki/testhooks.h>
#include <sorahiki/thread.h>

#include <pthread.h>
#include <sys/resource.h>

#include <cstring>

static_assert(sizeof(pthread_t) <= sizeof(void*));

namespace {

pthread_t ThreadOf(void* handle) {
    pthread_t thread;
    std::memcpy(&thread, &handle, sizeof thread);
    return thread;
}

}  // namespace

bool CStartedThread::Start(Routine routineToRun, void* argumentToPass, std::size_t stackBytes) {
    if (handle != nullptr || testhooks::ThreadStartFails()) return false;
    routine = routineToRun;
    argument = argumentToPass;
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
    pthread_t thread;
    auto run = [](void* self) -> void* {
        RunOn(self);
        return nullptr;
    };
    bool started = pthread_attr_setstacksize(&attributes, stackBytes) == 0 &&
                   pthread_create(&thread, &attributes, run, this) == 0;
    pthread_attr_destroy(&attributes);
    if (!started) return false;
    handle = nullptr;
    std::memcpy(&handle, &thread, sizeof thread);
    // A pthread_t of 0 would read as no thread; glibc never gives one.
    return handle != nullptr;
}

void CStartedThread::Join() {
    if (handle == nullptr) return;
    pthread_join(ThreadOf(handle), nullptr);
    handle = nullptr;
}

// The voluntary switches of the thread: each time it blocked. Those forced
// on it by the scheduler are counted apart.
long long ThreadSleepsSoFar() {
    rusage usage;
    if (getrusage(RUSAGE_THREAD, &usage) != 0) return -1;
    return usage.ru_nvcsw;
}
