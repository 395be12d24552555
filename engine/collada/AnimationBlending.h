#pragma once
// Combining several weighted values of one animated target: blending (a cross-fade of absolute
// values) and addition (layering values relative to a reference pose). Vectors sum their weighted
// components as given (weights are never normalised); quaternions blend as a running weighted
// slerp and add by composing partial rotations. Byte values are summed in float and converted
// back saturating at 0..255. All functions are pure.

#include "engine/core/quaternion.h"

#include <cstdint>

namespace pravik::collada::animation_track {

// Byte of a float sum: truncated toward zero, held to 0..255 (NaN gives 0).
inline unsigned char saturateByte(float v)
{
    if (!(v > 0.f))
        return 0;
    return v >= 255.f ? 255 : static_cast<unsigned char>(static_cast<unsigned>(v));
}
// Byte of an integer difference, modulo 256 (relative byte values wrap).
inline unsigned char wrapByte(int v) { return static_cast<unsigned char>(static_cast<unsigned>(v) & 0xFFu); }

// out = sum of weights[i] * values[i] (n floats each); one value is copied, none gives zeros.
void blendFloats(const float* values, const float* weights, int count, int n, float* out);
// The same over bytes, each component converted with saturateByte.
void blendBytes(const unsigned char* values, const float* weights, int count, int n, unsigned char* out);

core::quaternion conjugate(const core::quaternion& q);
core::quaternion compose(const core::quaternion& s, const core::quaternion& a);  // s on the left
core::quaternion relative(const core::quaternion& q, const core::quaternion& r);  // compose(q, conj(r))
core::quaternion slerpOf(const core::quaternion& q1, const core::quaternion& q2, float t);

// Running weighted slerp; a leading weight of exactly 1 ends it. A value whose running weight
// reaches 0 is skipped (there is no defined interpolation parameter for it).
core::quaternion blendQuaternions(const core::quaternion* values, const float* weights, int count);
// Composition of slerp(identity, value, weight) (conjugate for negative weights) in order.
core::quaternion addQuaternions(const core::quaternion* values, const float* weights, int count);

} // namespace pravik::collada::animation_track
