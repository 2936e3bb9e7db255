// One object per thread, made on the thread's first use and destroyed when
// the thread ends, through the system's own per-thread slots rather than
// thread_local: on Linux the runtime registers a thread_local's destructor
// on first use, which allocates, and glibc ends the process when it cannot;
// a key's slot needs no allocation of its own.
#pragma once

#include <new>

#if defined(_WIN32)

#include <windows.h>

// A fiber-local slot, whose callback the system calls as each thread ends.
// (The C++ runtime's own destructors of thread_local objects may run after
// its storage for them is gone, on threads it did not start.)
template <typename T>
class CThreadSlot {
  public:
    CThreadSlot() : m_index(FlsAlloc(Destroy)) {}

    // The calling thread's object; nullptr when no memory could be had.
    T* Get() {
        if (m_index == FLS_OUT_OF_INDEXES) return nullptr;
        if (void* object = FlsGetValue(m_index)) return static_cast<T*>(object);
        T* made = new (std::nothrow) T();
        if (made != nullptr && !FlsSetValue(m_index, made)) {
            delete made;
            made = nullptr;
        }
        return made;
    }

  private:
    static void WINAPI Destroy(void* object) { delete static_cast<T*>(object); }

    DWORD m_index;
};

#else

#include <pthread.h>

template <typename T>
class CThreadSlot {
  public:
    // Made once, before any thread uses it (a static); never destroyed, so
    // a thread that ends late still finds it.
    CThreadSlot() { m_bKeyMade = pthread_key_create(&m_key, Destroy) == 0; }

    // The calling thread's object; nullptr when no memory could be had.
    T* Get() {
        if (!m_bKeyMade) return nullptr;
        void* object = pthread_getspecific(m_key);
        if (object != nullptr) return static_cast<T*>(object);
        T* made = new (std::nothrow) T();
        if (made != nullptr && pthread_setspecific(m_key, made) != 0) {
            delete made;
            made = nullptr;
        }
        return made;
    }

  private:
    static void Destroy(void* object) { delete static_cast<T*>(object); }

    pthread_key_t m_key{};
    bool m_bKeyMade = false;
};

#endif
