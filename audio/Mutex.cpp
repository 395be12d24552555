#include "audio/Mutex.h"

namespace kez {

Mutex::Mutex() { pthread_mutex_init(&m_mutex, nullptr); }
// A copy is a fresh mutex: copying a locked platform object would copy its owner too.
Mutex::Mutex(const Mutex&) { pthread_mutex_init(&m_mutex, nullptr); }
Mutex::~Mutex() { pthread_mutex_destroy(&m_mutex); }
void Mutex::Lock() { pthread_mutex_lock(&m_mutex); }
void Mutex::Unlock() { pthread_mutex_unlock(&m_mutex); }
bool Mutex::TryLock() { return pthread_mutex_trylock(&m_mutex) == 0; }

}  // namespace kez
