#include "engine/task/CTask.h"

#include <ctime>

#include "engine/task/CTaskManager.h"

namespace pravik::task {

std::uint32_t CTask::UsedMaskID = 0;
// Registered here, in this order, so the graphics type is 1 and the CPU type 2.
std::uint32_t CCpuGraphicsTask::TaskType = CTask::registerTaskType();
std::uint32_t CCpuTask::TaskType = CTask::registerTaskType();

CTask::CTask(std::uint32_t affinityMask, bool managed)
    : m_affinityMask(affinityMask), m_condition(m_mutex), m_managed(managed)
{
}

std::uint32_t CTask::registerTaskType()
{
    for (std::uint32_t bit = 1; bit != 0; bit <<= 1) {
        if (!(UsedMaskID & bit)) {
            UsedMaskID |= bit;
            return bit;
        }
    }
    return 0;
}

void CTask::unregisterTaskType(std::uint32_t mask)
{
    UsedMaskID &= ~mask;
}

void CTask::push()
{
    CTaskManager::getInstance()->push(this);
}

void CTask::done()
{
    thread::SScopedLock lock(m_mutex);
    onDone();
    for (CTask* dependant : m_dependants)
        dependant->onDependencyDone(this);
    m_done = true;
    m_condition.broadcast();
}

void CTask::onDependencyDone(CTask*)
{
    --m_pendingDependencies;
}

bool CTask::isDone()
{
    thread::SScopedLock lock(m_mutex);
    return m_done;
}

bool CTask::wait(unsigned ms)
{
    thread::SScopedLock lock(m_mutex);
    if (ms == 0) {
        while (!m_done)
            m_condition.wait(0);
        return true;
    }
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const long long deadline = start.tv_sec * 1000LL + start.tv_nsec / 1000000 + ms;
    while (!m_done) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const long long left = deadline - (now.tv_sec * 1000LL + now.tv_nsec / 1000000);
        if (left <= 0 || !m_condition.wait(unsigned(left)))
            break;
    }
    return m_done;
}

CCpuTask::CCpuTask(IRunnable* function, bool managed, std::uint32_t affinityMask)
    : CTask(affinityMask, managed), m_function(function)
{
}

void CCpuTask::run()
{
    if (m_function)
        m_function->run();
    done();
}

} // namespace pravik::task
