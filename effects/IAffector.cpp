#include "effects/IAffector.h"

#include "effects/IEmitter.h"
#include "effects/IParticle.h"
#include "effects/ZuduvaRandom.h"
#include "engine/scene/CSceneManager.h"
#include "engine/scene/ICameraSceneNode.h"

using pravik::core::vector3d;

namespace {
vector3d<float> pullOf(vector3d<float> direction, float strength) { return direction.normalize() * strength; }
}  // namespace

void AffectorGravity::update(int, IEmitter*)
{
    m_pullKnown = m_direction.getKeyCount() == 1 && m_strength.getKeyCount() == 1;
    if (m_pullKnown)
        m_pull = pullOf(m_direction.getFirstValue(), m_strength.getFirstValue());
}

void AffectorGravity::affect(IParticle* p)
{
    if (m_pullKnown)
        p->m_velocity += m_pull;
    else
        p->m_velocity += pullOf(m_direction.getDataAtTime(p->m_age), m_strength.getDataAtTime(p->m_age));
}

IAffector* AffectorGravity::clone() const
{
    auto* a = new AffectorGravity(m_id);
    a->m_enabled = m_enabled;
    a->m_strength.addAll(m_strength);
    a->m_direction.addAll(m_direction);
    return a;
}

void AffectorAcc::affect(IParticle* p) { p->m_velocity *= m_factor.getDataAtTime(p->m_age); }

IAffector* AffectorAcc::clone() const
{
    auto* a = new AffectorAcc(m_id);
    a->m_enabled = m_enabled;
    a->m_factor.addAll(m_factor);
    return a;
}

void AffectorRandom::update(int t, IEmitter*)
{
    m_fire = float(t - m_lastFireTime) > float(m_interval) * zuduva::kFrameMs;
    if (m_fire)
        m_lastFireTime = t;
}

void AffectorRandom::affect(IParticle* p)
{
    if (!m_fire)
        return;
    const vector3d<float> r = zuduva::randomDirection();
    p->m_velocity += vector3d<float>(r.X * m_strengthX, r.Y * m_strengthY, r.Z * m_strengthZ);
}

IAffector* AffectorRandom::clone() const
{
    auto* a = new AffectorRandom(m_id);
    a->m_enabled = m_enabled;
    a->m_strengthX = m_strengthX;
    a->m_strengthY = m_strengthY;
    a->m_strengthZ = m_strengthZ;
    a->m_interval = m_interval;
    return a;
}

void AffectorVortex::update(int t, IEmitter* emitter)
{
    vector3d<float> axis;
    if (emitter && emitter->m_shape == 2 && emitter->m_faceCamera) {
        pravik::scene::CSceneManager* smgr = emitter->getSceneManager();
        pravik::scene::ICameraSceneNode* camera = smgr ? smgr->getActiveCamera() : nullptr;
        if (!camera)
            return;
        axis = camera->getTarget() - camera->getAbsolutePosition();
    } else {
        axis = m_axis.getDataAtTime(t);
    }
    m_currentAxis = axis.normalize();
}

void AffectorVortex::affect(IParticle* p)
{
    const float w = m_strength.getDataAtTime(p->m_age);
    vector3d<float> push;
    if (m_mode != 0) {
        push = m_currentAxis.crossProduct(p->m_velocity);
    } else {
        const IEmitter* e = p->m_emitter;
        const vector3d<float> c = e->m_localSpace ? e->getPosition() : e->getAbsolutePosition();
        push = m_currentAxis.crossProduct(p->m_position - c);
    }
    p->m_velocity += push.normalize() * w;
}

IAffector* AffectorVortex::clone() const
{
    auto* a = new AffectorVortex(m_id);
    a->m_enabled = m_enabled;
    a->m_strength.addAll(m_strength);
    a->m_axis.addAll(m_axis);
    a->m_mode = m_mode;
    return a;
}
