// Tasks: work with an affinity mask of task-handler id bits. A task is pushed to the task
// manager's queue and taken by the first handler whose id shares a bit with the mask.
// Completion is remembered, so a wait that starts after done() returns at once.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "engine/thread/CCondition.h"
#include "engine/thread/CMutex.h"

namespace pravik::task {

class CTask {
public:
    CTask(std::uint32_t affinityMask, bool managed);   // managed: the handler deletes it after running
    virtual ~CTask() = default;
    CTask(const CTask&) = delete;
    CTask& operator=(const CTask&) = delete;

    virtual void push();                                 // onto the task manager's queue
    virtual bool wait(unsigned ms = 0);                  // 0: no limit; true once the task is done
    virtual std::uint32_t getTaskHandlerAffinityMask() { return m_affinityMask; }
    virtual bool isManaged() { return m_managed; }
    virtual void run() {}
    virtual void onDone() {}

    void done();                                         // onDone, notify dependants, wake waiters
    void onDependencyDone(CTask* task);
    bool isDone();

    // Task types: single bits taken from a 32-bit mask; 0 when all are taken.
    static std::uint32_t registerTaskType();
    static void unregisterTaskType(std::uint32_t mask);
    static std::uint32_t UsedMaskID;

protected:
    std::uint32_t m_affinityMask;
    std::int32_t m_pendingDependencies = 0;
    std::vector<CTask*> m_dependants;

private:
    thread::CMutex m_mutex;
    thread::CCondition m_condition;
    bool m_managed;
    bool m_done = false;
};

// The work of a CPU task.
class IRunnable {
public:
    virtual ~IRunnable() = default;
    virtual void run() = 0;
};

// Runs a copy of a function object.
template <typename F>
struct SFunction : IRunnable {
    explicit SFunction(F f) : function(std::move(f)) {}
    void run() override { function(); }
    F function;
};

// A task that runs a function object, then reports done.
class CCpuTask : public CTask {
public:
    CCpuTask(IRunnable* function, bool managed, std::uint32_t affinityMask);   // owns the function
    ~CCpuTask() override { delete m_function; }
    void run() override;

    static std::uint32_t TaskType;   // 2

private:
    IRunnable* m_function;
};

// A CPU task for the thread that owns the GL context.
class CCpuGraphicsTask : public CCpuTask {
public:
    using CCpuTask::CCpuTask;
    static std::uint32_t TaskType;   // 1
};

} // namespace pravik::task
