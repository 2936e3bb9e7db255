// One object per thread, made on the thread's first use and destroyed when
// the thread ends, with nothing on the way that can end the process for want
// of memory. (A thread_local object with a destructor has the runtime
// register that destructor on first use, which allocates; glibc ends the
// process when it cannot. A key's slot needs no allocation of its own.)
#pragma once

#include <new>

#if defined(_WIN32)

template <typename T>
class CThreadSlot {
  public:
    // The calling thread's object; nullptr when no memory could be had.
    T* Get() {
        thread_local T object;
        return &object;
    }
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
