#pragma once
// A force bound to a particle system: its identity (the address of the force data it stands
// for) and priority (lower acts first), acting on all live particles once a frame.

#include "engine/ps/IParticleContext.h"

namespace pravik::ps {

template <class P>
class PForce {
public:
    using ParticleItt = typename IParticleContext<P>::ParticleItt;

    PForce(const void* identity, int priority) : Identity(identity), Priority(priority) {}
    virtual ~PForce() = default;
    virtual void apply(ParticleItt first, ParticleItt last, IParticleContext<P>& context) = 0;

    const void* Identity;
    int Priority;
};

// Orders forces by ascending priority.
template <class P>
struct SortPriorityForce {
    bool operator()(const PForce<P>* a, const PForce<P>* b) const { return a->Priority < b->Priority; }
};

} // namespace pravik::ps
