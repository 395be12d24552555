#include "effects/ParticleKinds.h"

#include "effects/IEmitter.h"
#include "effects/ParticleDesc.h"
#include "engine/scene/CSceneManager.h"
#include "engine/scene/ICameraSceneNode.h"

#include <cmath>

using pravik::core::vector3d;

namespace {

vector3d<float> unit(vector3d<float> v) { return v.normalize(); }

// A side vector that is zero falls back to (d.y, d.x, d.z).
vector3d<float> sideOf(const vector3d<float>& a, const vector3d<float>& d)
{
    vector3d<float> side = a.crossProduct(d);
    if (side.getLengthSQ() == 0.f)
        side.set(d.Y, d.X, d.Z);
    return side.normalize();
}

}  // namespace

bool refreshCameraBasisNow(IEmitter& e, bool withRight)
{
    pravik::scene::CSceneManager* smgr = e.getSceneManager();
    pravik::scene::ICameraSceneNode* camera = smgr ? smgr->getActiveCamera() : nullptr;
    if (!camera)
        return false;
    vector3d<float> V = unit(camera->getTarget() - camera->getAbsolutePosition());
    vector3d<float> u = camera->getUpVector();
    if (e.m_localSpace && !e.m_faceCamera && e.m_orient) {
        const float* M = e.getAbsoluteTransformation().M;
        const vector3d<float> ax = unit({M[0], M[1], M[2]});
        const vector3d<float> ay = unit({M[4], M[5], M[6]});
        const vector3d<float> az = unit({M[8], M[9], M[10]});
        V = {V.dotProduct(ax), V.dotProduct(ay), V.dotProduct(az)};
        u = {u.dotProduct(ax), u.dotProduct(ay), u.dotProduct(az)};
    }
    e.m_viewDir = V;
    if (withRight) {
        vector3d<float> r = V.crossProduct(u);
        if (r.getLengthSQ() == 0.f)
            r.set(u.Y, u.X, u.Z);
        e.m_halfRight = unit(r) * 0.5f;
        e.m_halfUp = unit(V.crossProduct(e.m_halfRight)) * 0.5f;
    }
    e.m_cameraStale = false;
    return true;
}

void freeAxes(float ax, float ay, float az, vector3d<float>& xAxis, vector3d<float>& zAxis)
{
    const float cx = std::cos(ax), sx = std::sin(ax);
    const float cy = std::cos(ay), sy = std::sin(ay);
    const float cz = std::cos(az), sz = std::sin(az);
    xAxis.set(cy * cz, cy * sz, -sy);
    zAxis.set(cx * sy * cz + sx * sz, cx * sy * sz - sx * cz, cx * cy);
}

namespace {
// Anchor 0 centres the quad on P, 1 starts it at P, any other ends it at P.
void anchorFactors(int anchor, float& from, float& to)
{
    from = anchor == 0 ? -1.f : anchor == 1 ? 0.f : -2.f;
    to = anchor == 0 ? 1.f : anchor == 1 ? 2.f : 0.f;
}
}  // namespace

SBillboardPass::SBillboardPass(const IEmitter& e)
    : desc(*e.GetParticleDesc()), halfRight(e.m_halfRight), halfUp(e.m_halfUp), viewDir(e.m_viewDir)
{
    anchorFactors(desc.m_anchorX, left, right);
    anchorFactors(desc.m_anchorY, low, high);
    colourOverLife = desc.m_red.getKeyCount() > 1 || desc.m_alpha.getKeyCount() > 1;
    constWidthScale = desc.m_widthScale.getKeyCount() == 1;
    constHeightScale = desc.m_heightScale.getKeyCount() == 1;
    constSpin = desc.m_spinZ.getKeyCount() == 1;
    widthScale = desc.m_widthScale.getFirstValue();
    heightScale = desc.m_heightScale.getFirstValue();
    spin = desc.m_spinZ.getFirstValue();
}

void ParticleBillboard::update(unsigned ms)
{
    IParticle::update(ms);
    if (!refreshCameraBasis(*m_emitter, true))
        return;
    orient(SBillboardPass(*m_emitter));
}

void ParticleFree::update(unsigned ms)
{
    IParticle::update(ms);
    const ParticleDesc& d = *m_emitter->GetParticleDesc();
    advanceAngle(m_angleX, d.m_spinX.getDataAtTime(m_age), m_spinFactorX);
    advanceAngle(m_angleY, d.m_spinY.getDataAtTime(m_age), m_spinFactorY);
    advanceAngle(m_angleZ, d.m_spinZ.getDataAtTime(m_age), m_spinFactorZ);
    vector3d<float> xAxis, zAxis;
    freeAxes(m_angleX, m_angleY, m_angleZ, xAxis, zAxis);
    placeVertices(xAxis * (m_width * 0.5f * d.m_widthScale.getDataAtTime(m_age)),
                  zAxis * (m_height * 0.5f * d.m_heightScale.getDataAtTime(m_age)));
}

void ParticleDirectionalFree::update(unsigned ms)
{
    IParticle::update(ms);
    const ParticleDesc& d = *m_emitter->GetParticleDesc();
    advanceAngle(m_angleZ, d.m_spinZ.getDataAtTime(m_age), m_spinFactorZ);
    const vector3d<float> D = unit(m_velocity);
    vector3d<float> ref(0.f, 1.f, 0.f);
    if (m_angleZ != 0.f)
        ref = turnAbout(ref, D, m_angleZ);
    const vector3d<float> side = sideOf(ref, D);
    placeVertices(side * (m_width * 0.5f * d.m_widthScale.getDataAtTime(m_age)),
                  -D * (m_height * 0.5f * d.m_heightScale.getDataAtTime(m_age)));
}

void ParticleDirectional::update(unsigned ms)
{
    IParticle::update(ms);
    IEmitter& e = *m_emitter;
    if (!refreshCameraBasis(e, false))
        return;
    const ParticleDesc& d = *e.GetParticleDesc();
    const vector3d<float> D = unit(m_velocity);
    const vector3d<float> side = sideOf(e.m_viewDir, D);
    vector3d<float> R = side * (m_width * 0.5f * d.m_widthScale.getDataAtTime(m_age));
    vector3d<float> U = -D * (m_height * 0.5f * d.m_heightScale.getDataAtTime(m_age));
    advanceAngle(m_angleZ, d.m_spinZ.getDataAtTime(m_age), m_spinFactorZ);
    if (m_angleZ != 0.f) {
        R = turnAbout(R, e.m_viewDir, m_angleZ);
        U = turnAbout(U, e.m_viewDir, m_angleZ);
    }
    placeVertices(R, U);
}
