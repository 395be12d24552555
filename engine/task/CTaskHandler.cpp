#include "engine/task/CTaskHandler.h"

#include "engine/task/CTaskManager.h"
#include "engine/thread/CThread.h"
#include "engine/thread/this_thread.h"

namespace pravik::task {

std::uint32_t CTaskHandler::UsedID = 0;
constinit thread::CMutex CTaskHandler::UsedIDMutex;
std::uint32_t CCpuTaskHandler::HandlersMask = 0;
std::int32_t CCpuTaskHandler::ThreadsCount = 0;
thread::IThread* CCpuTaskHandler::Threads[16] = {};
std::uint32_t CCpuGraphicsTaskHandler::HandlersMask = 0;

CTaskHandler::CTaskHandler(std::uint32_t taskType) : m_id(std::uint32_t(-1)), m_taskType(taskType)
{
    thread::SScopedLock lock(UsedIDMutex);
    std::uint32_t bit = 1;
    while (bit != 0 && (UsedID & bit))
        bit <<= 1;
    m_id = bit;
    UsedID |= bit;
}

CTaskHandler::~CTaskHandler()
{
    thread::SScopedLock lock(UsedIDMutex);
    UsedID &= ~m_id;
}

CCpuTaskHandler::CCpuTaskHandler(std::uint32_t taskType) : CTaskHandler(taskType)
{
    HandlersMask |= getId();
}

CCpuTaskHandler::~CCpuTaskHandler()
{
    HandlersMask &= ~getId();
}

bool CCpuTaskHandler::run(bool wait)
{
    if (CTaskManager::getInstance()->dispatchTask(this, wait) && m_task) {
        CTask* task = m_task;
        const bool managed = task->isManaged();
        task->run();
        if (managed)
            delete task;
        m_task = nullptr;
    }
    return true;
}

void CCpuTaskHandler::init(int count)
{
    if (count < 1)
        return;
    ThreadsCount = count > 15 ? 16 : count;
    for (int i = 0; i < ThreadsCount; ++i) {
        auto* handler = new CCpuTaskHandler;   // lives as long as its worker, i.e. the process
        auto* worker = thread::CThread<1024>::fromFunction([handler] {
            while (handler->run(true)) {
            }
        });
        worker->createThread();
        thread::this_thread::add(worker->getId(), worker);
        Threads[i] = worker;
        worker->run();
    }
}

CCpuGraphicsTaskHandler::CCpuGraphicsTaskHandler() : CCpuTaskHandler(CCpuGraphicsTask::TaskType)
{
    CCpuTaskHandler::HandlersMask &= ~getId();
    HandlersMask |= getId();
}

CCpuGraphicsTaskHandler::~CCpuGraphicsTaskHandler()
{
    HandlersMask &= ~getId();
}

} // namespace pravik::task
