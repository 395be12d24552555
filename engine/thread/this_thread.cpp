#include "engine/thread/this_thread.h"

#include <map>
#include <mutex>

#include "engine/thread/CThread.h"

namespace pravik::thread::this_thread {

namespace {

// The registry is meant to change on one thread at a time; the lock makes a mistake harmless.
struct SRegistry {
    std::mutex mutex;
    std::map<ThreadId, IThread*> threadMap;
    CThread<0>* mainThread = nullptr;
};

SRegistry& registry()
{
    static SRegistry r;
    return r;
}

} // namespace

IThread* find(const ThreadId& id)
{
    auto& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.threadMap.find(id);
    return it == r.threadMap.end() ? nullptr : it->second;
}

IThread* get()
{
    const ThreadId self = pthread_self();
    if (IThread* found = find(self))
        return found;
    auto* adopted = new CThread<0>(nullptr);
    adopted->adopt(self);
    CThread<0>* previous = nullptr;
    {
        auto& r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        previous = r.mainThread;
        r.mainThread = adopted;
    }
    delete previous;   // removes its own entry
    add(self, adopted);
    return adopted;
}

void add(const ThreadId& id, IThread* thread)
{
    auto& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.threadMap[id] = thread;
}

void remove(const ThreadId& id)
{
    auto& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.threadMap.erase(id);
}

void sleep(unsigned) {}
void yield() {}

} // namespace pravik::thread::this_thread
