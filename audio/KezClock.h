#pragma once
// The engine's clock: seconds on the monotonic clock, so a wall clock set back freezes nothing.

namespace kez {

// Seconds since an arbitrary origin, never going backwards. Null restores the monotonic clock;
// tests put a clock of their own here.
using TimeSource = double (*)();
void SetTimeSource(TimeSource source);

double _GetTime();                               // seconds, from the time source
double GetTimeDT(double previous, double now);   // now - previous, or 0 when negative

}  // namespace kez
