// The one queue of pushed tasks, in push order. Handlers take the first task whose affinity
// shares a bit with their id; a task with affinity 0 is never taken.
#pragma once

#include <vector>

#include "engine/task/CTask.h"
#include "engine/thread/CCondition.h"
#include "engine/thread/CMutex.h"

namespace pravik::task {

class CTaskHandler;

class CTaskManager {
public:
    static CTaskManager* getInstance();   // made on first use, kept to the end of the process

    void push(CTask* task);
    // Hands the first matching task to the handler and takes it off the queue; with wait,
    // sleeps while the queue is empty. False when no task matches.
    bool dispatchTask(CTaskHandler* handler, bool wait);
    void pop(CTask* task);                // removes the first occurrence
    std::size_t size();

private:
    CTaskManager() : m_condition(m_mutex) {}

    std::vector<CTask*> m_queue;
    thread::CMutex m_mutex;
    thread::CCondition m_condition;
};

} // namespace pravik::task
