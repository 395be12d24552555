#pragma once
// The one context that every model of a particle system shares (each model derives from it
// virtually): the particle array, the clock, the billboard axis locks and the table of named
// parameters through which owners configure a system without knowing its classes. The table
// maps the hash of a name to the address of a model member; it keeps no names and no types:
// whoever reads or writes a name uses the member's own type.
//
// A particle type P has float members Age, Life (seconds) and SortKey; a particle is dead when
// its age is not below its life or is negative.

#include "engine/core/CMatrix4.h"
#include "engine/core/SAllocator.h"
#include "engine/core/vector3d.h"
#include "engine/ps/PRenderData.h"
#include "engine/ps/PSRandom.h"
#include "engine/video/material/CVertexStreams.h"

#include <boost/intrusive_ptr.hpp>

#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace pravik::ps {

template <class P>
class PForce;

// Boost's string hash as it stood when the parameter names were hashed: bytes taken as signed.
inline std::uint32_t hashString(const char* name)
{
    std::uint32_t h = 0;
    for (const char* c = name; c && *c; ++c) {
        const std::uint32_t v = std::uint32_t(std::int32_t(static_cast<signed char>(*c)));
        h ^= v + 0x9E3779B9u + (h << 6) + (h >> 2);
    }
    return h;
}

template <class P>
class IParticleContext {
public:
    using ParticleArray = std::vector<P, core::SAllocator<P>>;
    using ParticleItt = typename ParticleArray::iterator;
    using ParameterMap =
        std::map<std::uint32_t, void*, std::less<std::uint32_t>, core::SAllocator<std::pair<const std::uint32_t, void*>>>;

    IParticleContext() { registerPParameter(AnimationDatabase, "AnimationDatabase"); }
    virtual ~IParticleContext() = default;
    IParticleContext(const IParticleContext&) = delete;
    IParticleContext& operator=(const IParticleContext&) = delete;

    virtual PRenderData* getRenderData(int) = 0;
    virtual boost::intrusive_ptr<video::CVertexStreams> getRenderVertexStreams() = 0;
    virtual unsigned getRenderBufferSizeNeeded() const = 0;  // bytes
    virtual void setRenderBuffer(void* data, unsigned size) = 0;
    virtual PSRandom& getPRand() = 0;
    virtual bool hasColorAnimationTrack() = 0;
    virtual const core::CMatrix4<float>* getWorldMatrixPtr() const = 0;
    virtual bool isSpinAxisInLocalSpace() const { return false; }
    virtual bool isAlignUp() const { return true; }
    virtual bool isKeepAlignUp() const { return true; }
    virtual const core::vector3d<float>* getUpVector() const { return nullptr; }

    virtual void initGenerationModel() = 0;
    virtual ParticleItt generateParticles() = 0;  // appends the newborn; answers the first of them
    virtual void initPSizeModel() = 0;
    virtual void initPSize(ParticleItt first, ParticleItt last) = 0;
    virtual void applyPSize(ParticleItt first, ParticleItt last) = 0;
    virtual void initPColorModel() = 0;
    virtual void initPColor(ParticleItt first, ParticleItt last) = 0;
    virtual void applyPColor(ParticleItt first, ParticleItt last) = 0;
    virtual void initPEmitterModel() = 0;
    virtual void initPPosition(ParticleItt first, ParticleItt last) = 0;
    virtual void initPMotionModel() = 0;
    virtual void initPMotion(ParticleItt first, ParticleItt last) = 0;
    virtual void applyPMotion(ParticleItt first, ParticleItt last) = 0;
    virtual int addPForce(PForce<P>* force) = 0;
    virtual void removePForce(PForce<P>* force) = 0;
    virtual void removePForce(int index) = 0;
    virtual void initPForcesModel() = 0;
    virtual void initPForces(ParticleItt first, ParticleItt last) = 0;
    virtual void applyPForces(ParticleItt first, ParticleItt last) = 0;
    virtual void initPSpinModel() = 0;
    virtual void initPSpin(ParticleItt first, ParticleItt last) = 0;
    virtual void applyPSpin(ParticleItt first, ParticleItt last) = 0;
    virtual void initPLifeModel() = 0;
    virtual void initPLife(ParticleItt first, ParticleItt last) = 0;
    virtual void applyPLife(ParticleItt first, ParticleItt last) = 0;
    virtual void initPRenderDataModel() = 0;
    virtual void initPRenderData(ParticleItt first, ParticleItt last) = 0;
    virtual void applyPRenderData(ParticleItt first, ParticleItt last) = 0;

    static std::uint32_t hashString(const char* name) { return ps::hashString(name); }

    // The first registration of a hash wins.
    template <class T>
    void registerPParameter(T& member, const char* name)
    {
        Parameters.emplace(hashString(name), static_cast<void*>(&member));
    }
    // Writes value through the registered member; an unknown name gets a null entry.
    template <class T>
    void setParameter(const char* name, T value)
    {
        void*& slot = Parameters[hashString(name)];
        if (slot)
            *static_cast<T*>(slot) = value;
    }
    // The registered member's address, or null (an unknown name gets a null entry).
    void* getParameter(const char* name) { return Parameters[hashString(name)]; }

    // Locks a billboard axis (0 or 1) to the direction, stored normalised and halved.
    void lockAxis(unsigned axis, core::vector3d<float> direction)
    {
        AxisLocked[axis] = true;
        const float sq = direction.dotProduct(direction);
        if (sq != 0.f) {
            const float length = std::sqrt(sq);
            direction = core::vector3d<float>(direction.X / length, direction.Y / length, direction.Z / length);
        }
        LockedAxes[axis] = direction * 0.5f;
    }

    bool AxisLocked[2] = {false, false};
    core::vector3d<float> LockedAxes[2] = {{0.5f, 0.f, 0.f}, {0.f, 0.5f, 0.f}};
    bool AlignToMotion = false;
    bool AxesInLocalSpace = false;
    ParticleArray Particles;
    ParameterMap Parameters;
    float Time = 0.f;
    float PreviousTime = 0.f;
    float DeltaTime = 0.f;
    bool LocalSpace = false;
    void* AnimationDatabase = nullptr;
};

// Orders particles by descending sort key.
template <class P>
struct AlphaSort {
    bool operator()(const P& a, const P& b) const { return a.SortKey > b.SortKey; }
};

} // namespace pravik::ps
