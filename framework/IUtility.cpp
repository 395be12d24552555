#include "framework/IUtility.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>

namespace {
constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;
} // namespace

float IUtility::CalcAngle(const vector3df& v)
{
    const float p = v.X, q = -v.Z;
    if (std::fabs(p) <= 1e-6f)
        return q > 0 ? kPi / 2 : (q < 0 ? 4.712389f : 0.0f);
    if (std::fabs(q) <= 1e-6f)
        return p > 0 ? 0.0f : (p < 0 ? kPi : 0.0f);
    if (p > 0 && q > 0)
        return std::atan(q / p);
    if (p < 0 && q > 0)
        return kPi - std::atan(q / -p);
    if (p < 0)
        return std::atan(q / p) + kPi;
    return kTwoPi - std::atan(q / -p);
}

float IUtility::CalcAngle(const vector3df& a, const vector3df& b)
{
    float d = CalcAngle(a) - CalcAngle(b);
    if (d > kPi)
        d -= kTwoPi;
    else if (d < -kPi)
        d += kTwoPi;
    return d;
}

bool IUtility::IsVector3df0(const vector3df& v, float e)
{
    return std::fabs(v.X) < e && std::fabs(v.Y) < e && std::fabs(v.Z) < e;
}

void IUtility::ParabolaMove(int t, vector3df& position, vector3df& velocity, float g)
{
    const float ft = float(t);
    position.X += velocity.X * ft;
    position.Y += velocity.Y * ft;
    position.Z += velocity.Z * ft;
    position.Y += -0.5f * g * ft * ft;
    velocity.Y -= g * ft;
}

void IUtility::ParabolaAimat(const vector3df& from, const vector3df& to, const vector3df&, float height,
                             vector3df& velocity, float g, bool high)
{
    const float dx = to.X - from.X, dz = to.Z - from.Z;
    const float l = to.Y - from.Y;
    const float h = std::sqrt(dx * dx + dz * dz);
    float apex;
    if (height > 1)
        apex = height;
    else if (high)
        apex = (h / 4 < l) ? 2 * l : h / 4;
    else
        apex = 1.25f * l;
    const float o = std::sqrt(2 * g * apex);
    const float root = std::sqrt(std::fmax(o * o - 2 * g * l, 0.0f));
    const float t = (apex == 2 * l) ? (o - root) / g : (o + root) / g;
    velocity.X = dx / t;
    velocity.Y = o;
    velocity.Z = dz / t;
}

void IUtility::TraceVector3df(const vector3df& v, const char* label)
{
    if (!label)
        return;
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, "%s (%9.5f, %9.5f, %9.5f)\r\n", label, v.X, v.Y, v.Z);
}

void IUtility::FloatToInt(vector3df& v)
{
    for (float* c : {&v.X, &v.Y, &v.Z})
        if (*c - std::trunc(*c) > 0.5f)
            *c += 1;
}
