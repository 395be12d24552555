#include "effects/ParticleStripes.h"

#include "effects/CRNSpline.h"
#include "effects/IEmitter.h"
#include "effects/ParticleDesc.h"
#include "effects/ParticleKinds.h"

#include <algorithm>
#include <cstring>

using pravik::core::vector3d;

const char* dummy_stripe_begin = "Dummy_Weapon_Start";
const char* dummy_stripe_end = "Dummy_Weapon_End";

namespace {
void setPos(M3DXVertex_XYZDT& v, const vector3d<float>& p)
{
    v.x = p.X;
    v.y = p.Y;
    v.z = p.Z;
}
}  // namespace

void ParticleStripe::init(const ParticleDesc& desc)
{
    IParticle::init(desc);
    pravik::scene::ISceneNode* parent = m_emitter->getParent();
    if (!parent)
        return;
    pravik::scene::ISceneNode* start = parent->getSceneNodeFromName(dummy_stripe_begin);
    pravik::scene::ISceneNode* end = parent->getSceneNodeFromName(dummy_stripe_end);
    if (!start || !end)
        return;  // no markers: the base quad stays
    setPos(m_vertices[2], start->getAbsolutePosition());
    setPos(m_vertices[3], end->getAbsolutePosition());
    const float u = std::min(1.f, (float(m_emitter->m_elapsed) * 0.0625f) * 0.02f);
    m_vertices[2].u = u;
    m_vertices[2].v = 0.f;
    m_vertices[3].u = u;
    m_vertices[3].v = 1.f;
    if (const IParticle* last = m_emitter->m_lastParticle) {
        m_vertices[0] = last->getVertex(2);
        m_vertices[1] = last->getVertex(3);
    } else {
        M3DXVertex_XYZDT v0 = m_vertices[2], v1 = m_vertices[3];
        m_vertices[0] = v0;
        m_vertices[1] = v1;
    }
}

void ParticleStripe::update(unsigned ms)
{
    IParticle::update(ms);
    m_vertices[0].u = std::max(0.f, m_vertices[0].u - 0.0721875f);
    m_vertices[1].u = m_vertices[0].u;
    m_vertices[2].u = std::max(0.f, m_vertices[2].u - 0.0721875f);
    m_vertices[3].u = m_vertices[2].u;
}

void ParticleLineStripeBase::init(const ParticleDesc& desc)
{
    IParticle::init(desc);
    m_chainValid = false;
    IParticle* last = m_emitter->m_lastParticle;
    auto* prev = dynamic_cast<ParticleLineStripeBase*>(last);
    if (prev && prev != this && prev->m_serial == m_serial - 1) {
        m_previous = prev;
        ParticleLineStripeBase* before = prev->m_previous;
        if (before && before != this && before->m_serial == m_serial - 2) {
            m_beforePrevious = before;
            m_chainValid = true;
        }
    }
    for (M3DXVertex_XYZDT& v : m_strip) {
        v.r = std::uint8_t(desc.m_red.getFirstValue());
        v.g = std::uint8_t(desc.m_green.getFirstValue());
        v.b = std::uint8_t(desc.m_blue.getFirstValue());
        v.a = std::uint8_t(desc.m_alpha.getFirstValue());
    }
    if (!m_meshBuffer) {
        static const unsigned short kStrip[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
        m_meshBuffer = makeMeshBuffer(m_strip, 10, kStrip, 10, true);
    }
}

void ParticleLineStripeBase::render(pravik::video::IVideoDriver* driver)
{
    if (m_chainValid)
        IParticle::render(driver);
}

bool ParticleLineStripe::crossSection(vector3d<float>& O)
{
    const ParticleDesc& d = *m_emitter->GetParticleDesc();
    advanceAngle(m_angleX, d.m_spinX.getDataAtTime(m_age), m_spinFactorX);
    advanceAngle(m_angleY, d.m_spinY.getDataAtTime(m_age), m_spinFactorY);
    advanceAngle(m_angleZ, d.m_spinZ.getDataAtTime(m_age), m_spinFactorZ);
    vector3d<float> xAxis, zAxis;
    freeAxes(m_angleX, m_angleY, m_angleZ, xAxis, zAxis);
    O = xAxis * (m_width * 0.5f * d.m_widthScale.getDataAtTime(m_age));
    return true;
}

bool ParticleLineStripeBillboard::crossSection(vector3d<float>& O)
{
    IEmitter& e = *m_emitter;
    if (!refreshCameraBasis(e, true))
        return false;
    const ParticleDesc& d = *e.GetParticleDesc();
    O = e.m_halfRight * (m_width * d.m_widthScale.getDataAtTime(m_age));
    advanceAngle(m_angleZ, d.m_spinZ.getDataAtTime(m_age), m_spinFactorZ);
    if (m_angleZ != 0.f)
        O = turnAbout(O, e.m_viewDir, m_angleZ);
    return true;
}

void ParticleLineStripeBase::update(unsigned ms)
{
    IParticle::update(ms);
    vector3d<float> O;
    if (!crossSection(O))
        return;
    setPos(m_vertices[0], m_position + O);
    setPos(m_vertices[1], m_position - O);

    if (!m_previous || m_previous->m_serial != m_serial - 1 || !m_beforePrevious ||
        m_beforePrevious->m_serial != m_serial - 2) {
        m_chainValid = false;
        return;
    }
    const IEmitter& e = *m_emitter;
    const ParticleDesc& d = *e.GetParticleDesc();
    if (d.m_red.getKeyCount() > 1 || d.m_alpha.getKeyCount() > 1)
        for (int i = 0; i < 5; ++i) {
            const int t = int(unsigned(float(m_age - int(ms)) + float(i) * (float(ms) * 0.25f)));
            for (int k = 0; k < 2; ++k) {
                M3DXVertex_XYZDT& v = m_strip[2 * i + k];
                v.r = std::uint8_t(d.m_red.getDataAtTime(t));
                v.g = std::uint8_t(d.m_green.getDataAtTime(t));
                v.b = std::uint8_t(d.m_blue.getDataAtTime(t));
                v.a = std::uint8_t(d.m_alpha.getDataAtTime(t));
            }
        }
    const int span = e.m_stripeOldestAge != e.m_stripeNewestAge ? e.m_stripeOldestAge - e.m_stripeNewestAge : 1;
    for (int i = 0; i < 5; ++i) {
        const int t = int(unsigned(float(m_age) + float(i) * (float(m_previous->m_age - m_age) * 0.25f)));
        const float v = 1.f - float(t - e.m_stripeNewestAge) / float(span);
        m_strip[2 * i].u = 0.f;
        m_strip[2 * i].v = v;
        m_strip[2 * i + 1].u = 1.f;
        m_strip[2 * i + 1].v = v;
    }
    const IParticle* chain[3] = {this, m_previous, m_beforePrevious};
    float a[9], b[9];
    for (int i = 0; i < 3; ++i) {
        const M3DXVertex_XYZDT& v0 = chain[i]->getVertex(0);
        const M3DXVertex_XYZDT& v1 = chain[i]->getVertex(1);
        a[3 * i] = v0.x, a[3 * i + 1] = v0.y, a[3 * i + 2] = v0.z;
        b[3 * i] = v1.x, b[3 * i + 1] = v1.y, b[3 * i + 2] = v1.z;
    }
    CRNSpline A, B;
    A.Create(3, a, nullptr, nullptr, -1.f);
    B.Create(3, b, nullptr, nullptr, -1.f);
    for (int i = 0; i < 4; ++i) {
        setPos(m_strip[2 * i], A.GetPos(float(i) * 0.25f, 0));
        setPos(m_strip[2 * i + 1], B.GetPos(float(i) * 0.25f, 0));
    }
    const ParticleLineStripeBase* third = m_beforePrevious->m_previous;
    if (third && third->m_serial == m_beforePrevious->m_serial - 1) {
        m_strip[8] = m_previous->m_strip[0];
        m_strip[9] = m_previous->m_strip[1];
    } else {
        setPos(m_strip[8], A.GetPos(1.f, 0));
        setPos(m_strip[9], B.GetPos(1.f, 0));
    }
}

int ParticleLineStripeBase::appendQuads(M3DXVertex_XYZDT* out) const
{
    if (!m_chainValid)
        return 0;
    for (int q = 0; q < 4; ++q)
        std::memcpy(out + 4 * q, m_strip + 2 * q, 4 * sizeof(M3DXVertex_XYZDT));
    return 4;
}
