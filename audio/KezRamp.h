#pragma once
// A linear ramp (gain, fade, pitch, group and master gains): start, target, elapsed, duration.

namespace kez {

struct KezRamp {
    float start = 0.0f;
    float target = 1.0f;
    float elapsed = 0.0f;
    float duration = 0.0f;
    bool done = true;

    // target once elapsed reaches the duration; start when the duration is 0 or less.
    float Value() const {
        if (elapsed >= duration) return target;
        if (duration > 0.0f) return start + elapsed * (target - start) / duration;
        return start;
    }
    void Advance(float dt) {
        if (elapsed < duration) elapsed += dt;
        else done = true;
    }
    void Restart(float from, float to, float seconds) {
        start = from; target = to; elapsed = 0.0f; duration = seconds; done = false;
    }
    void Clear() { *this = KezRamp(); }
    float Remaining() const { return duration - elapsed; }
};

}  // namespace kez
