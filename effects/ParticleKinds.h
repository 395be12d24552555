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

// Refreshes the emitter's camera basis when stale: the view direction, and with withRight the
// half right and half up vectors. False without an active camera (the basis is kept).
bool refreshCameraBasisNow(IEmitter& emitter, bool withRight);
inline bool refreshCameraBasis(IEmitter& emitter, bool withRight)
{
    return !emitter.m_cameraStale || refreshCameraBasisNow(emitter, withRight);
}

// The X and Z axes of the rotation from three angles (radians).
void freeAxes(float ax, float ay, float az, pravik::core::vector3d<float>& xAxis, pravik::core::vector3d<float>& zAxis);
