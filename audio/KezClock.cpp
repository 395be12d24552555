#include "audio/KezClock.h"

#include <atomic>
#include <ctime>

namespace kez {

namespace {
std::atomic<TimeSource> g_source{nullptr};
}

void SetTimeSource(TimeSource source) { g_source = source; }

double _GetTime() {
    if (const TimeSource source = g_source.load()) return source();
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double GetTimeDT(double previous, double now) {
    double dt = now - previous;
    return dt < 0.0 ? 0.0 : dt;
}

}  // namespace kez
