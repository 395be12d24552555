#include "engine/collada/AnimationBlending.h"

namespace pravik::collada::animation_track {

void blendFloats(const float* values, const float* weights, int count, int n, float* out)
{
    if (count == 1) {
        for (int c = 0; c < n; ++c)
            out[c] = values[c];
        return;
    }
    for (int c = 0; c < n; ++c)
        out[c] = 0.f;
    for (int i = 0; i < count; ++i)
        for (int c = 0; c < n; ++c)
            out[c] += weights[i] * values[i * n + c];
}

void blendBytes(const unsigned char* values, const float* weights, int count, int n, unsigned char* out)
{
    if (count == 1) {
        for (int c = 0; c < n; ++c)
            out[c] = values[c];
        return;
    }
    for (int c = 0; c < n; ++c) {
        float sum = 0.f;
        for (int i = 0; i < count; ++i)
            sum += weights[i] * float(values[i * n + c]);
        out[c] = saturateByte(sum);
    }
}

core::quaternion conjugate(const core::quaternion& q) { return {-q.X, -q.Y, -q.Z, q.W}; }

core::quaternion compose(const core::quaternion& s, const core::quaternion& a)
{
    return {s.W * a.X + s.X * a.W + s.Y * a.Z - s.Z * a.Y,
            s.W * a.Y + s.Y * a.W + s.Z * a.X - s.X * a.Z,
            s.W * a.Z + s.Z * a.W + s.X * a.Y - s.Y * a.X,
            s.W * a.W - s.X * a.X - s.Y * a.Y - s.Z * a.Z};
}

core::quaternion relative(const core::quaternion& q, const core::quaternion& r) { return compose(q, conjugate(r)); }

core::quaternion slerpOf(const core::quaternion& q1, const core::quaternion& q2, float t)
{
    core::quaternion r;
    r.slerp(q1, q2, t);
    return r;
}

core::quaternion blendQuaternions(const core::quaternion* values, const float* weights, int count)
{
    int i = 0;
    while (i < count && weights[i] == 0.f)
        ++i;
    if (i >= count)
        return {};
    core::quaternion r = values[i];
    float a = weights[i];
    if (a == 1.f)
        return r;
    for (int j = i + 1; j < count; ++j) {
        if (weights[j] == 0.f)
            continue;
        const float next = a + weights[j];
        if (next == 0.f)
            continue;
        a = next;
        r = slerpOf(r, values[j], weights[j] / a);
    }
    return r;
}

core::quaternion addQuaternions(const core::quaternion* values, const float* weights, int count)
{
    core::quaternion acc;
    for (int i = 0; i < count; ++i) {
        const float w = weights[i];
        if (w == 0.f)
            continue;
        const core::quaternion s = w > 0.f ? slerpOf({}, values[i], w) : slerpOf({}, conjugate(values[i]), -w);
        acc = compose(s, acc);
    }
    return acc;
}

} // namespace pravik::collada::animation_track
