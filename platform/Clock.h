#pragma once
// The one place that reads the monotonic clock. Frame timing asks frameTimeMs(): real time
// normally, and exactly 16 ms a frame while an input script plays, so a scripted run repeats
// frame for frame. Frames are counted from presents (Egl.h); a turn of the event pump that
// presented nothing (a paused window) counts as a frame too, so scripts go on while paused.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform {

// Where the monotonic clock comes from, and how a thread that holds a lock waits on it for a
// while. Tests install a ManualClock so that nothing they check depends on the machine's speed.
class ClockSource {
public:
    virtual ~ClockSource() = default;
    virtual uint64_t nowNs() = 0;
    // Waits at most ns on cv (which the lock's mutex guards); may return early.
    virtual void waitFor(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, uint64_t ns) = 0;
    // Waits on cv until notified (or woken spuriously).
    virtual void wait(std::condition_variable& cv, std::unique_lock<std::mutex>& lock) { cv.wait(lock); }
};

// Time that moves only when told: advance() moves it, and a wait moves it to the waiter's
// deadline at once, so a blocked writer runs as fast as it can while keeping exact time.
class ManualClock : public ClockSource {
public:
    explicit ManualClock(uint64_t startNs = 1000000000ull) : m_now(startNs) {}
    uint64_t nowNs() override { return m_now.load(); }
    void waitFor(std::condition_variable&, std::unique_lock<std::mutex>&, uint64_t ns) override { m_now += ns; }
    // Untimed waits are real; a test learns that a thread has reached one from waiters().
    void wait(std::condition_variable& cv, std::unique_lock<std::mutex>& lock) override
    {
        ++m_waiters;
        cv.wait(lock);
        --m_waiters;
    }
    void advance(uint64_t ns) { m_now += ns; }
    int waiters() const { return m_waiters.load(); }  // threads inside wait() now

private:
    std::atomic<uint64_t> m_now;
    std::atomic<int> m_waiters{0};
};

class Clock {
public:
    static constexpr uint64_t kScriptFrameMs = 16;

    static void setSource(ClockSource* source);  // not owned; null: CLOCK_MONOTONIC
    static uint64_t monotonicNs();  // the source's time, in nanoseconds
    static void waitFor(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, uint64_t ns);
    static void wait(std::condition_variable& cv, std::unique_lock<std::mutex>& lock);
    static uint64_t monotonicMs();
    static uint64_t frameTimeMs();  // monotonic ms, or frames() x 16 under a script
    static uint64_t frames();       // frames so far
    static bool scripted();         // an input script plays (loads QUENDRAX_SCRIPT on first use)

    static void countPresent();     // a frame was presented
    static void countTurn();        // a pump turn begins; a frame when the last turn presented nothing
    static void reset();            // frame count back to 0 (tests)
};

}  // namespace platform
