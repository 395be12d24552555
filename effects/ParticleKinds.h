// The four quad particle kinds: they differ only in how the quad is oriented.
//   0 ParticleBillboard        faces the camera, spins about the view axis
//   1 ParticleFree             oriented by three spinning angles
//   2 ParticleDirectionalFree  stretched back along the velocity, rolled about it
//   3 ParticleDirectional      stretched along the velocity while facing the camera (a spark)
// The camera-facing kinds share the camera basis cached in their emitter, computed by the first
// particle updated after the emitter marked it stale. Spins are radians per update.
#pragma once

#include "effects/IEmitter.h"
#include "effects/IParticle.h"
#include "effects/ParticleDesc.h"

// What the billboards of one emitter share in a pass: the camera basis, the anchors as factors
// on R and U, and the values of the definition's tracks that hold one key.
struct SBillboardPass {
    explicit SBillboardPass(const IEmitter& emitter);  // after the camera basis is refreshed

    const ParticleDesc& desc;
    pravik::core::vector3d<float> halfRight, halfUp, viewDir;
    float left, right, low, high;  // vertex 0 and 2 at P + left R, 1 and 3 at P + right R; likewise U
    bool colourOverLife;
    bool constWidthScale, constHeightScale, constSpin;
    float widthScale, heightScale, spin;
};

class ParticleBillboard : public IParticle {
public:
    using IParticle::IParticle;
    void update(unsigned ms) override;
    // update() for an emitter without target mode and sub-emitters, whose basis is known.
    void step(unsigned ms, const SBillboardPass& pass);

private:
    void orient(const SBillboardPass& pass);  // R and U, the spin, the corners
};

class ParticleFree : public IParticle {
public:
    using IParticle::IParticle;
    void update(unsigned ms) override;
};

class ParticleDirectionalFree : public IParticle {
public:
    using IParticle::IParticle;
    void update(unsigned ms) override;
};

class ParticleDirectional : public IParticle {
public:
    using IParticle::IParticle;
    void update(unsigned ms) override;
};

// Inline: the emitter's pass runs these for every billboard.
[[gnu::always_inline]] inline void ParticleBillboard::step(unsigned ms, const SBillboardPass& pass)
{
    // The base step without target mode and sub-emitters.
    if (m_age > m_life) {
        m_idle = true;
    } else {
        m_age += int(ms);
        m_position += (m_velocity * 0.001f) * float(ms);
        if (pass.colourOverLife) {
            const ParticleDesc& d = pass.desc;
            setColour(d.m_red.getDataAtTime(m_age), d.m_green.getDataAtTime(m_age), d.m_blue.getDataAtTime(m_age),
                      d.m_alpha.getDataAtTime(m_age));
        }
    }
    orient(pass);
}

[[gnu::always_inline]] inline void ParticleBillboard::orient(const SBillboardPass& pass)
{
    const ParticleDesc& d = pass.desc;
    const float W = m_width * (pass.constWidthScale ? pass.widthScale : d.m_widthScale.getDataAtTime(m_age));
    const float H = m_height * (pass.constHeightScale ? pass.heightScale : d.m_heightScale.getDataAtTime(m_age));
    pravik::core::vector3d<float> R = pass.halfRight * W;
    pravik::core::vector3d<float> U = pass.halfUp * H;
    advanceAngle(m_angleZ, pass.constSpin ? pass.spin : d.m_spinZ.getDataAtTime(m_age), m_spinFactorZ);
    if (m_angleZ != 0.f) {
        R = turnAbout(R, pass.viewDir, m_angleZ);
        U = turnAbout(U, pass.viewDir, m_angleZ);
    }
    const pravik::core::vector3d<float> P = m_position;
    const pravik::core::vector3d<float> left = P + R * pass.left, right = P + R * pass.right;
    const pravik::core::vector3d<float> low = U * pass.low, high = U * pass.high;
    M3DXVertex_XYZDT* v = m_vertices;
    v[0].x = left.X + low.X, v[0].y = left.Y + low.Y, v[0].z = left.Z + low.Z;
    v[1].x = right.X + low.X, v[1].y = right.Y + low.Y, v[1].z = right.Z + low.Z;
    v[2].x = left.X + high.X, v[2].y = left.Y + high.Y, v[2].z = left.Z + high.Z;
    v[3].x = right.X + high.X, v[3].y = right.Y + high.Y, v[3].z = right.Z + high.Z;
}

// Refreshes the emitter's camera basis when stale: the view direction, and with withRight the
// half right and half up vectors. False without an active camera (the basis is kept).
bool refreshCameraBasisNow(IEmitter& emitter, bool withRight);
inline bool refreshCameraBasis(IEmitter& emitter, bool withRight)
{
    return !emitter.m_cameraStale || refreshCameraBasisNow(emitter, withRight);
}

// The X and Z axes of the rotation from three angles (radians).
void freeAxes(float ax, float ay, float az, pravik::core::vector3d<float>& xAxis, pravik::core::vector3d<float>& zAxis);
