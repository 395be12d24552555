#include "audio/Handlable.h"

namespace kez {

void Handlable::Retain() {
    MutexLock lock(m_lock);
    ++m_refCount;
}

void Handlable::Release() {
    MutexLock lock(m_lock);
    if (m_refCount > 0) --m_refCount;
}

int Handlable::GetRefCount() {
    MutexLock lock(m_lock);
    return m_refCount;
}

}  // namespace kez
