// The ribbon kinds.
//   6 ParticleStripe: a weapon trail; each particle is one quad whose leading edge is read at
//     birth from the parent's "Dummy_Weapon_Start" and "Dummy_Weapon_End" nodes and whose
//     trailing edge copies its predecessor's leading edge. Without both markers it keeps its
//     base quad.
//   4 ParticleLineStripe, 5 ParticleLineStripeBillboard: a cross-section per particle (kind 4
//     turned by three angles, kind 5 along the camera's right) and a ten-record strip through
//     two splines from this particle to its predecessor, drawn as four quads while the chain
//     of serials (n, n - 1, n - 2) holds.
// The emitter updates kinds 4 and 5 oldest first (IEmitter::OrderedUpdateParticles).
#pragma once

#include "effects/IParticle.h"

extern const char* dummy_stripe_begin;  // "Dummy_Weapon_Start"
extern const char* dummy_stripe_end;    // "Dummy_Weapon_End"

class ParticleStripe : public IParticle {
public:
    using IParticle::IParticle;
    void init(const ParticleDesc& desc) override;
    void update(unsigned ms) override;
};

class ParticleLineStripeBase : public IParticle {
public:
    explicit ParticleLineStripeBase(IEmitter* owner) : IParticle(owner) {}
    void init(const ParticleDesc& desc) override;
    void update(unsigned ms) override;
    int appendQuads(M3DXVertex_XYZDT* out) const override;
    void render(pravik::video::IVideoDriver* driver) override;  // the strip, while the chain holds
    bool operator<(const ParticleLineStripeBase& other) const { return m_serial < other.m_serial; }

    bool m_chainValid = true;
    ParticleLineStripeBase* m_previous = nullptr;
    ParticleLineStripeBase* m_beforePrevious = nullptr;
    M3DXVertex_XYZDT m_strip[10];

protected:
    bool isLineStripe() const override { return true; }
    // The cross-section half vector; false when it cannot be computed this update.
    virtual bool crossSection(pravik::core::vector3d<float>& O) = 0;
};

class ParticleLineStripe : public ParticleLineStripeBase {
public:
    using ParticleLineStripeBase::ParticleLineStripeBase;

protected:
    bool crossSection(pravik::core::vector3d<float>& O) override;
};

class ParticleLineStripeBillboard : public ParticleLineStripeBase {
public:
    using ParticleLineStripeBase::ParticleLineStripeBase;

protected:
    bool crossSection(pravik::core::vector3d<float>& O) override;
};
