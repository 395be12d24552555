#include "engine/thread/CCondition.h"

#include <ctime>

namespace pravik::thread {

CCondition::CCondition(CMutex& mutex) : m_mutex(&mutex)
{
    // Deadlines on the monotonic clock: a wall-clock change must not stretch or cut a wait.
    pthread_condattr_t attributes;
    pthread_condattr_init(&attributes);
    pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC);
    pthread_cond_init(&m_condition, &attributes);
    pthread_condattr_destroy(&attributes);
}

CCondition::~CCondition()
{
    pthread_cond_destroy(&m_condition);
}

bool CCondition::wait(unsigned ms)
{
    if (ms == 0)
        return pthread_cond_wait(&m_condition, m_mutex->native()) == 0;
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += ms / 1000;
    deadline.tv_nsec += long(ms % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    return pthread_cond_timedwait(&m_condition, m_mutex->native(), &deadline) == 0;
}

bool CCondition::signal()
{
    return pthread_cond_signal(&m_condition) != 0;
}

bool CCondition::broadcast()
{
    return pthread_cond_broadcast(&m_condition) != 0;
}

} // namespace pravik::thread
