#include "engine/os/Timer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/CTimer.h"

using pravik::os::Timer;

namespace {

std::uint64_t g_nowUs = 0;
std::uint64_t scriptedClock() { return g_nowUs; }
void advanceMs(std::uint64_t ms) { g_nowUs += ms * 1000; }

// Every test starts from a fresh clock at real time 1000 ms, driven by hand.
class TimerTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_nowUs = 1000 * 1000;
        Timer::setTimeSource(scriptedClock);
        Timer::VirtualTimerSpeed = 1.0f;
        Timer::VirtualTimerStopCounter = 0;
        Timer::LastVirtualTime = 0;
        Timer::TickCount = 0;
        Timer::initTimer();
    }
    void TearDown() override { Timer::setTimeSource(nullptr); }
};

} // namespace

TEST_F(TimerTest, VirtualTimeMovesOnlyOnTick)
{
    advanceMs(40);
    EXPECT_EQ(Timer::getRealTime(), 1040u);
    EXPECT_EQ(Timer::getTime(), 0u);
    Timer::tick();
    EXPECT_EQ(Timer::getTime(), 40u);
    EXPECT_EQ(Timer::TickCount, 1u);
    Timer::setTime(5000);
    advanceMs(16);
    Timer::tick();
    EXPECT_EQ(Timer::getTime(), 5016u);
}

TEST_F(TimerTest, Speed)
{
    const struct {
        float speed;
        std::uint32_t afterHundredMs;
        float reads;
    } kCases[] = {{2.0f, 200, 2.0f}, {0.5f, 50, 0.5f}, {1.0f, 100, 1.0f}, {0.0f, 0, 0.0f}, {-1.0f, 0, 0.0f}, {std::nanf(""), 0, 0.0f}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.speed);
        Timer::setTime(1000);
        Timer::setSpeed(c.speed);
        EXPECT_EQ(Timer::getSpeed(), c.reads);
        advanceMs(100);
        Timer::tick();
        EXPECT_EQ(Timer::getTime(), 1000 + c.afterHundredMs);
    }
}

TEST_F(TimerTest, StopsNestAndStartsCount)
{
    // Each row: an operation, then what the clock reads after 10 more ms and a tick.
    enum Op { Stop, Start, Nothing };
    const struct {
        Op op;
        bool stopped;
        std::uint32_t time;
    } kSteps[] = {
        {Nothing, false, 10}, // running
        {Stop, true, 10},     // frozen at the first stop
        {Stop, true, 10},     // a second stop keeps the first stop's time
        {Start, true, 10},    // one start is not enough
        {Start, false, 20},   // running again from where it stopped
        // A start on a running clock counts as a stop and reads the time of the last set
        // (the restart above), not the time now.
        {Start, true, 10},
        {Nothing, true, 10},
        // The stop that brings the count back to 0 sets nothing: the time since that restart
        // (1040 to 1080 ms) counts again.
        {Stop, false, 50},
    };
    int row = 0;
    for (const auto& s : kSteps) {
        SCOPED_TRACE(row++);
        if (s.op == Stop)
            Timer::stopTimer();
        else if (s.op == Start)
            Timer::startTimer();
        advanceMs(10);
        Timer::tick();
        EXPECT_EQ(Timer::isStopped(), s.stopped);
        EXPECT_EQ(Timer::getTime(), s.time);
    }
}

TEST_F(TimerTest, HoursOfPlayKeepMillisecondSteps)
{
    // A float product would move in 2 ms steps after about 4.7 hours.
    advanceMs(5ull * 3600 * 1000);
    Timer::tick();
    const std::uint32_t t = Timer::getTime();
    advanceMs(1);
    Timer::tick();
    EXPECT_EQ(Timer::getTime(), t + 1);

    Timer::setSpeed(1.5f);
    advanceMs(6ull * 3600 * 1000);
    Timer::tick();
    const std::uint32_t u = Timer::getTime();
    advanceMs(2);
    Timer::tick();
    EXPECT_EQ(Timer::getTime(), u + 3);
}

TEST_F(TimerTest, DeviceTimerForwards)
{
    auto* timer = new pravik::CTimer;
    EXPECT_EQ(timer->getReferenceCount(), 1);
    timer->setTime(300);
    timer->stop();
    EXPECT_TRUE(timer->isStopped());
    advanceMs(50);
    timer->tick();
    EXPECT_EQ(timer->getTime(), 300u);
    timer->start();
    timer->setSpeed(2.0f);
    advanceMs(50);
    timer->tick();
    EXPECT_EQ(timer->getTime(), 400u);
    EXPECT_EQ(timer->getRealTime(), 1100u);
    EXPECT_TRUE(timer->drop());
}

TEST(TimerRealClock, MonotonicAndConsistent)
{
    Timer::setTimeSource(nullptr);
    const std::uint32_t a = Timer::getRealTime();
    const std::uint32_t b = Timer::getRealTime();
    EXPECT_LE(a, b);
}
