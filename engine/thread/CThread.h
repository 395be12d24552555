// A thread with a suspend count: it waits before its work while the count is above 0.
// StackSize 0 is the form the registry adopts for a thread it did not make (1 MiB reported).
// Stacks below the platform minimum are raised to it.
#pragma once

#include <atomic>
#include <climits>
#include <pthread.h>
#include <sched.h>
#include <utility>

#include "engine/thread/IThread.h"
#include "engine/thread/this_thread.h"

namespace pravik::thread {

template <std::uint32_t StackSize>
class CThread : public IThread {
public:
    // Takes ownership of the work.
    explicit CThread(detail::IRunnable* runnable) : m_runnable(runnable) { initSync(); }
    template <typename F>
    static CThread* fromFunction(F f) { return new CThread(new detail::SThreadFunction<F>(std::move(f))); }

    ~CThread() override
    {
        pthread_cond_destroy(&m_condition);
        pthread_mutex_destroy(&m_mutex);
        if (m_hasId)
            this_thread::remove(m_id);
        delete m_runnable;
    }

    // Starts the platform thread, suspended; false when it could not be made.
    bool createThread();

    bool setPriority(E_PRIORITY priority) override;
    bool join(unsigned ms = 0) override;
    void suspend() override;
    void resume() override;
    bool run() override
    {
        resume();
        m_state = ETS_RUNNING;
        return true;
    }
    void detach() override;
    std::uint32_t getStackSize() const override { return StackSize == 0 ? 1048576u : StackSize; }

    E_PRIORITY getPriority() const { return m_priority; }
    E_THREAD_STATE getState() const { return m_state.load(); }
    this_thread::ThreadId getId() const { return m_id; }

    // The registry's adoption of a running thread it did not make.
    void adopt(this_thread::ThreadId id)
    {
        m_id = id;
        m_hasId = true;
        m_state = ETS_RUNNING;
    }

private:
    void initSync()
    {
        pthread_mutex_init(&m_mutex, nullptr);
        pthread_cond_init(&m_condition, nullptr);
    }
    static void* entry(void* self);

    E_PRIORITY m_priority = EP_NORMAL;
    std::atomic<E_THREAD_STATE> m_state{ETS_CREATED};
    this_thread::ThreadId m_id{};
    bool m_hasId = false;
    pthread_mutex_t m_mutex;
    pthread_cond_t m_condition;
    int m_suspendCount = 0;
    detail::IRunnable* m_runnable;
};

template <std::uint32_t StackSize>
bool CThread<StackSize>::createThread()
{
    m_state = ETS_CREATED;
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    std::size_t stack = getStackSize();
    if (stack < std::size_t(PTHREAD_STACK_MIN))
        stack = PTHREAD_STACK_MIN;
    pthread_attr_setstacksize(&attributes, stack);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_JOINABLE);
    pthread_mutex_lock(&m_mutex);
    m_suspendCount = 1;
    pthread_mutex_unlock(&m_mutex);
    const bool made = pthread_create(&m_id, &attributes, &CThread::entry, this) == 0;
    pthread_attr_destroy(&attributes);
    m_hasId = made;
    return made;
}

template <std::uint32_t StackSize>
void* CThread<StackSize>::entry(void* self)
{
    auto* t = static_cast<CThread*>(self);
    pthread_mutex_lock(&t->m_mutex);
    while (t->m_suspendCount > 0) {
        t->m_state = ETS_WAITING_TO_START;
        pthread_cond_wait(&t->m_condition, &t->m_mutex);
    }
    pthread_mutex_unlock(&t->m_mutex);
    if (t->m_runnable)
        t->m_runnable->run();
    t->m_state = ETS_FINISHED;
    return nullptr;
}

template <std::uint32_t StackSize>
bool CThread<StackSize>::setPriority(E_PRIORITY priority)
{
    m_priority = priority;
    if (!m_hasId)
        return false;
    int policy = 0;
    sched_param param{};
    if (pthread_getschedparam(m_id, &policy, &param) != 0)
        return false;
    switch (priority) {
    case EP_LOWEST: param.sched_priority -= 2; break;
    case EP_LOW: param.sched_priority -= 1; break;
    case EP_HIGH: param.sched_priority += 1; break;
    case EP_HIGHEST: param.sched_priority += 2; break;
    case EP_MINIMUM: param.sched_priority = sched_get_priority_min(policy); break;
    case EP_MAXIMUM: param.sched_priority = sched_get_priority_max(policy); break;
    default: break;
    }
    // Keep within the policy's range (under SCHED_OTHER both ends are 0).
    const int lo = sched_get_priority_min(policy), hi = sched_get_priority_max(policy);
    if (param.sched_priority < lo)
        param.sched_priority = lo;
    if (param.sched_priority > hi)
        param.sched_priority = hi;
    return pthread_setschedparam(m_id, policy, &param) == 0;
}

template <std::uint32_t StackSize>
bool CThread<StackSize>::join(unsigned)
{
    if (!m_hasId)
        return false;
    const bool joined = pthread_join(m_id, nullptr) == 0;
    m_state = ETS_FINISHED;
    return joined;
}

template <std::uint32_t StackSize>
void CThread<StackSize>::suspend()
{
    pthread_mutex_lock(&m_mutex);
    ++m_suspendCount;
    pthread_mutex_unlock(&m_mutex);
}

template <std::uint32_t StackSize>
void CThread<StackSize>::resume()
{
    pthread_mutex_lock(&m_mutex);
    --m_suspendCount;
    pthread_cond_signal(&m_condition);
    pthread_mutex_unlock(&m_mutex);
}

template <std::uint32_t StackSize>
void CThread<StackSize>::detach()
{
    m_state = ETS_DETACHED;
    if (!m_hasId)
        return;
    pthread_detach(m_id);
    this_thread::remove(m_id);
}

} // namespace pravik::thread
