#include "effects/IParticle.h"

#include "effects/IEmitter.h"
#include "effects/ParticleDesc.h"
#include "effects/ZuduvaHost.h"
#include "effects/ZuduvaRandom.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/EVertexAttribute.h"

#include <cmath>
#include <cstddef>
#include <cstring>

using pravik::core::vector3d;

vector3d<float> turnAbout(const vector3d<float>& v, const vector3d<float>& a, float theta)
{
    if (theta == 0.f)
        return v;
    const float c = std::cos(theta), s = std::sin(theta);
    return v * c + a.crossProduct(v) * s + a * (a.dotProduct(v) * (1.f - c));
}

IParticle::IParticle(IEmitter* owner) : m_emitter(owner) { reset(); }

IParticle::~IParticle() { DestroyEmitters(); }

void IParticle::reset()
{
    m_age = 0;
    m_idle = false;
    m_position = vector3d<float>();
}

void IParticle::setColour(int red, int green, int blue, int alpha)
{
    for (M3DXVertex_XYZDT& v : m_vertices) {
        v.r = std::uint8_t(red);
        v.g = std::uint8_t(green);
        v.b = std::uint8_t(blue);
        v.a = std::uint8_t(alpha);
    }
}

void IParticle::init(const ParticleDesc& desc)
{
    reset();
    // The draws of a birth, in order: life, three angles, three spins, one or two sizes.
    int draw[9];
    pravik::os::standardRandFill(draw, desc.m_uniformSize ? 8 : 9);
    const int lifeR = zuduva::signedPercentOf(draw[0], desc.m_lifeVariation);
    m_life = int((float(desc.m_life) * zuduva::kFrameMs) * (1.f + float(lifeR) * 0.01f));

    m_serial = m_emitter->m_particleSerial;
    if (++m_emitter->m_particleSerial > 268435455)
        m_emitter->m_particleSerial = 0;

    if (!isLineStripe()) {
        static const float kCorners[4][4][2] = {
            {{0, 0}, {1, 0}, {0, 1}, {1, 1}},
            {{0, 1}, {0, 0}, {1, 1}, {1, 0}},
            {{1, 1}, {0, 1}, {1, 0}, {0, 0}},
            {{1, 0}, {1, 1}, {0, 0}, {0, 1}},
        };
        const int rot = desc.m_uvRotation >= 0 && desc.m_uvRotation <= 2 ? desc.m_uvRotation : 3;
        for (int i = 0; i < 4; ++i) {
            m_vertices[i].u = kCorners[rot][i][0];
            m_vertices[i].v = kCorners[rot][i][1];
        }
        auto swapUV = [this](int a, int b) {
            std::swap(m_vertices[a].u, m_vertices[b].u);
            std::swap(m_vertices[a].v, m_vertices[b].v);
        };
        if (desc.m_flipU) {
            swapUV(0, 1);
            swapUV(2, 3);
        }
        if (desc.m_flipV) {
            swapUV(0, 2);
            swapUV(1, 3);
        }
        setColour(desc.m_red.getFirstValue(), desc.m_green.getFirstValue(), desc.m_blue.getFirstValue(),
                  desc.m_alpha.getFirstValue());
        if (!m_meshBuffer) {
            static const unsigned short kQuad[6] = {0, 2, 1, 1, 2, 3};
            m_meshBuffer = makeMeshBuffer(m_vertices, 4, kQuad, 6, false);
        }
    }

    using zuduva::signedPercentOf;
    m_angleX = (desc.m_angleX * float(100 - signedPercentOf(draw[1], desc.m_angleVariationX))) * 0.01f;
    m_angleY = (desc.m_angleY * float(100 - signedPercentOf(draw[2], desc.m_angleVariationY))) * 0.01f;
    m_angleZ = (desc.m_angleZ * float(100 - signedPercentOf(draw[3], desc.m_angleVariationZ))) * 0.01f;
    m_spinFactorX = float(100 - signedPercentOf(draw[4], desc.m_spinVariationX)) * 0.01f;
    m_spinFactorY = float(100 - signedPercentOf(draw[5], desc.m_spinVariationY)) * 0.01f;
    m_spinFactorZ = float(100 - signedPercentOf(draw[6], desc.m_spinVariationZ)) * 0.01f;

    const int elapsed = m_emitter->m_elapsed;
    const float f = 1.f - float(signedPercentOf(draw[7], desc.m_sizeVariation)) * 0.01f;
    m_width = f * desc.m_width.getDataAtTime(elapsed);
    const float g = desc.m_uniformSize ? f : 1.f - float(signedPercentOf(draw[8], desc.m_sizeVariation)) * 0.01f;
    m_height = g * desc.m_height.getDataAtTime(elapsed);

    // One clone per sub-emitter, made once and restarted at every birth.
    size_t index = 0;
    for (pravik::scene::ISceneNode* node : m_emitter->getChildren()) {
        IEmitter* child = dynamic_cast<IEmitter*>(node);
        if (!child)
            continue;
        if (index >= m_allChildEmitters.size())
            m_allChildEmitters.push_back(child->Clone());
        IEmitter* clone = m_allChildEmitters[index++];
        child->setVisible(false);
        clone->setVisible(true);
        clone->reset();
    }
    m_liveChildren = index;
}

void IParticle::update(unsigned ms)
{
    IEmitter& e = *m_emitter;
    if (!e.m_targetMode) {
        if (m_age > m_life) {
            m_idle = true;
            return;
        }
    } else if (e.m_targetNode) {
        // Ends once it has passed the target along the line from the emitter to the target.
        const vector3d<float> T = e.m_targetNode->getAbsolutePosition();
        const vector3d<float> A = e.getAbsolutePosition();
        if ((m_position - T).dotProduct(T - A) > 0.f) {
            m_idle = true;
            return;
        }
    }
    m_age += int(ms);
    if (e.m_targetMode && e.m_targetNode) {
        vector3d<float> d = e.m_targetNode->getAbsolutePosition() - m_position;
        d.normalize();
        m_velocity = d * m_velocity.getLength();
    }
    m_position += (m_velocity * 0.001f) * float(ms);
    const ParticleDesc& desc = *e.GetParticleDesc();
    if (!isLineStripe() && (desc.m_red.getKeyCount() > 1 || desc.m_alpha.getKeyCount() > 1))
        setColour(desc.m_red.getDataAtTime(m_age), desc.m_green.getDataAtTime(m_age),
                  desc.m_blue.getDataAtTime(m_age), desc.m_alpha.getDataAtTime(m_age));
    for (IEmitter* clone : GetChildEmitters())
        clone->setPosition(m_position);
}

void IParticle::render(pravik::video::IVideoDriver* driver)
{
    if (m_meshBuffer && driver)
        m_meshBuffer->draw(driver);
}

boost::intrusive_ptr<pravik::scene::CMeshBuffer> IParticle::makeMeshBuffer(M3DXVertex_XYZDT* records, unsigned count,
                                                                           const unsigned short* indices,
                                                                           unsigned indexCount, bool strip)
{
    using namespace pravik::video;
    IZuduvaHost* host = ZuduvaGetHost();
    IVideoDriver* driver = host ? host->getVideoDriver() : nullptr;
    if (!driver)
        return nullptr;
    constexpr unsigned kMask = (1u << EVA_POSITION) | (1u << EVA_TEXCOORD0) | (1u << EVA_COLOR0);
    boost::intrusive_ptr<CVertexStreams> streams = CVertexStreams::allocate(1, kMask);
    if (!streams)
        return nullptr;
    const unsigned bytes = unsigned(sizeof(M3DXVertex_XYZDT)) * count;
    boost::intrusive_ptr<IBuffer> vertices = driver->createBuffer(EBT_VERTEX, EBU_CLIENT_ONLY, bytes, records, false);
    auto* copy = new unsigned short[indexCount];
    std::memcpy(copy, indices, indexCount * sizeof *indices);
    boost::intrusive_ptr<IBuffer> index =
        driver->createBuffer(EBT_INDEX, EBU_STATIC, unsigned(indexCount * sizeof *indices), copy, true);
    if (!index)
        delete[] copy;
    if (!vertices || !index)
        return nullptr;
    constexpr unsigned short kStride = sizeof(M3DXVertex_XYZDT);
    // Records in attribute order: position, texture coordinates, colour.
    const SVertexStreamData layout[3] = {
        {vertices, offsetof(M3DXVertex_XYZDT, x), EVAVT_FLOAT, 3, kStride},
        {vertices, offsetof(M3DXVertex_XYZDT, u), EVAVT_FLOAT, 2, kStride},
        {vertices, offsetof(M3DXVertex_XYZDT, r), EVAVT_UBYTE, 4, kStride},
    };
    streams->setupStreams(layout, kMask, false);
    streams->setVertexCount(count);
    return new pravik::scene::CMeshBuffer(
        streams, CPrimitiveStream(index, 0, indexCount, 0, count, EIT_16BIT, strip ? EPT_TRIANGLE_STRIP : EPT_TRIANGLES));
}

int IParticle::appendQuads(M3DXVertex_XYZDT* out) const
{
    std::memcpy(out, m_vertices, sizeof m_vertices);
    return 1;
}

void IParticle::placeVertices(const vector3d<float>& Rref, const vector3d<float>& Uref)
{
    const ParticleDesc& desc = *m_emitter->GetParticleDesc();
    // Copies: the vertex stores below may not then alias the inputs and force their reloads.
    const vector3d<float> P = m_position, R = Rref, U = Uref;
    const int ax = desc.m_anchorX, ay = desc.m_anchorY;
    const vector3d<float> left = ax == 0 ? P - R : ax == 1 ? P : P - R * 2.f;
    const vector3d<float> right = ax == 0 ? P + R : ax == 1 ? P + R * 2.f : P;
    const vector3d<float> low = ay == 0 ? -U : ay == 1 ? vector3d<float>() : -(U * 2.f);
    const vector3d<float> high = ay == 0 ? U : ay == 1 ? U * 2.f : vector3d<float>();
    M3DXVertex_XYZDT* v = m_vertices;
    v[0].x = left.X + low.X, v[0].y = left.Y + low.Y, v[0].z = left.Z + low.Z;
    v[1].x = right.X + low.X, v[1].y = right.Y + low.Y, v[1].z = right.Z + low.Z;
    v[2].x = left.X + high.X, v[2].y = left.Y + high.Y, v[2].z = left.Z + high.Z;
    v[3].x = right.X + high.X, v[3].y = right.Y + high.Y, v[3].z = right.Z + high.Z;
}

void IParticle::DestroyEmitters()
{
    m_liveChildren = 0;
    for (IEmitter* clone : m_allChildEmitters) {
        clone->remove();
        clone->drop();
    }
    m_allChildEmitters.clear();
}

int IParticle::GetChildrenParticleCnt() const
{
    int n = 0;
    for (const IEmitter* clone : m_allChildEmitters)
        n += clone->GetAliveParticles();
    return n;
}
