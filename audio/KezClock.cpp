#include "audio/KezClock.h"

#include <ctime>

namespace kez {

double _GetTime() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double GetTimeDT(double previous, double now) {
    double dt = now - previous;
    return dt < 0.0 ? 0.0 : dt;
}

}  // namespace kez
