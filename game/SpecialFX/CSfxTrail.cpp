#include "game/SpecialFX/CSfxTrail.h"

#include "effects/ZuduvaHost.h"
#include "engine/core/CMatrix4.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/CPrimitiveStream.h"
#include "engine/video/material/CVertexStreams.h"
#include "engine/video/material/EShaderParameterType.h"
#include "engine/video/material/EVertexAttribute.h"

#include <algorithm>
#include <cmath>

using pravik::core::vector3d;

namespace {
vector3d<float> unit(vector3d<float> v) { return v.normalize(); }
pravik::video::IVideoDriver* hostDriver()
{
    IZuduvaHost* host = ZuduvaGetHost();
    return host ? host->getVideoDriver() : nullptr;
}
}  // namespace

vector3d<float> GetPositionOnCubic(const vector3d<float>& p0, const vector3d<float>& t0, const vector3d<float>& p1,
                                   const vector3d<float>& t1, float t)
{
    const vector3d<float> a = p0 * 2.f - p1 * 2.f + t0 + t1;
    const vector3d<float> b = p1 * 3.f - p0 * 3.f - t0 * 2.f - t1;
    return ((a * t + b) * t + t0) * t + p0;
}

void RNS::AddNode(const vector3d<float>& p)
{
    if (m_nodeCount >= kMaxNodes)
        Init();
    SNode& node = m_nodes[size_t(m_nodeCount)];
    if (m_nodeCount == 0) {
        m_totalLength = 0.f;
        node.distanceFrom0 = 0.f;
    } else {
        SNode& prev = m_nodes[size_t(m_nodeCount - 1)];
        prev.distance = float(std::sqrt(double((p - prev.position).getLengthSQ())));
        m_totalLength += prev.distance;
        node.distanceFrom0 = m_totalLength;
    }
    node.position = p;
    node.distance = 0.f;
    ++m_nodeCount;
}

vector3d<float> RNS::GetStartVelocity(int i) const
{
    const SNode& a = m_nodes[size_t(i)];
    const SNode& b = m_nodes[size_t(i + 1)];
    const float d = a.distance != 0.f ? a.distance : 1.f;  // coincident nodes: no division by zero
    return ((b.position - a.position) * 3.f / d - b.tangent) * 0.5f;
}

vector3d<float> RNS::GetEndVelocity(int i) const
{
    const SNode& a = m_nodes[size_t(i - 1)];
    const SNode& b = m_nodes[size_t(i)];
    const float d = a.distance != 0.f ? a.distance : 1.f;
    return ((b.position - a.position) * 3.f / d - a.tangent) * 0.5f;
}

void RNS::BuildSpline(int from)
{
    if (m_nodeCount < 2)
        return;
    for (int i = std::max(from, 1); i <= m_nodeCount - 2; ++i) {
        const vector3d<float> a = unit(m_nodes[size_t(i + 1)].position - m_nodes[size_t(i)].position);
        const vector3d<float> b = unit(m_nodes[size_t(i - 1)].position - m_nodes[size_t(i)].position);
        m_nodes[size_t(i)].tangent = unit(a - b);
    }
    m_nodes[0].tangent = GetStartVelocity(0);
    m_nodes[size_t(m_nodeCount - 1)].tangent = GetEndVelocity(m_nodeCount - 1);
}

vector3d<float> RNS::GetPosition(int i, int, float t) const
{
    if (i < 0 || i + 1 >= m_nodeCount)
        return GetLastPosition();
    const SNode& a = m_nodes[size_t(i)];
    const SNode& b = m_nodes[size_t(i + 1)];
    const float d = a.distance;
    return GetPositionOnCubic(a.position, a.tangent * d, b.position, b.tangent * d, t);
}

vector3d<float> RNS::GetPosition(float f) const
{
    if (m_nodeCount < 2)
        return GetLastPosition();
    f = std::clamp(f, 0.f, 1.f);
    const float L = f * m_totalLength;
    int i = 0;
    float covered = 0.f;
    while (i < m_nodeCount - 2 && covered + m_nodes[size_t(i)].distance < L) {
        covered += m_nodes[size_t(i)].distance;
        ++i;
    }
    const SNode& a = m_nodes[size_t(i)];
    const SNode& b = m_nodes[size_t(i + 1)];
    const float d = a.distance;
    const float t = d > 0.f ? std::clamp((L - covered) / d, 0.f, 1.f) : 0.f;
    return GetPositionOnCubic(a.position, a.tangent * d, b.position, b.tangent * d, t);
}

vector3d<float> RNS::GetLastPosition() const
{
    return m_nodeCount > 0 ? m_nodes[size_t(m_nodeCount - 1)].position : vector3d<float>();
}

void RNS::AddNodeFromBuffer(const RNSBuffer* buffer, const pravik::core::CMatrix4<float>& m)
{
    if (!buffer)
        return;
    const int start = m_nodeCount;
    for (int i = start; i < start + 3 && i < int(buffer->points.size()); ++i)
        AddExtraNodeFromBuffer(buffer, m, i);
}

bool RNS::AddExtraNodeFromBuffer(const RNSBuffer* buffer, const pravik::core::CMatrix4<float>& m, int index)
{
    if (!buffer || index < 0 || index >= int(buffer->points.size()) || !buffer->points[size_t(index)])
        return false;
    vector3d<float> p = *buffer->points[size_t(index)];
    m.transformVect(p);
    AddNode(p);
    return true;
}

void RNS::RemoveExtraNode()
{
    if (m_nodeCount == 0)
        return;
    --m_nodeCount;
    if (m_nodeCount > 0) {
        m_totalLength -= m_nodes[size_t(m_nodeCount - 1)].distance;
        m_nodes[size_t(m_nodeCount - 1)].distance = 0.f;
    } else {
        m_totalLength = 0.f;
    }
}

void RNS::RemoveAdditionalNodes(int count)
{
    for (int i = 0; i < count; ++i)
        RemoveExtraNode();
}

CSfxTrail::CSfxTrail(CGame* game) : m_game(game)
{
    for (int i = 0; i < 64; ++i)
        m_indices[i] = std::uint16_t(i);
    Reset();
    if (pravik::video::IVideoDriver* driver = hostDriver()) {
        auto buffer = driver->createBuffer(pravik::video::EBT_VERTEX, pravik::video::EBU_CLIENT_ONLY, sizeof m_vertices,
                                           m_vertices, false);
        m_streams = pravik::video::CVertexStreams::allocate(
            (1u << pravik::video::EVA_POSITION) | (1u << pravik::video::EVA_TEXCOORD0) | (1u << pravik::video::EVA_COLOR0));
        if (m_streams && buffer) {
            m_streams->setupStreams(buffer, (1u << pravik::video::EVA_POSITION) |
                                                (1u << pravik::video::EVA_TEXCOORD0) |
                                                (1u << pravik::video::EVA_COLOR0));
            m_streams->setVertexCount(64);
        }
    }
}

CSfxTrail::~CSfxTrail() = default;

void CSfxTrail::Custom(float maxLength, float shrinkSpeed, float width)
{
    m_maxLength = maxLength;
    m_shrinkSpeed = shrinkSpeed;
    m_trailWidth = width;
}

void CSfxTrail::SetVertexColor(const pravik::video::SColor& c)
{
    m_vertexColor = pravik::video::SColor(c.getRed(), c.getGreen(), c.getBlue(), 255);
}

void CSfxTrail::SetMaterialType(int type)
{
    m_material = type == 18 ? ZuduvaGetMaterial(0) : type == 17 ? ZuduvaGetMaterial(1) : nullptr;
}

void CSfxTrail::SetTexture(const char* name)
{
    pravik::video::IVideoDriver* driver = hostDriver();
    if (!m_material || !name || !driver || !driver->getTextureManager())
        return;
    SetTexture(driver->getTextureManager()->getTexture(name, nullptr));
}

void CSfxTrail::SetTexture(const boost::intrusive_ptr<pravik::video::ITexture>& texture)
{
    if (!m_material || !texture)
        return;  // a trail without material has nowhere to put a texture
    const unsigned short id = m_material->getMaterialRenderer()->getParameterID(pravik::video::ESPT_TEXTURE, 0);
    if (id == 0xFFFF)
        return;
    if (texture->getWrapS() != pravik::video::ETC_CLAMP)
        texture->setWrapS(pravik::video::ETC_CLAMP);
    if (texture->getWrapT() != pravik::video::ETC_CLAMP)
        texture->setWrapT(pravik::video::ETC_CLAMP);
    m_material->setParameter(id, 0, texture);
}

void CSfxTrail::AddTrackPoint(const vector3d<float>& top, const vector3d<float>& bottom)
{
    m_bottom.AddNode(bottom);
    m_top.AddNode(top);
    m_bottom.BuildSpline(1);
    m_top.BuildSpline(1);
    if (m_top.GetNodeCount() > 1) {
        m_length += (m_top.GetLastDistance() + m_bottom.GetLastDistance()) * 0.5f;
        m_length = std::min(m_length, m_maxLength);
        m_active = true;
    }
}

void CSfxTrail::AddTrackPointWithNormal(const vector3d<float>& centre, const vector3d<float>& normal)
{
    const vector3d<float> half = normal * (m_trailWidth * 0.5f);
    AddTrackPoint(centre + half, centre - half);
}

vector3d<float> CSfxTrail::GetLastTopPoint(float t) const
{
    const int n = m_top.GetNodeCount();
    return n > 1 ? m_top.GetPosition(n - 2, n - 1, t) : m_top.GetLastPosition();
}

vector3d<float> CSfxTrail::GetLastBtmPoint(float t) const
{
    const int n = m_bottom.GetNodeCount();
    return n > 1 ? m_bottom.GetPosition(n - 2, n - 1, t) : m_bottom.GetLastPosition();
}

void CSfxTrail::Reset()
{
    m_top.Init();
    m_bottom.Init();
    m_active = false;
    m_length = 0.f;
    m_vertexColor = pravik::video::SColor(m_vertexColor.getRed(), m_vertexColor.getGreen(), m_vertexColor.getBlue(), 255);
}

void CSfxTrail::Update(int ms)
{
    if (!m_active)
        return;
    m_length -= float(ms) * m_shrinkSpeed;
    if (m_length < 0.f) {
        Reset();
        return;
    }
    const float g = m_length / ((m_top.GetTotalLength() + m_bottom.GetTotalLength()) * 0.5f);
    for (int i = 0; i < 32; ++i) {
        const float s = std::min((1.f - g) + float(i) * (g / 31.f), 0.999f);
        const vector3d<float> b = m_bottom.GetPosition(s), t = m_top.GetPosition(s);
        const float u = 1.f - float(i) * 0.032258064f;
        SVertex& vb = m_vertices[2 * i];
        SVertex& vt = m_vertices[2 * i + 1];
        vb = {b.X, b.Y, b.Z, u, 0.f, m_vertexColor.getRed(), m_vertexColor.getGreen(), m_vertexColor.getBlue(),
              m_vertexColor.getAlpha()};
        vt = {t.X, t.Y, t.Z, u, 1.f, vb.r, vb.g, vb.b, vb.a};
    }
}

void CSfxTrail::Render()
{
    pravik::video::IVideoDriver* driver = hostDriver();
    if (!m_active || !driver || !m_streams)
        return;
    const pravik::core::CMatrix4<float> saved = driver->getTransform(pravik::video::ETS_WORLD);
    driver->setTransform(pravik::video::ETS_WORLD, pravik::core::IdentityMatrix);
    driver->setMaterial(m_material, m_material ? m_material->getTechnique() : 255, nullptr);
    const pravik::video::CPrimitiveStream strip(nullptr, 0, 64, 0, 64, pravik::video::EIT_NONE,
                                                pravik::video::EPT_TRIANGLE_STRIP);
    driver->draw(m_streams, strip);
    driver->setTransform(pravik::video::ETS_WORLD, saved);
}
