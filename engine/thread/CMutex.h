// A POSIX mutex with default attributes; constant-initialised, so a static one is usable
// from any unit's static initialisers.
#pragma once

#include <pthread.h>

namespace pravik::thread {

class CMutex {
public:
    constexpr CMutex() = default;
    ~CMutex() { pthread_mutex_destroy(&m_mutex); }
    CMutex(const CMutex&) = delete;
    CMutex& operator=(const CMutex&) = delete;

    void lock() { pthread_mutex_lock(&m_mutex); }
    void unlock() { pthread_mutex_unlock(&m_mutex); }
    bool tryLock() { return pthread_mutex_trylock(&m_mutex) == 0; }
    pthread_mutex_t* native() { return &m_mutex; }

private:
    pthread_mutex_t m_mutex = PTHREAD_MUTEX_INITIALIZER;
};

// Holds a mutex for the scope.
class SScopedLock {
public:
    explicit SScopedLock(CMutex& mutex) : m_mutex(mutex) { m_mutex.lock(); }
    ~SScopedLock() { m_mutex.unlock(); }
    SScopedLock(const SScopedLock&) = delete;
    SScopedLock& operator=(const SScopedLock&) = delete;

private:
    CMutex& m_mutex;
};

} // namespace pravik::thread
