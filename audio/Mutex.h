#pragma once
// A plain platform mutex (default attributes: not recursive).

#include <pthread.h>

namespace kez {

class Mutex {
public:
    Mutex();
    Mutex(const Mutex& other);
    Mutex& operator=(const Mutex&) = delete;
    ~Mutex();

    void Lock();
    void Unlock();
    bool TryLock();  // true when the lock was taken at once

private:
    pthread_mutex_t m_mutex;
};

// Holds a Mutex for one scope.
class MutexLock {
public:
    explicit MutexLock(Mutex& mutex) : m_mutex(mutex) { m_mutex.Lock(); }
    ~MutexLock() { m_mutex.Unlock(); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    Mutex& m_mutex;
};

}  // namespace kez
