// The program: the engine clock follows the frame clock (16 ms a frame under an input script),
// the C library's random numbers are seeded once (fixed under a script), then the shell runs.
#include "framework/Trace.h"
#include "framework/ZyGame.h"

#include "engine/os/StandardRandom.h"
#include "engine/os/Timer.h"
#include "platform/Clock.h"

namespace {
std::uint64_t frameClockMicroseconds()
{
    return platform::Clock::frameTimeMs() * 1000;
}
} // namespace

int main()
{
    TraceEnabled();   // opens QUENDRAX_TRACE while the working directory is still the run's
    pravik::os::Timer::setTimeSource(frameClockMicroseconds);
    pravik::os::seedStandardRand(platform::Clock::scripted() ? 1u : std::uint32_t(platform::Clock::monotonicNs()));
    ZyGame::instance().start();
}
