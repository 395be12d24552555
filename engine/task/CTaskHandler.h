// Task handlers take one id bit each from a global mask; a task whose affinity mask shares a
// bit with a handler's id may run on that handler. CPU handlers run tasks on worker threads;
// the graphics handler runs them on the thread that owns the GL context.
#pragma once

#include <cstdint>

#include "engine/task/CTask.h"
#include "engine/thread/CMutex.h"
#include "engine/thread/IThread.h"

namespace pravik::task {

class CTaskHandler {
public:
    explicit CTaskHandler(std::uint32_t taskType);
    virtual ~CTaskHandler();
    CTaskHandler(const CTaskHandler&) = delete;
    CTaskHandler& operator=(const CTaskHandler&) = delete;

    virtual void setTask(CTask* task) { (void)task; }
    std::uint32_t getId() const { return m_id; }   // one bit; 0 when none was left
    std::uint32_t getTaskType() const { return m_taskType; }

    static std::uint32_t UsedID;
    static thread::CMutex UsedIDMutex;

private:
    std::uint32_t m_id;
    std::uint32_t m_taskType;
};

class CCpuTaskHandler : public CTaskHandler {
public:
    CCpuTaskHandler() : CCpuTaskHandler(CCpuTask::TaskType) {}
    ~CCpuTaskHandler() override;

    void setTask(CTask* task) override { m_task = task; }
    // Takes the next task for this handler (waiting for one when asked), runs it and deletes
    // it when managed. Always true, so a worker loops until the process ends.
    bool run(bool wait);

    // Starts count worker threads (at most 16), each running run(true) forever.
    static void init(int count);

    static std::uint32_t HandlersMask;
    static std::int32_t ThreadsCount;
    static thread::IThread* Threads[16];

protected:
    explicit CCpuTaskHandler(std::uint32_t taskType);

private:
    CTask* m_task = nullptr;
};

class CCpuGraphicsTaskHandler : public CCpuTaskHandler {
public:
    CCpuGraphicsTaskHandler();
    ~CCpuGraphicsTaskHandler() override;

    static std::uint32_t HandlersMask;
};

} // namespace pravik::task
