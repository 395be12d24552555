#pragma once
// The audio engine's two threads in step on a clock the test owns. The output's writer moves the
// clock: when the device is full, its wait for the next fragment advances time at once, so sound
// is made as fast as the machine allows. The update thread wakes only when the writer, resting
// between its passes, finds the update's sleep over; the writer then waits for that pass to end.
// The test lets time go on with run(); between runs both threads rest outside every engine lock,
// so the test may call the engine. What is played never depends on the machine's speed or on how
// it schedules threads.
// Make it before the engine and open() it before the engine is destroyed: a thread held here
// could not be joined.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "audio/DriverQSA.h"
#include "audio/KezClock.h"
#include "audio/KezThread.h"
#include "platform/Clock.h"

namespace test {

class AudioLockstep : public platform::ClockSource {
public:
    // withUpdate: false when the test drives a driver without an engine (no update thread).
    explicit AudioLockstep(bool withUpdate = true) : m_updateResting(!withUpdate) {
        if (!withUpdate)
            m_updateDeadline = UINT64_MAX;
        s_step = this;
        platform::Clock::setSource(this);
        kez::SetTimeSource(&AudioLockstep::updateTime);
        kez::KezThread::SetSleeper(&AudioLockstep::updateSleep);
        kez::DriverQSA::SetPause(&AudioLockstep::writerPause);
    }
    ~AudioLockstep() override {
        open();
        kez::DriverQSA::SetPause(nullptr);
        kez::KezThread::SetSleeper(nullptr);
        kez::SetTimeSource(nullptr);
        platform::Clock::setSource(nullptr);
        s_step = nullptr;
    }
    AudioLockstep(const AudioLockstep&) = delete;
    AudioLockstep& operator=(const AudioLockstep&) = delete;

    uint64_t nowNs() override { return m_now.load(); }
    // The writer waits for room: time moves to the end of the wait at once.
    void waitFor(std::condition_variable&, std::unique_lock<std::mutex>&, uint64_t ns) override { m_now += ns; }

    // Until both threads rest, with no update pass due (the engine has started).
    void settle() {
        std::unique_lock<std::mutex> l(m_lock);
        m_changed.wait(l, [&] { return restingAt(m_limit); });
    }
    // Lets the output play about `seconds` more (to the end of the fragment that crosses it).
    void run(double seconds) {
        std::unique_lock<std::mutex> l(m_lock);
        m_changed.wait(l, [&] { return restingAt(m_limit); });
        m_limit = m_now.load() + uint64_t(seconds * 1e9);
        m_writerResting = false;
        m_changed.notify_all();
        m_changed.wait(l, [&] { return restingAt(m_limit); });
    }
    // Moves the clock while the writer rests, as if it had been held up that long.
    void advance(double seconds) {
        std::unique_lock<std::mutex> l(m_lock);
        m_changed.wait(l, [&] { return restingAt(m_limit); });
        m_now += uint64_t(seconds * 1e9);
        m_limit = m_now.load();
    }
    // run() in steps of 10 ms until done() holds or `seconds` have passed; answers done().
    template <class Done>
    bool run(double seconds, Done done) {
        for (double t = 0; t < seconds && !done(); t += 0.01) run(0.01);
        return done();
    }
    // Every wait returns at once from now on.
    void open() {
        {
            std::lock_guard<std::mutex> l(m_lock);
            m_open = true;
        }
        m_changed.notify_all();
    }

private:
    bool updateDue() const { return m_updateResting && m_now.load() >= m_updateDeadline; }
    bool restingAt(uint64_t limit) const {
        return m_writerResting && m_updateResting && !updateDue() && m_now.load() >= limit;
    }

    static double updateTime() { return double(s_step->m_updateNow.load()) / 1e9; }

    static void updateSleep(int ms) {
        AudioLockstep& s = *s_step;
        std::unique_lock<std::mutex> l(s.m_lock);
        s.m_updateDeadline = s.m_updateNow.load() + uint64_t(ms) * 1000000u;
        s.m_updateResting = true;
        s.m_changed.notify_all();
        s.m_changed.wait(l, [&] { return s.m_open || s.m_updateGo; });
        s.m_updateGo = false;
        s.m_updateResting = false;
        s.m_updateNow = s.m_now.load();
    }

    static void writerPause(int ms) {
        AudioLockstep& s = *s_step;
        std::unique_lock<std::mutex> l(s.m_lock);
        s.m_now += uint64_t(ms) * 1000000u;
        for (;;) {
            if (s.m_open)
                return;
            if (s.updateDue()) {
                s.m_updateGo = true;
                s.m_changed.notify_all();
                s.m_changed.wait(l, [&] { return s.m_open || (s.m_updateResting && !s.m_updateGo); });
                continue;
            }
            if (s.m_now.load() < s.m_limit)
                return;
            s.m_writerResting = true;
            s.m_changed.notify_all();
            s.m_changed.wait(l, [&] { return s.m_open || !s.m_writerResting || s.updateDue(); });
            s.m_writerResting = false;
        }
    }

    static inline AudioLockstep* s_step = nullptr;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::atomic<uint64_t> m_now{1000000000};        // the output's time, ns
    std::atomic<uint64_t> m_updateNow{1000000000};  // the update thread's time: when it last woke
    uint64_t m_limit = 0;                            // the writer rests once time reaches it
    uint64_t m_updateDeadline = 0;
    bool m_updateResting = false;
    bool m_updateGo = false;
    bool m_writerResting = false;
    bool m_open = false;
};

}  // namespace test
