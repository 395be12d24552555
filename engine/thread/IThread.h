// Engine threads over POSIX threads. A thread object starts its platform thread suspended
// (count 1); run() resumes it. Destroying a thread object neither joins nor stops it.
#pragma once

#include <cstdint>
#include <utility>

namespace pravik::thread {

enum E_PRIORITY : std::int32_t {
    EP_LOWEST = 0,    // normal - 2
    EP_LOW = 1,       // normal - 1
    EP_NORMAL = 2,    // unchanged
    EP_HIGH = 3,      // normal + 1
    EP_HIGHEST = 4,   // normal + 2
    EP_MINIMUM = 5,   // the policy's minimum
    EP_MAXIMUM = 6,   // the policy's maximum
};

enum E_THREAD_STATE : std::int32_t {
    ETS_CREATED = 0,
    ETS_RUNNING = 1,
    ETS_WAITING_TO_START = 2,
    ETS_FINISHED = 3,   // finished or joined
    ETS_DETACHED = 4,
};

class IThread {
public:
    IThread() = default;
    virtual ~IThread() = default;
    IThread(const IThread&) = delete;
    IThread& operator=(const IThread&) = delete;

    virtual bool setPriority(E_PRIORITY priority) = 0;
    virtual bool join(unsigned ms = 0) = 0;   // waits without a limit; the platform has none
    virtual void suspend() = 0;               // delays only a thread that has not begun its work
    virtual void resume() = 0;
    virtual bool run() = 0;
    virtual void detach() = 0;
    virtual std::uint32_t getStackSize() const = 0;
};

namespace detail {

class IRunnable {
public:
    virtual ~IRunnable() = default;
    virtual void run() = 0;
};

// Runs a copy of a function object.
template <typename F>
struct SThreadFunction : IRunnable {
    explicit SThreadFunction(F f) : function(std::move(f)) {}
    void run() override { function(); }
    F function;
};

} // namespace detail

} // namespace pravik::thread
