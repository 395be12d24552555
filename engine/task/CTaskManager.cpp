#include "engine/task/CTaskManager.h"

#include <algorithm>

#include "engine/task/CTaskHandler.h"

namespace pravik::task {

CTaskManager* CTaskManager::getInstance()
{
    // Never destroyed: workers sleep on its condition until the process ends, and destroying a
    // condition with waiters blocks the exit for ever.
    static CTaskManager* instance = new CTaskManager;
    return instance;
}

void CTaskManager::push(CTask* task)
{
    thread::SScopedLock lock(m_mutex);
    m_queue.push_back(task);
    // Every sleeping handler looks: the one woken might not be allowed to run this task.
    m_condition.broadcast();
}

bool CTaskManager::dispatchTask(CTaskHandler* handler, bool wait)
{
    thread::SScopedLock lock(m_mutex);
    for (;;) {
        const std::uint32_t id = handler->getId();
        auto it = std::find_if(m_queue.begin(), m_queue.end(),
                               [id](CTask* t) { return (t->getTaskHandlerAffinityMask() & id) != 0; });
        if (it != m_queue.end()) {
            CTask* task = *it;
            m_queue.erase(it);
            handler->setTask(task);
            return true;
        }
        if (!wait)
            return false;
        // A waiting worker sleeps until something new is pushed rather than spinning over
        // tasks meant for other handlers.
        m_condition.wait(0);
    }
}

void CTaskManager::pop(CTask* task)
{
    thread::SScopedLock lock(m_mutex);
    auto it = std::find(m_queue.begin(), m_queue.end(), task);
    if (it != m_queue.end())
        m_queue.erase(it);
}

std::size_t CTaskManager::size()
{
    thread::SScopedLock lock(m_mutex);
    return m_queue.size();
}

} // namespace pravik::task
