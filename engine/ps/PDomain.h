#pragma once
// Emission domains: regions that draw random start points from a system's generator, test
// containment, re-place themselves under a matrix, report a size and a type id, and clone.
// The number and order of draws of each shape is fixed: it decides which random values land in
// which coordinate. Box, sphere and cylinder rebuild themselves from their dimensions on every
// transform, so transforming again places the same shape anew instead of compounding.

#include "engine/core/CMatrix4.h"
#include "engine/core/vector3d.h"
#include "engine/ps/PSRandom.h"

namespace pravik::ps {

using vec3 = core::vector3d<float>;

enum E_DOMAIN_TYPE { EDT_BOX = 0, EDT_SPHERE, EDT_CYLINDER, EDT_POINT, EDT_LINE, EDT_CONE, EDT_BLOB };

class PDomain {
public:
    virtual bool within(const vec3& p) const = 0;
    virtual vec3 generate(PSRandom& rand) const = 0;
    virtual void transform(const core::CMatrix4<float>& m) = 0;
    virtual float size() const = 0;
    virtual int getType() const = 0;
    virtual PDomain* copy() const = 0;  // owned by the caller
    virtual ~PDomain() = default;
};

class PDPoint final : public PDomain {
public:
    explicit PDPoint(const vec3& p) : Point(p) {}
    bool within(const vec3& p) const override;
    vec3 generate(PSRandom&) const override { return Point; }
    void transform(const core::CMatrix4<float>& m) override;  // adds the translation only
    float size() const override { return 1.f; }
    int getType() const override { return EDT_POINT; }
    PDomain* copy() const override { return new PDPoint(*this); }

    vec3 Point;
};

class PDLine final : public PDomain {
public:
    PDLine(const vec3& p0, const vec3& p1);
    bool within(const vec3& p) const override;  // on the line through p0 and p1 (not only between)
    vec3 generate(PSRandom& rand) const override;
    void transform(const core::CMatrix4<float>& m) override;
    float size() const override { return Length; }
    int getType() const override { return EDT_LINE; }
    PDomain* copy() const override { return new PDLine(*this); }

    vec3 P0, Offset, Direction;
    float Length;
};

class PDBox final : public PDomain {
public:
    PDBox(const vec3& c0, const vec3& c1);
    PDBox(float w, float h, float d);  // centred on the origin
    bool within(const vec3& p) const override;
    vec3 generate(PSRandom& rand) const override;
    void transform(const core::CMatrix4<float>& m) override;
    float size() const override { return Size; }
    int getType() const override { return EDT_BOX; }
    PDomain* copy() const override { return new PDBox(*this); }

    vec3 Min, Max, Diagonal;
    float Size;
    vec3 Dimensions;
    vec3 E1, E2, E3;
};

class PDCylinder final : public PDomain {
public:
    PDCylinder(const vec3& p0, const vec3& p1, float r0, float r1);
    PDCylinder(float height, float radius);  // along y, centred on the origin
    bool within(const vec3& p) const override;
    vec3 generate(PSRandom& rand) const override;
    void transform(const core::CMatrix4<float>& m) override;  // rotated, stays on the origin
    float size() const override { return Size; }
    int getType() const override { return EDT_CYLINDER; }
    PDomain* copy() const override { return new PDCylinder(*this); }

    vec3 P0, Axis, U, V;
    float RadiusOut, RadiusIn, RadiusOutSq, RadiusInSq, RadiusDiff, InvAxisLengthSq, Size;
    float Height = 0.f;
    bool ThinShell;
};

class PDCone final : public PDomain {
public:
    PDCone(const vec3& apex, const vec3& baseCentre, float r0, float r1);
    bool within(const vec3& p) const override;
    vec3 generate(PSRandom& rand) const override;
    void transform(const core::CMatrix4<float>&) override {}  // a cone stays where it is
    float size() const override { return Size; }
    int getType() const override { return EDT_CONE; }
    PDomain* copy() const override { return new PDCone(*this); }

    vec3 Apex, Axis, U, V;
    float RadiusOut, RadiusIn, RadiusOutSq, RadiusInSq, RadiusDiff, InvAxisLengthSq, Size;
    bool ThinShell;
};

class PDSphere final : public PDomain {
public:
    PDSphere(const vec3& centre, float r0, float r1);
    bool within(const vec3& p) const override;
    vec3 generate(PSRandom& rand) const override;
    void transform(const core::CMatrix4<float>& m) override;  // centre := the translation
    float size() const override { return Size; }
    int getType() const override { return EDT_SPHERE; }
    PDomain* copy() const override { return new PDSphere(*this); }

    vec3 Centre;
    float RadiusOut, RadiusIn, RadiusOutSq, RadiusInSq, RadiusDiff, Size;
    bool Shell;
};

// A normal distribution about the centre; its containment test draws from the platform rand.
class PDBlob final : public PDomain {
public:
    PDBlob(const vec3& centre, float sigma);
    bool within(const vec3& p) const override;
    vec3 generate(PSRandom& rand) const override;
    void transform(const core::CMatrix4<float>& m) override;
    float size() const override { return 1.f; }
    int getType() const override { return EDT_BLOB; }
    PDomain* copy() const override { return new PDBlob(*this); }

    vec3 Centre;
    float Sigma, ExponentFactor, DensityFactor;
};

} // namespace pravik::ps
