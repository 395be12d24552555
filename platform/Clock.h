#pragma once
// The one place that reads the monotonic clock. Frame timing asks frameTimeMs(): real time
// normally, and exactly 16 ms a frame while an input script plays, so a scripted run repeats
// frame for frame. Frames are counted from presents (Egl.h); a turn of the event pump that
// presented nothing (a paused window) counts as a frame too, so scripts go on while paused.

#include <cstdint>

namespace platform {

class Clock {
public:
    static constexpr uint64_t kScriptFrameMs = 16;

    static uint64_t monotonicNs();  // CLOCK_MONOTONIC, in nanoseconds
    static uint64_t monotonicMs();
    static uint64_t frameTimeMs();  // monotonic ms, or frames() x 16 under a script
    static uint64_t frames();       // frames so far
    static bool scripted();         // an input script plays (loads QUENDRAX_SCRIPT on first use)

    static void countPresent();     // a frame was presented
    static void countTurn();        // a pump turn begins; a frame when the last turn presented nothing
    static void reset();            // frame count back to 0 (tests)
};

}  // namespace platform
