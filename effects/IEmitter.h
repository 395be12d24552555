// The emitter: a scene node ("emit") that owns a particle definition, a pool of particles,
// its affectors and fifteen key tracks. Each scene frame it advances its own clock, fires
// bursts through its emission shape, lets the affectors act, updates the particles and keeps a
// local box; when drawn it hands its live quads to the host's batcher. Its children in the
// scene graph are its sub-emitters; particles carry clones of them.
//
// Times: m_elapsed (ms) counts from the end of the start delay; tracks are read at it.
// The pool grows one particle at a time up to kMaxParticles and never shrinks; its particles
// sit side by side in blocks of storage the emitter owns, so a frame's pass walks memory in order.
#pragma once

#include "effects/CKeyData.h"
#include "effects/M3DXVertex_XYZDT.h"
#include "engine/core/aabbox3d.h"
#include "engine/core/quaternion.h"
#include "engine/scene/ISceneNode.h"

#include <cstddef>
#include <limits>
#include <memory>
#include <vector>

class EffectImpl;
class IAffector;
class IParticle;
class ParticleDesc;

class IEmitter : public pravik::scene::ISceneNode {
public:
    static constexpr int kMaxParticles = 4096;
    static constexpr int kNoEmission = -99999999;

    explicit IEmitter(EffectImpl* effect);
    ~IEmitter() override;

    // Scene-node operations.
    void onAnimate(unsigned timeMs) override;
    bool onRegisterSceneNode() override;
    void render(void* renderData) override;
    const pravik::core::aabbox3d<float>& getBoundingBox() const override { return m_box; }
    void setPosition(const pravik::core::vector3d<float>& position) override;
    using ISceneNode::setPosition;
    pravik::scene::E_SCENE_NODE_TYPE getType() const override;

    void update(unsigned dt);
    void reset();
    void endAllParticles();
    void releaseAllParticles();
    bool IsFinished() const;
    void SetPaused(bool paused);
    bool IsPaused() const { return m_paused; }
    int GetAliveParticles() const;
    int GetSubEmitterCount() const { return int(getChildren().size()); }
    void Scale(float factor);
    IEmitter* Clone();  // a new emitter at count 1 under the scene root, inactive

    IParticle* emit();        // an initialised particle from the pool, or null when the pool is full
    void emitByType();
    IParticle* GetIdleParticle();
    IParticle* emit_point();
    IParticle* emit_sphere();
    IParticle* emit_disc();

    void AddAffector(IAffector* affector);  // takes ownership
    IAffector* AddAffector(int kind);       // 0 gravity, 1 acceleration, 2 random, 3 vortex; else null
    int GetAvailbleId() const;
    IAffector* GetAffector(int id) const;
    void RemoveAffector(int id);
    void RemoveAffector(IAffector* affector);
    const std::vector<IAffector*>& GetAffectors() const { return m_affectors; }

    void InitForStripeEffect(pravik::scene::ISceneNode* parent);

    ParticleDesc* GetParticleDesc() const { return m_particleDesc; }
    const std::vector<IParticle*>& GetParticles() const { return m_particles; }
    EffectImpl* GetEffect() const { return m_effect; }

    template <typename T>
    void OrderedUpdateParticles(unsigned ms);

    // Configuration (the reader sets these; Clone copies them).
    int m_shape = 0;
    bool m_faceCamera = false;
    bool m_localSpace = false;
    bool m_orient = true;
    bool m_parentSpace = false;
    int m_lifetime = -1;
    int m_startDelay = 0;
    int m_emitInterval = 0;
    bool m_endWithEmitter = false;
    bool m_targetMode = false;
    int m_radialSpeedVariation = 0;
    int m_directedSpeedVariation = 0;

    CKeyData<float> m_radiusX{1.f};
    CKeyData<float> m_radiusY{1.f};
    CKeyData<float> m_radiusZ{1.f};
    CKeyData<int> m_shellThickness{0};
    CKeyData<float> m_rotationX{0.f};
    CKeyData<float> m_rotationY{0.f};
    CKeyData<float> m_rotationZ{0.f};
    CKeyData<float> m_offsetX{0.f};
    CKeyData<float> m_offsetY{0.f};
    CKeyData<float> m_offsetZ{0.f};
    CKeyData<float> m_burstCount{1.f};
    CKeyData<float> m_radialSpeed{1.f};
    CKeyData<float> m_directedSpeed{0.f};
    CKeyData<int> m_spreadAngle{0};
    CKeyData<pravik::core::vector3d<float>> m_direction{pravik::core::vector3d<float>(0.f, 1.f, 0.f)};

    // Run-time state read by particles, shapes and affectors.
    bool m_active = false;
    bool m_paused = false;
    int m_elapsed = 0;
    int m_delayElapsed = 0;
    int m_lastEmitTime = kNoEmission;
    unsigned m_lastAnimateTime = 0;
    int m_particleSerial = 0;
    int m_stripeNewestAge = -1;
    int m_stripeOldestAge = -1;
    pravik::scene::ISceneNode* m_targetNode = nullptr;
    IParticle* m_lastParticle = nullptr;
    pravik::core::aabbox3d<float> m_box{-0.4f, -0.4f, -0.4f, 0.4f, 0.4f, 0.4f};
    pravik::core::vector3d<float> m_halfRight;
    pravik::core::vector3d<float> m_halfUp;
    pravik::core::vector3d<float> m_viewDir;
    bool m_cameraStale = true;

private:
    bool emitting() const;
    pravik::core::vector3d<float> boxOrigin() const;  // what the local box is measured from
    // After a particle's update: the enabled affectors act on it, then the box takes it in.
    void affectAndGrowBox(IParticle* p, const pravik::core::vector3d<float>& origin,
                          pravik::core::aabbox3d<float>& box) const;
    // The pass over a pool of the one-quad kinds; returns whether any particle was live.
    bool updateQuadPool(unsigned dt, const pravik::core::vector3d<float>& origin);
    // Gathers the enabled affectors and the steps the pass takes for them.
    void prepareAffectors();
    int gatherQuads();  // the live quads into the draw buffer, newest pool slot first; their count
    void placeWorld(pravik::core::vector3d<float>& position, pravik::core::vector3d<float>& velocity,
                    bool rotateVelocity) const;
    void addDirected(pravik::core::vector3d<float>& velocity, const pravik::core::vector3d<float>* reference) const;

    ParticleDesc* m_particleDesc = nullptr;
    std::vector<IAffector*> m_affectors;
    std::vector<IAffector*> m_liveAffectors;  // the enabled ones, gathered each update

public:
    // One enabled affector as the pass applies it: tracks of one key act as a constant.
    struct SAffectStep {
        enum EKind { Pull, Factor, Call } kind;
        pravik::core::vector3d<float> pull;
        float factor;
        IAffector* affector;
    };

private:
    std::vector<SAffectStep> m_affectSteps;
    std::vector<IParticle*> m_particles;  // built in m_slabs
    struct SlabFree {
        void operator()(std::byte* p) const;
    };
    struct Slab {
        std::unique_ptr<std::byte[], SlabFree> bytes;
        std::size_t size = 0;
        std::size_t used = 0;
    };
    std::vector<Slab> m_slabs;
    void* takeSlot(std::size_t bytes);
    int m_idleCursor = 0;
    // The idle particles a pass left, in pool order, so the cyclic search from the cursor finds
    // the next without walking the live ones: births take them in order from the first at or
    // after the cursor. Dropped whenever particles end outside a pass.
    std::vector<int> m_idleSlots;
    bool m_idleSlotsKnown = false;
    int m_idleSlotFirst = -1;  // where births started in m_idleSlots; -1 before the first
    int m_idleSlotsTaken = 0;
    IParticle* takeKnownIdle(bool& known);
    // The kind of every pooled particle; kNoKind while the pool is empty, kMixedKinds when the
    // kind changed under a kept pool.
    static constexpr int kNoKind = -1, kMixedKinds = -2;
    int m_poolKind = kNoKind;
    std::vector<M3DXVertex_XYZDT> m_vertexBuffer;
    int m_vertexCapacity = 0;
    // The pass of one-quad kinds writes each survivor's quad into the draw buffer as it goes,
    // newest pool slot first; render hands that block over while nothing changed the pool since.
    bool m_blockFresh = false;
    int m_blockFirst = 0;  // vertex index of the block's first quad
    int m_blockQuads = 0;
    // The rotation tracks rarely change: their last angles and quaternion.
    static constexpr float kUnset = std::numeric_limits<float>::quiet_NaN();
    float m_rotationAngles[3] = {kUnset, kUnset, kUnset};
    pravik::core::quaternion m_rotationFromTracks;
    EffectImpl* m_effect = nullptr;
};

// Frames of 33.333332 ms as milliseconds, truncated toward zero.
inline int framesToMs(int frames) { return int(float(frames) * zuduva::kFrameMs); }
