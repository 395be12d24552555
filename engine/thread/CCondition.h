// A POSIX condition bound to a CMutex that the caller holds around wait().
#pragma once

#include <pthread.h>

#include "engine/thread/CMutex.h"

namespace pravik::thread {

class CCondition {
public:
    explicit CCondition(CMutex& mutex);   // the mutex is not owned
    ~CCondition();
    CCondition(const CCondition&) = delete;
    CCondition& operator=(const CCondition&) = delete;

    // ms = 0 waits without a limit. True when woken, false on time-out or error.
    bool wait(unsigned ms = 0);
    // Both answer true when the platform call FAILED, false when it succeeded.
    bool signal();
    bool broadcast();

private:
    CMutex* m_mutex;
    pthread_cond_t m_condition;
};

} // namespace pravik::thread
