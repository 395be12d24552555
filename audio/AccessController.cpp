#include "audio/AccessController.h"

#include <unistd.h>

namespace kez {

void AccessController::GetReadAccess() {
    for (;;) {
        m_mutex.Lock();
        if (m_writer == 0) {
            ++m_readers;
            m_mutex.Unlock();
            return;
        }
        m_mutex.Unlock();
        usleep(1000);
    }
}

void AccessController::ReleaseReadAccess() {
    MutexLock lock(m_mutex);
    --m_readers;
}

void AccessController::GetWriteAccess() {
    for (;;) {
        m_mutex.Lock();
        if (m_writer == 0 && m_readers == 0) {
            m_writer = 1;
            m_mutex.Unlock();
            return;
        }
        m_mutex.Unlock();
        usleep(1000);
    }
}

void AccessController::ReleaseWriteAccess() {
    MutexLock lock(m_mutex);
    --m_writer;
}

int AccessController::Readers() { MutexLock lock(m_mutex); return m_readers; }
int AccessController::Writer() { MutexLock lock(m_mutex); return m_writer; }

}  // namespace kez
