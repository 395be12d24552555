#include "engine/ps/PDomain.h"
#include "engine/os/StandardRandom.h"

#include <cmath>

namespace pravik::ps {

namespace {

constexpr float PI = 3.1415927f;

vec3 rotated(const core::CMatrix4<float>& m, vec3 v)
{
    m.rotateVect(v);
    return v;
}
vec3 transformed(const core::CMatrix4<float>& m, vec3 p)
{
    m.transformVect(p);
    return p;
}
float length(const vec3& v) { return float(std::sqrt(double(v.dotProduct(v)))); }

// The two unit vectors across an axis: u perpendicular to it, v = u x n.
void basis(const vec3& axis, vec3& u, vec3& v)
{
    vec3 n = axis;
    const float sq = n.dotProduct(n);
    if (sq != 0.f) {
        const float l = std::sqrt(sq);
        n = vec3(n.X / l, n.Y / l, n.Z / l);
    }
    const vec3 w = std::fabs(n.X) > 0.999f ? vec3(0, 1, 0) : vec3(1, 0, 0);
    u = w - n * w.dotProduct(n);
    u.normalize();
    v = vec3(u.Y * n.Z - u.Z * n.Y, u.Z * n.X - u.X * n.Z, u.X * n.Y - u.Y * n.X);
}

} // namespace

// ---- point ---------------------------------------------------------------------------------

bool PDPoint::within(const vec3& p) const { return p.X == Point.X && p.Y == Point.Y && p.Z == Point.Z; }

void PDPoint::transform(const core::CMatrix4<float>& m) { Point += m.getTranslation(); }

// ---- line ----------------------------------------------------------------------------------

PDLine::PDLine(const vec3& p0, const vec3& p1) : P0(p0), Offset(p1 - p0), Direction(p1 - p0)
{
    Length = length(Offset);
    if (Direction.dotProduct(Direction) != 0.f)
        Direction = Direction / Length;
}

bool PDLine::within(const vec3& p) const
{
    const vec3 q = p - P0;
    const float ql = length(q);
    if (Length == 0.f)
        return ql == 0.f;
    const float e = std::fabs(q.dotProduct(Direction) - ql);
    return e / Length < 1e-7f;
}

vec3 PDLine::generate(PSRandom& rand) const { return P0 + Offset * rand.Randf(); }

void PDLine::transform(const core::CMatrix4<float>& m)
{
    P0 = transformed(m, P0);
    Offset = rotated(m, Offset);
    Direction = rotated(m, Direction);
}

// ---- box -----------------------------------------------------------------------------------

PDBox::PDBox(const vec3& c0, const vec3& c1)
{
    Min = vec3(std::fmin(c0.X, c1.X), std::fmin(c0.Y, c1.Y), std::fmin(c0.Z, c1.Z));
    Max = vec3(std::fmax(c0.X, c1.X), std::fmax(c0.Y, c1.Y), std::fmax(c0.Z, c1.Z));
    Diagonal = Dimensions = Max - Min;
    E1 = vec3(Dimensions.X, 0, 0);
    E2 = vec3(0, Dimensions.Y, 0);
    E3 = vec3(0, 0, Dimensions.Z);
    Size = Dimensions.X + Dimensions.Y + Dimensions.Z;
}

PDBox::PDBox(float w, float h, float d)
    : Min(-w / 2, -h / 2, -d / 2), Max(w / 2, h / 2, d / 2), Diagonal(w, h, d), Size(w + h + d), Dimensions(w, h, d),
      E1(w, 0, 0), E2(0, h, 0), E3(0, 0, d)
{
}

bool PDBox::within(const vec3& p) const
{
    return Min.X <= p.X && p.X <= Max.X && Min.Y <= p.Y && p.Y <= Max.Y && Min.Z <= p.Z && p.Z <= Max.Z;
}

vec3 PDBox::generate(PSRandom& rand) const
{
    const float u1 = rand.Randf();
    const float u2 = rand.Randf();
    const float u3 = rand.Randf();
    return Min + E1 * u1 + E2 * u2 + E3 * u3;
}

void PDBox::transform(const core::CMatrix4<float>& m)
{
    *this = PDBox(Dimensions.X, Dimensions.Y, Dimensions.Z);
    Min = transformed(m, Min);
    Max = transformed(m, Max);
    E1 = rotated(m, E1);
    E2 = rotated(m, E2);
    E3 = rotated(m, E3);
    Diagonal = Max - Min;
}

// ---- cylinder and cone -----------------------------------------------------------------------

namespace {

template <class Shape>
void setUpRadial(Shape& s, const vec3& axis, float r0, float r1)
{
    s.Axis = axis;
    s.RadiusOut = std::fmax(r0, r1);
    s.RadiusIn = std::fmin(r0, r1);
    s.RadiusOutSq = s.RadiusOut * s.RadiusOut;
    s.RadiusInSq = s.RadiusIn * s.RadiusIn;
    s.RadiusDiff = s.RadiusOut - s.RadiusIn;
    const float sq = axis.dotProduct(axis);
    s.InvAxisLengthSq = sq != 0.f ? 1.f / sq : 0.f;
    s.ThinShell = s.RadiusIn == s.RadiusOut;
    basis(axis, s.U, s.V);
}

// Position along the axis, angle and radius: three draws in this order.
struct SRadialDraw {
    float along, cosR, sinR;
    SRadialDraw(PSRandom& rand, float inner, float diff)
    {
        along = rand.Randf();
        const float theta = rand.Randf() * 2.f * PI;
        const float r = inner + rand.Randf() * diff;
        cosR = r * std::cos(theta);
        sinR = r * std::sin(theta);
    }
};

} // namespace

PDCylinder::PDCylinder(const vec3& p0, const vec3& p1, float r0, float r1) : P0(p0)
{
    setUpRadial(*this, p1 - p0, r0, r1);
    const float a = length(Axis);
    Size = ThinShell ? a * 2.f * PI * RadiusOut : a * (PI * RadiusOutSq - PI * RadiusInSq);
}

PDCylinder::PDCylinder(float height, float radius) : P0(0, -height / 2, 0)
{
    setUpRadial(*this, vec3(0, height, 0), radius, 0.f);
    ThinShell = false;
    Height = height;
    Size = length(Axis) * PI * radius * radius;
}

bool PDCylinder::within(const vec3& p) const
{
    const vec3 q = p - P0;
    const float h = q.dotProduct(Axis) * InvAxisLengthSq;
    if (h < 0.f || h > 1.f)
        return false;
    const vec3 d = q - Axis * h;
    const float r2 = d.dotProduct(d);
    return RadiusInSq <= r2 && r2 <= RadiusOutSq;
}

vec3 PDCylinder::generate(PSRandom& rand) const
{
    const SRadialDraw d(rand, RadiusIn, RadiusDiff);
    return P0 + Axis * d.along + U * d.cosR + V * d.sinR;
}

void PDCylinder::transform(const core::CMatrix4<float>& m)
{
    P0 = vec3(0, -Height / 2, 0);
    Axis = vec3(0, Height, 0);
    const float sq = Axis.dotProduct(Axis);
    InvAxisLengthSq = sq != 0.f ? 1.f / sq : 0.f;
    basis(Axis, U, V);
    P0 = rotated(m, P0);
    Axis = rotated(m, Axis);
    U = rotated(m, U);
    V = rotated(m, V);
}

PDCone::PDCone(const vec3& apex, const vec3& baseCentre, float r0, float r1) : Apex(apex)
{
    setUpRadial(*this, baseCentre - apex, r0, r1);
    const float a = length(Axis);
    Size = ThinShell ? std::sqrt(a * a + RadiusOutSq) * PI * RadiusOut : (PI / 3.f) * a * (RadiusOutSq - RadiusInSq);
}

bool PDCone::within(const vec3& p) const
{
    const vec3 q = p - Apex;
    const float h = q.dotProduct(Axis) * InvAxisLengthSq;
    if (h < 0.f || h > 1.f)
        return false;
    const vec3 d = q - Axis * h;
    const float r2 = d.dotProduct(d);
    return (h * RadiusIn) * (h * RadiusIn) <= r2 && r2 <= (h * RadiusOut) * (h * RadiusOut);
}

vec3 PDCone::generate(PSRandom& rand) const
{
    const SRadialDraw d(rand, RadiusIn, RadiusDiff);
    return Apex + Axis * d.along + U * (d.cosR * d.along) + V * (d.sinR * d.along);
}

// ---- sphere --------------------------------------------------------------------------------

PDSphere::PDSphere(const vec3& centre, float r0, float r1) : Centre(centre)
{
    RadiusOut = std::fmax(r0, r1);
    RadiusIn = std::fmin(r0, r1);
    RadiusOutSq = RadiusOut * RadiusOut;
    RadiusInSq = RadiusIn * RadiusIn;
    RadiusDiff = RadiusOut - RadiusIn;
    Shell = RadiusIn == RadiusOut;
    Size = Shell ? 4.f * PI * RadiusOutSq : (4.f * PI / 3.f) * (RadiusOutSq * RadiusOut - RadiusInSq * RadiusIn);
}

bool PDSphere::within(const vec3& p) const
{
    const float d2 = (p - Centre).dotProduct(p - Centre);
    return RadiusInSq <= d2 && d2 <= RadiusOutSq;
}

vec3 PDSphere::generate(PSRandom& rand) const
{
    vec3 d;
    float sq;
    do {
        d.X = rand.Randf() - 0.5f;
        d.Y = rand.Randf() - 0.5f;
        d.Z = rand.Randf() - 0.5f;
        sq = d.X * d.X + d.Y * d.Y + d.Z * d.Z;
    } while (sq > 0.25f);
    if (sq != 0.f)
        d.normalize();
    const float radius = Shell ? RadiusOut : RadiusIn + rand.Randf() * RadiusDiff;
    return Centre + d * radius;
}

void PDSphere::transform(const core::CMatrix4<float>& m) { Centre = m.getTranslation(); }

// ---- blob ----------------------------------------------------------------------------------

PDBlob::PDBlob(const vec3& centre, float sigma) : Centre(centre), Sigma(sigma)
{
    const float s = sigma + 1e-12f;
    ExponentFactor = -0.5f / (s * s);
    DensityFactor = 0.3989423f / s;
}

bool PDBlob::within(const vec3& p) const
{
    const float g = std::exp((p - Centre).dotProduct(p - Centre) * ExponentFactor) * DensityFactor;
    return g > float(os::standardRand()) * (1.f / 32767.f);
}

vec3 PDBlob::generate(PSRandom& rand) const
{
    // Polar Box-Muller; the fourth normal value is dropped.
    auto pair = [&rand](float& x, float& y) {
        float s;
        do {
            x = 2.f * rand.Randf() - 1.f;
            y = 2.f * rand.Randf() - 1.f;
            s = x * x + y * y;
        } while (s > 1.f || s == 0.f);
        return std::sqrt(-2.f * std::log(s) / s);
    };
    float x1, y1, x2, y2;
    const float f1 = pair(x1, y1);
    const float f2 = pair(x2, y2);
    return vec3(Centre.X + Sigma * x1 * f1, Centre.Y + Sigma * y1 * f1, Centre.Z + Sigma * x2 * f2);
}

void PDBlob::transform(const core::CMatrix4<float>& m) { Centre = m.getTranslation(); }

} // namespace pravik::ps
