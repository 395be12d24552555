// Rotation quaternion (X, Y, Z, W). Operations do not normalise unless they say so.
#pragma once

#include <cmath>

#include "engine/core/CMatrix4.h"
#include "engine/core/vector3d.h"

namespace pravik::core {

class quaternion {
public:
    float X = 0.f, Y = 0.f, Z = 0.f, W = 1.f;

    constexpr quaternion() = default;
    constexpr quaternion(float x, float y, float z, float w) : X(x), Y(y), Z(z), W(w) {}
    quaternion(float x, float y, float z) { set(x, y, z); }   // Euler angles in radians
    explicit quaternion(const vector3d<float>& euler) { set(euler.X, euler.Y, euler.Z); }

    constexpr bool operator==(const quaternion& o) const { return X == o.X && Y == o.Y && Z == o.Z && W == o.W; }
    constexpr bool operator!=(const quaternion& o) const { return !(*this == o); }
    constexpr quaternion operator+(const quaternion& o) const { return {X + o.X, Y + o.Y, Z + o.Z, W + o.W}; }
    constexpr quaternion operator*(float s) const { return {X * s, Y * s, Z * s, W * s}; }
    // Hamilton product with this on the left: the rotation o, then this.
    constexpr quaternion operator*(const quaternion& o) const
    {
        return {W * o.X + X * o.W + Y * o.Z - Z * o.Y, W * o.Y + Y * o.W + Z * o.X - X * o.Z,
                W * o.Z + Z * o.W + X * o.Y - Y * o.X, W * o.W - X * o.X - Y * o.Y - Z * o.Z};
    }

    constexpr float dotProduct(const quaternion& o) const { return X * o.X + Y * o.Y + Z * o.Z + W * o.W; }
    quaternion& makeIdentity() { X = Y = Z = 0.f; W = 1.f; return *this; }
    constexpr quaternion getConjugate() const { return {-X, -Y, -Z, W}; }
    quaternion& makeInverse() { X = -X; Y = -Y; Z = -Z; return *this; }   // for unit quaternions

    // Normalised unless the squared length is exactly 1 (or 0, which stays as it is).
    quaternion& normalize()
    {
        const float n = X * X + Y * Y + Z * Z + W * W;
        if (n == 1.f || n == 0.f)
            return *this;
        return *this = *this * (1.f / std::sqrt(n));
    }

    // From Euler angles in radians, computed in double precision, then normalised.
    quaternion& set(float x, float y, float z)
    {
        const double sr = std::sin(x * 0.5), cr = std::cos(x * 0.5);
        const double sp = std::sin(y * 0.5), cp = std::cos(y * 0.5);
        const double sy = std::sin(z * 0.5), cy = std::cos(z * 0.5);
        X = float(sr * cp * cy - cr * sp * sy);
        Y = float(cr * sp * cy + sr * cp * sy);
        Z = float(cr * cp * sy - sr * sp * cy);
        W = float(cr * cp * cy + sr * sp * sy);
        return normalize();
    }

    // (axis * sin(angle / 2), cos(angle / 2)); the axis is taken as given, not normalised.
    quaternion& fromAngleAxis(float angle, const vector3d<float>& axis)
    {
        const float half = 0.5f * angle;
        const float s = std::sin(half);
        W = std::cos(half);
        X = s * axis.X;
        Y = s * axis.Y;
        Z = s * axis.Z;
        return *this;
    }

    // Rotation matrix with the identity flag cleared; also applied as written to quaternions
    // that are not of unit length.
    CMatrix4<float> getMatrix() const
    {
        CMatrix4<float> m(EM4CONST_NOTHING);
        getMatrix(m);
        return m;
    }
    void getMatrix(CMatrix4<float>& m) const
    {
        m.M[0] = 1.f - 2.f * Y * Y - 2.f * Z * Z;
        m.M[1] = 2.f * X * Y + 2.f * Z * W;
        m.M[2] = 2.f * X * Z - 2.f * Y * W;
        m.M[3] = 0.f;
        m.M[4] = 2.f * X * Y - 2.f * Z * W;
        m.M[5] = 1.f - 2.f * X * X - 2.f * Z * Z;
        m.M[6] = 2.f * Z * Y + 2.f * X * W;
        m.M[7] = 0.f;
        m.M[8] = 2.f * X * Z + 2.f * Y * W;
        m.M[9] = 2.f * Z * Y - 2.f * X * W;
        m.M[10] = 1.f - 2.f * X * X - 2.f * Y * Y;
        m.M[11] = 0.f;
        m.M[12] = m.M[13] = m.M[14] = 0.f;
        m.M[15] = 1.f;
        m.setDefinitelyIdentityMatrix(false);
    }

    // Rotates a vector with the matrix above.
    vector3d<float> rotate(const vector3d<float>& d) const
    {
        CMatrix4<float> m(EM4CONST_NOTHING);
        getMatrix(m);
        vector3d<float> r = d;
        m.rotateVect(r);
        return r;
    }

    // Sets this to the interpolation of q1 and q2 at t (not clamped), along the shorter arc;
    // nearly parallel inputs are blended linearly and normalised.
    quaternion& slerp(quaternion q1, quaternion q2, float t)
    {
        float d = q1.dotProduct(q2);
        if (d < 0.f) {
            q1 = q1 * -1.f;
            d = -d;
        }
        if (1.f - d < 0.05f) {
            *this = q1 * (1.f - t) + q2 * t;
            return normalize();
        }
        const float theta = std::acos(d);
        const float k = 1.f / std::sin(theta);
        return *this = q1 * (k * std::sin(theta * (1.f - t))) + q2 * (k * std::sin(theta * t));
    }
};

} // namespace pravik::core
