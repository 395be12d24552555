// Affectors change the velocity of an emitter's live particles after each particle update:
// 0 gravity (a pull along a direction), 1 acceleration (a factor), 2 random kicks at an
// interval, 3 vortex (a swirl about an axis). Strengths act once per emitter update, not per
// second. Tracks are read at the particle's age, the vortex axis at the emitter's time.
#pragma once

#include "effects/CKeyData.h"

class IEmitter;
class IParticle;

class IAffector {
public:
    explicit IAffector(int id, int type) : m_type(type), m_id(id) {}
    virtual ~IAffector() = default;
    IAffector(const IAffector&) = delete;
    IAffector& operator=(const IAffector&) = delete;

    virtual void update(int emitterTimeMs, IEmitter* emitter) { (void)emitterTimeMs, (void)emitter; }
    virtual void affect(IParticle* particle) = 0;
    virtual IAffector* clone() const = 0;
    virtual void scale(float factor) { (void)factor; }  // emitter scaling of strengths

    bool m_enabled = true;
    int m_type;
    int m_id;
};

class AffectorGravity : public IAffector {
public:
    explicit AffectorGravity(int id) : IAffector(id, 0) {}
    void update(int emitterTimeMs, IEmitter* emitter) override;
    void affect(IParticle* particle) override;
    IAffector* clone() const override;
    void scale(float factor) override
    {
        m_strength.scaleValues(factor);
        m_pullKnown = false;
    }

    CKeyData<float> m_strength{0.f};
    CKeyData<pravik::core::vector3d<float>> m_direction{pravik::core::vector3d<float>()};

    // After update(): the pull every particle gets this update when the tracks hold one key.
    bool constantPull(pravik::core::vector3d<float>& pull) const
    {
        pull = m_pull;
        return m_pullKnown;
    }

private:
    // Tracks of one key pull every particle alike: the pull is worked out once an update.
    pravik::core::vector3d<float> m_pull;
    bool m_pullKnown = false;
};

class AffectorAcc : public IAffector {
public:
    explicit AffectorAcc(int id) : IAffector(id, 1) {}
    void affect(IParticle* particle) override;
    IAffector* clone() const override;

    CKeyData<float> m_factor{0.f};
};

class AffectorRandom : public IAffector {
public:
    explicit AffectorRandom(int id) : IAffector(id, 2) {}
    void update(int emitterTimeMs, IEmitter* emitter) override;
    void affect(IParticle* particle) override;
    IAffector* clone() const override;
    void scale(float factor) override
    {
        m_strengthX *= factor;
        m_strengthY *= factor;
        m_strengthZ *= factor;
    }

    float m_strengthX = 0.f, m_strengthY = 0.f, m_strengthZ = 0.f;
    int m_interval = 0;  // frames
    int m_lastFireTime = 0;
    bool m_fire = false;
};

class AffectorVortex : public IAffector {
public:
    explicit AffectorVortex(int id) : IAffector(id, 3) {}
    void update(int emitterTimeMs, IEmitter* emitter) override;
    void affect(IParticle* particle) override;
    IAffector* clone() const override;
    void scale(float factor) override { m_strength.scaleValues(factor); }

    CKeyData<float> m_strength{0.f};
    CKeyData<pravik::core::vector3d<float>> m_axis{pravik::core::vector3d<float>()};
    int m_mode = 0;
    pravik::core::vector3d<float> m_currentAxis;
};
