#pragma once
// The forces bound to a system (owned), acting in ascending priority on every live particle
// once a frame; the list is sorted lazily after an addition or a removal by identity.

#include "engine/ps/PForce.h"

#include <algorithm>

namespace pravik::ps {

template <class P>
class PForcesModel : public virtual IParticleContext<P> {
public:
    using typename IParticleContext<P>::ParticleItt;
    using ForceArray = std::vector<PForce<P>*, core::SAllocator<PForce<P>*>>;

    ~PForcesModel() override
    {
        for (PForce<P>* f : Forces)
            delete f;
    }

    int addPForce(PForce<P>* force) override
    {
        Forces.push_back(force);
        NeedsSorting = true;
        return int(Forces.size());
    }
    // Removes (and deletes) the first force with force's identity; force itself is not kept.
    void removePForce(PForce<P>* force) override
    {
        for (auto it = Forces.begin(); it != Forces.end(); ++it)
            if ((*it)->Identity == force->Identity) {
                delete *it;
                Forces.erase(it);
                NeedsSorting = true;
                return;
            }
    }
    void removePForce(int index) override
    {
        if (index < 0 || index >= int(Forces.size()))
            return;
        delete Forces[std::size_t(index)];
        Forces.erase(Forces.begin() + index);
    }
    void initPForcesModel() override { sortIfNeeded(); }
    void initPForces(ParticleItt, ParticleItt) override {}
    void applyPForces(ParticleItt first, ParticleItt last) override
    {
        sortIfNeeded();
        for (PForce<P>* f : Forces)
            f->apply(first, last, *this);
    }

    ForceArray Forces;
    bool NeedsSorting = false;

private:
    void sortIfNeeded()
    {
        if (!NeedsSorting)
            return;
        std::sort(Forces.begin(), Forces.end(), SortPriorityForce<P>());
        NeedsSorting = false;
    }
};

} // namespace pravik::ps
