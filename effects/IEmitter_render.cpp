// Drawing an emitter: the live quads of its pool, newest pool slot first, go to the host's
// batcher in one call with the world matrix, the blend mode and the particle texture.
#include "effects/IEmitter.h"

#include "effects/IParticle.h"
#include "effects/ParticleDesc.h"
#include "effects/ZuduvaHost.h"
#include "engine/scene/CSceneManager.h"
#include "engine/video/IVideoDriver.h"

#include <algorithm>
#include <cmath>

using pravik::core::CMatrix4;

namespace {

// The identity flag is set when every element lies within 1e-6 of the identity.
void flagNearIdentity(CMatrix4<float>& m)
{
    if (m.getDefinitelyIdentityMatrix())
        return;
    for (int i = 0; i < 16; ++i) {
        const float expected = (i % 5 == 0) ? 1.f : 0.f;
        if (std::fabs(m.M[i] - expected) > 1e-6f)
            return;
    }
    m.setDefinitelyIdentityMatrix(true);
}

}  // namespace

void IEmitter::render(void*)
{
    IZuduvaHost* host = ZuduvaGetHost();
    if (!host || !isVisible() || !m_active || !m_particleDesc->m_texture)
        return;
    pravik::scene::CSceneManager* smgr = getSceneManager();
    pravik::video::IVideoDriver* driver = smgr ? smgr->getVideoDriver() : host->getVideoDriver();
    if (!driver)
        return;

    CMatrix4<float> world(pravik::core::EM4CONST_IDENTITY);
    if (m_localSpace) {
        const CMatrix4<float>& A = getAbsoluteTransformation();
        if (m_faceCamera || !m_orient) {
            world = CMatrix4<float>(pravik::core::EM4CONST_NOTHING);
            const float* a = A.M;
            world[0] = float(std::sqrt(double(a[0]) * a[0] + double(a[1]) * a[1] + double(a[2]) * a[2]));
            world[5] = float(std::sqrt(double(a[4]) * a[4] + double(a[5]) * a[5] + double(a[6]) * a[6]));
            world[10] = float(std::sqrt(double(a[8]) * a[8] + double(a[9]) * a[9] + double(a[10]) * a[10]));
            world[12] = a[12];
            world[13] = a[13];
            world[14] = a[14];
            world[15] = 1.f;
        } else {
            world = A;
        }
    } else if (m_parentSpace && getParent()) {
        world = getParent()->getAbsoluteTransformation();
    }
    driver->setTransform(pravik::video::ETS_WORLD, world);

    M3DXVertex_XYZDT* block = m_vertexBuffer.data();
    int quads = 0;
    if (m_blockFresh) {
        // The last pass left the live quads in place and nothing has changed the pool since.
        block += m_blockFirst;
        quads = m_blockQuads;
    } else {
        quads = gatherQuads();
        block = m_vertexBuffer.data();
    }
    if (quads == 0)
        return;

    const int blend = m_particleDesc->m_blendType;
    if (blend == 0)
        host->setBlendMode(1);
    else if (blend == 1)
        host->setBlendMode(2);

    CMatrix4<float> current = driver->getTransform(pravik::video::ETS_WORLD);
    flagNearIdentity(current);
    host->setWorldMatrix(current);
    host->setTexture(m_particleDesc->m_texture);
    host->Blt(block, quads);
}

int IEmitter::gatherQuads()
{
    const int kind = m_particleDesc->m_particleType;
    const int quadsPerParticle = (kind == 4 || kind == 5) ? IParticle::kMaxQuads : 1;
    const int needed = 4 * quadsPerParticle * int(m_particles.size());
    if (m_vertexCapacity < needed) {
        m_vertexCapacity = needed;
        m_vertexBuffer.assign(size_t(needed), M3DXVertex_XYZDT());
    }
    // Quads are written in place; near the end of the buffer (a kind changed under a full
    // pool) through a scratch block, so nothing is written past it.
    M3DXVertex_XYZDT scratch[4 * IParticle::kMaxQuads];
    const int capacity = m_vertexCapacity / 4;
    int quads = 0;
    for (size_t i = m_particles.size(); i-- > 0;) {
        if (i >= kPrefetchAhead)
            prefetchParticle(m_particles[i - kPrefetchAhead], 2);
        const IParticle* p = m_particles[i];
        if (p->m_idle)
            continue;
        if (capacity - quads >= IParticle::kMaxQuads) {
            quads += p->appendQuads(m_vertexBuffer.data() + 4 * quads);
            continue;
        }
        const int n = std::min(p->appendQuads(scratch), capacity - quads);
        std::copy(scratch, scratch + 4 * n, m_vertexBuffer.begin() + 4 * quads);
        quads += n;
    }
    return quads;
}
