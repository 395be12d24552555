#pragma once
// Holds the audio engine's update thread between passes: it runs a pass only when the test lets
// it, on a clock that moves by the sleeps it asks for. What a test then sees of the engine's
// states never depends on how the machine schedules threads.
// Make the gate before the engine (its clock starts at the engine's start) and open() it before
// the engine is destroyed: a thread held in the gate could not be joined.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "audio/KezClock.h"
#include "audio/KezThread.h"

namespace test {

class UpdateGate {
public:
    UpdateGate() {
        s_gate = this;
        kez::SetTimeSource(&UpdateGate::now);
        kez::KezThread::SetSleeper(&UpdateGate::sleep);
    }
    ~UpdateGate() {
        open();
        kez::KezThread::SetSleeper(nullptr);
        kez::SetTimeSource(nullptr);
        s_gate = nullptr;
    }
    UpdateGate(const UpdateGate&) = delete;
    UpdateGate& operator=(const UpdateGate&) = delete;

    // Until the thread has finished the passes it was let run (its first runs when it starts)
    // and waits in the gate again.
    void settle() {
        std::unique_lock<std::mutex> l(m_lock);
        m_changed.wait(l, [&] { return m_entered > m_released; });
    }
    // Lets the thread run n more passes, then settle().
    void passes(int n) {
        {
            std::lock_guard<std::mutex> l(m_lock);
            m_released += uint64_t(n);
        }
        m_changed.notify_all();
        settle();
    }
    // Sleeps return at once from now on.
    void open() {
        {
            std::lock_guard<std::mutex> l(m_lock);
            m_open = true;
        }
        m_changed.notify_all();
    }
    double seconds() const { return double(m_nowUs.load()) / 1e6; }

private:
    static double now() { return s_gate->seconds(); }
    static void sleep(int ms) {
        UpdateGate& g = *s_gate;
        g.m_nowUs += uint64_t(ms) * 1000u;
        std::unique_lock<std::mutex> l(g.m_lock);
        const uint64_t turn = ++g.m_entered;
        g.m_changed.notify_all();
        g.m_changed.wait(l, [&] { return g.m_open || g.m_released >= turn; });
    }

    static inline UpdateGate* s_gate = nullptr;
    std::mutex m_lock;
    std::condition_variable m_changed;
    uint64_t m_entered = 0;   // sleeps begun: one after each pass
    uint64_t m_released = 0;  // sleeps the test has let end
    bool m_open = false;
    std::atomic<uint64_t> m_nowUs{1000000};
};

}  // namespace test
