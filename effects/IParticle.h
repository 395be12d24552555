// The base of the particle kinds: age and life, position and velocity (units per second),
// birth colour and size, angles and spin factors, its quad in the batcher's vertex format and
// the clones of its emitter's sub-emitters that travel with it. The emitter pools particles and
// re-initialises idle ones; a particle is never shared between emitters.
//
// Quad corners: vertex 0 (-R, -U), 1 (+R, -U), 2 (-R, +U), 3 (+R, +U).
// Drawing: the emitter batches the quads; render() draws the particle's own mesh buffer, laid
// over its vertex records in place, with whatever material and transformation the driver holds.
// Sub-emitters: one clone per child emitter, made at the first birth, reset and shown at every
// birth and destroyed with the particle.
#pragma once

#include "effects/M3DXVertex_XYZDT.h"
#include "engine/core/vector3d.h"
#include "engine/scene/CMeshBuffer.h"

#include <boost/intrusive_ptr.hpp>

#include <cstddef>
#include <span>
#include <vector>

class IEmitter;
class ParticleDesc;

namespace pravik::video {
class IVideoDriver;
}

class IParticle {
public:
    explicit IParticle(IEmitter* owner);
    virtual ~IParticle();
    IParticle(const IParticle&) = delete;
    IParticle& operator=(const IParticle&) = delete;

    virtual void update(unsigned ms);
    virtual void init(const ParticleDesc& desc);
    virtual void render(pravik::video::IVideoDriver* driver);  // nothing without a mesh buffer
    // Writes the quads this particle shows (4 vertices each) and returns how many: the base
    // quad, or the line stripes' ribbon. out holds at least kMaxQuads quads.
    virtual int appendQuads(M3DXVertex_XYZDT* out) const;
    static constexpr int kMaxQuads = 4;

    void reset();
    void setSpeed(const pravik::core::vector3d<float>& v) { m_velocity = v; }
    M3DXVertex_XYZDT& getVertex(int n) { return m_vertices[n]; }
    const M3DXVertex_XYZDT& getVertex(int n) const { return m_vertices[n]; }
    void DestroyEmitters();
    int GetChildrenParticleCnt() const;
    // The clones of this life.
    std::span<IEmitter* const> GetChildEmitters() const { return {m_allChildEmitters.data(), m_liveChildren}; }

    // What a frame's update and drawing read comes first, in three cache lines; the rest after.
    IEmitter* m_emitter;
    int m_age = 0;
    int m_life = 0;
    M3DXVertex_XYZDT m_vertices[4];
    bool m_idle = false;
    float m_angleZ = 0.f;
    float m_width = 0.f, m_height = 0.f;
    pravik::core::vector3d<float> m_velocity;
    pravik::core::vector3d<float> m_position;
    float m_spinFactorZ = 0.f;
    std::size_t m_liveChildren = 0;  // the first of m_allChildEmitters
    float m_angleX = 0.f, m_angleY = 0.f;
    float m_spinFactorX = 0.f, m_spinFactorY = 0.f;
    int m_serial = -100;
    // Over the particle's own records (made at the first birth while the host has a driver).
    boost::intrusive_ptr<pravik::scene::CMeshBuffer> m_meshBuffer;

protected:
    // Kinds 4 and 5 keep no base texture corners or colours.
    virtual bool isLineStripe() const { return false; }
    void setColour(int red, int green, int blue, int alpha);
    // A mesh buffer over count records of this particle (never moved: particles are not
    // copied), drawn through indices; null without a driver or memory.
    static boost::intrusive_ptr<pravik::scene::CMeshBuffer> makeMeshBuffer(M3DXVertex_XYZDT* records, unsigned count,
                                                                           const unsigned short* indices,
                                                                           unsigned indexCount, bool strip);
    void placeVertices(const pravik::core::vector3d<float>& R, const pravik::core::vector3d<float>& U);
    // angle += spin track at the age x spin factor
    void advanceAngle(float& angle, float spinAtAge, float factor) { angle += spinAtAge * factor; }

    std::vector<IEmitter*> m_allChildEmitters;  // owned
};

// Asks for the first lines of a particle a few steps ahead of a pass over a pool: the pools are
// far larger than the caches, and every particle is touched once a pass.
inline void prefetchParticle(const IParticle* p, int lines)
{
    const char* at = reinterpret_cast<const char*>(p);
    for (int i = 0; i < lines; ++i)
        __builtin_prefetch(at + 64 * i);
}
inline constexpr std::size_t kPrefetchAhead = 4;

// Turns v about the unit axis a by theta (right-handed); nothing at exactly 0.
pravik::core::vector3d<float> turnAbout(const pravik::core::vector3d<float>& v, const pravik::core::vector3d<float>& a,
                                        float theta);
