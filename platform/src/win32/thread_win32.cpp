// Threads on Windows: the C runtime's thread start, with the stack reserved
// at the size asked for.
#include <windows.h>

#include <process.h>

#include <sorahiki/testhooks.h>
#include <sorahiki/thread.h>

namespace {

unsigned __stdcall StartRoutine(void* self) {
    CStartedThread::RunOn(self);
    return 0;
}

}  // namespace

bool CStartedThread::Start(Routine routineToRun, void* argumentToPass, std::size_t stackBytes) {
    if (handle != nullptr || testhooks::ThreadStartFails()) return false;
    routine = routineToRun;
    argument = argumentToPass;
    uintptr_t thread = _beginthreadex(nullptr, static_cast<unsigned>(stackBytes), StartRoutine,
                                      this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == 0) return false;
    handle = reinterpret_cast<void*>(thread);
    return true;
}

void CStartedThread::Join() {
    if (handle == nullptr) return;
    WaitForSingleObject(static_cast<HANDLE>(handle), INFINITE);
    CloseHandle(static_cast<HANDLE>(handle));
    handle = nullptr;
}

// Windows keeps no such count for a thread.
long long ThreadSleepsSoFar() {
    return -1;
}
