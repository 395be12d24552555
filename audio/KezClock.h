#pragma once
// The engine's clock: seconds on the monotonic clock, so a wall clock set back freezes nothing.

namespace kez {

double _GetTime();                               // seconds, monotonic
double GetTimeDT(double previous, double now);   // now - previous, or 0 when negative

}  // namespace kez
