// The emitter's pass over a pool of one-quad kinds (0-3 and 6): each live particle's update,
// the affectors on it, the local box, and its quad copied into the draw buffer while it is
// still in the first cache level. Billboards of a plain emitter take a step with everything
// they share read once; every other pool goes through the particles' own update.
#include "effects/IAffector.h"
#include "effects/IEmitter.h"
#include "effects/IParticle.h"
#include "effects/ParticleDesc.h"
#include "effects/ParticleKinds.h"

#include <cstring>

using pravik::core::vector3d;

void IEmitter::prepareAffectors()
{
    m_liveAffectors.clear();
    m_affectSteps.clear();
    for (IAffector* a : m_affectors) {
        if (!a->m_enabled)
            continue;
        a->update(m_elapsed, this);
        m_liveAffectors.push_back(a);
        SAffectStep step{SAffectStep::Call, {}, 0.f, a};
        if (a->m_type == 0 && static_cast<AffectorGravity*>(a)->constantPull(step.pull))
            step.kind = SAffectStep::Pull;
        else if (a->m_type == 1 && static_cast<AffectorAcc*>(a)->m_factor.getKeyCount() == 1) {
            step.kind = SAffectStep::Factor;
            step.factor = static_cast<AffectorAcc*>(a)->m_factor.getFirstValue();
        }
        m_affectSteps.push_back(step);
    }
}

namespace {
[[gnu::always_inline]] inline void affectAndGrow(const std::vector<IEmitter::SAffectStep>& steps, IParticle* p,
                                                 const vector3d<float>& origin, pravik::core::aabbox3d<float>& box)
{
    for (const IEmitter::SAffectStep& s : steps) {
        switch (s.kind) {
        case IEmitter::SAffectStep::Pull: p->m_velocity += s.pull; break;
        case IEmitter::SAffectStep::Factor: p->m_velocity *= s.factor; break;
        case IEmitter::SAffectStep::Call: s.affector->affect(p); break;
        }
    }
    box.addInternalPoint(p->m_position - origin);
}
}  // namespace

void IEmitter::affectAndGrowBox(IParticle* p, const vector3d<float>& origin, pravik::core::aabbox3d<float>& box) const
{
    affectAndGrow(m_affectSteps, p, origin, box);
}

bool IEmitter::updateQuadPool(unsigned dt, const vector3d<float>& origin)
{
    const size_t count = m_particles.size();
    const int kind = m_poolKind;
    const bool oneQuad = kind == 0 || kind == 1 || kind == 2 || kind == 3 || kind == 6;
    if (oneQuad && m_vertexCapacity < 4 * int(count)) {
        m_vertexCapacity = 4 * int(count);
        m_vertexBuffer.assign(size_t(m_vertexCapacity), M3DXVertex_XYZDT());
    }
    // Survivors fill the block backward from the end of the pool's share, so the newest pool
    // slot comes first, as render hands them over.
    M3DXVertex_XYZDT* const end = oneQuad ? m_vertexBuffer.data() + 4 * count : nullptr;
    M3DXVertex_XYZDT* at = end;
    m_idleSlots.clear();
    m_idleSlotFirst = -1;
    m_idleSlotsTaken = 0;
    m_idleSlotsKnown = true;
    auto keep = [this, &at](const IParticle* p, size_t i) {
        if (p->m_idle)
            m_idleSlots.push_back(int(i));
        else if (at) {
            at -= 4;
            std::memcpy(at, &p->getVertex(0), 4 * sizeof(M3DXVertex_XYZDT));
        }
    };

    size_t first = 0;
    while (first < count && m_particles[first]->m_idle)
        m_idleSlots.push_back(int(first++));
    if (first == count) {
        m_blockFresh = oneQuad;
        m_blockFirst = 4 * int(count);
        m_blockQuads = 0;
        return false;
    }

    // The box grows in a local copy: stores through particles cannot then touch it.
    pravik::core::aabbox3d<float> box = m_box;
    const bool plainBillboards = kind == 0 && !m_targetMode && getChildren().empty();
    if (plainBillboards && refreshCameraBasis(*this, true)) {
        const SBillboardPass pass(*this);
        for (size_t i = first; i < count; ++i) {
            if (i + kPrefetchAhead < count)
                prefetchParticle(m_particles[i + kPrefetchAhead], 3);
            auto* p = static_cast<ParticleBillboard*>(m_particles[i]);
            if (p->m_idle) {
                m_idleSlots.push_back(int(i));
                continue;
            }
            p->step(dt, pass);
            affectAndGrow(m_affectSteps, p, origin, box);
            keep(p, i);
        }
    } else {
        for (size_t i = first; i < count; ++i) {
            if (i + kPrefetchAhead < count)
                prefetchParticle(m_particles[i + kPrefetchAhead], 3);
            IParticle* p = m_particles[i];
            if (p->m_idle) {
                m_idleSlots.push_back(int(i));
                continue;
            }
            p->update(dt);
            affectAndGrow(m_affectSteps, p, origin, box);
            keep(p, i);
        }
    }
    m_box = box;
    m_blockFresh = oneQuad;
    if (oneQuad) {
        m_blockFirst = int(at - m_vertexBuffer.data());
        m_blockQuads = int(end - at) / 4;
    }
    return true;
}
