#include "engine/collada/CCoronasSceneNode.h"

#include "engine/io/IAttributes.h"
#include "engine/os/Printer.h"
#include "engine/scene/CSceneManager.h"
#include "engine/scene/ICameraSceneNode.h"
#include "engine/scene/SceneMath.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/CPrimitiveStream.h"
#include "engine/video/material/EVertexAttribute.h"

#include <cmath>

namespace pravik::collada {

namespace {

using vec3 = core::vector3d<float>;

constexpr unsigned kAttributes = (1u << video::EVA_POSITION) | (1u << video::EVA_TEXCOORD0) |
                                 (1u << video::EVA_NORMAL) | (1u << video::EVA_COLOR0);

vec3 normalizedUnlessZero(vec3 v)
{
    if (v.getLengthSQ() != 0.f) v.normalize();
    return v;
}

// The inverse as the quad needs it: a flagged identity is its own, a singular matrix gives the identity.
core::CMatrix4<float> inverseOrIdentity(const core::CMatrix4<float>& m)
{
    core::CMatrix4<float> out;
    if (!scene::inverseOf(m, out)) out.makeIdentity();
    return out;
}

// p' = sum p_i * M[4i + j] + M[12 + j]: the fourth coordinate is not divided out.
vec3 affine(const core::CMatrix4<float>& m, const vec3& p)
{
    const float* M = m.pointer();
    return vec3(p.X * M[0] + p.Y * M[4] + p.Z * M[8] + M[12], p.X * M[1] + p.Y * M[5] + p.Z * M[9] + M[13],
                p.X * M[2] + p.Y * M[6] + p.Z * M[10] + M[14]);
}

}  // namespace

CCoronasSceneNode::CCoronasSceneNode(const CColladaDatabase& db, video::IVideoDriver* driver, SCoronas* record,
                                     CRootSceneNode* root)
    : ISceneNode(-1), m_root(root), m_database(db)
{
    if (record) {
        m_rotationSpeed = record->rotationSpeed;
        m_baseAngle = record->baseAngle;
        m_unused[0] = record->unused18[0];
        m_unused[1] = record->unused18[1];
        setName(db.str(record->name));
        m_flag = record->flag != 0;
        m_size = core::dimension2d<float>(record->width, record->height);  // a zero stays until setSize
    }
    initVertices(driver, video::SColor(255, 255, 255, 255));
}

CCoronasSceneNode::CCoronasSceneNode(video::IVideoDriver* driver, int id, const core::vector3d<float>& position,
                                     const boost::intrusive_ptr<video::CMaterial>& material,
                                     const core::dimension2d<float>& size, video::SColor colour)
    : ISceneNode(id, position), m_size(size), m_material(material)
{
    initVertices(driver, colour);
}

CCoronasSceneNode::~CCoronasSceneNode() = default;

void CCoronasSceneNode::initVertices(video::IVideoDriver* driver, video::SColor colour)
{
    m_streams = video::CVertexStreams::allocate(1, kAttributes);
    if (m_streams) {
        m_streams->setVertexCount(4);
        if (driver) {
            boost::intrusive_ptr<video::IBuffer> buffer =
                driver->createBuffer(video::EBT_VERTEX, video::EBU_CLIENT_ONLY, sizeof m_vertices, m_vertices, false);
            if (buffer) m_streams->setupStreams(buffer, kAttributes);
        }
    }
    const float tc[4][2] = {{1, 1}, {1, 0}, {0, 1}, {0, 0}};
    for (int i = 0; i < 4; ++i) {
        m_vertices[i].TCoords[0] = tc[i][0];
        m_vertices[i].TCoords[1] = tc[i][1];
        m_vertices[i].Color = colour;
    }
}

void CCoronasSceneNode::setSize(const core::dimension2d<float>& size)
{
    m_size = size;
    if (m_size.Width == 0.f) m_size.Width = 1.f;
    if (m_size.Height == 0.f) m_size.Height = 1.f;
}

bool CCoronasSceneNode::isBlocked() const
{
    if (!m_blocking) return false;
    scene::ICameraSceneNode* camera = SceneManager ? SceneManager->getActiveCamera() : nullptr;
    if (!camera) return false;
    return m_blocking(getAbsolutePosition(), camera->getAbsolutePosition());
}

bool CCoronasSceneNode::onRegisterSceneNode()
{
    if (SceneManager && !isBlocked())
        SceneManager->registerNodeForRendering(this, m_material, reinterpret_cast<void*>(1), scene::ESNRP_AUTOMATIC,
                                               nullptr, scene::kNodeRenderingLayer);
    return true;
}

void CCoronasSceneNode::render(void* renderData)
{
    video::IVideoDriver* driver = SceneManager ? SceneManager->getVideoDriver() : nullptr;
    scene::ICameraSceneNode* camera = SceneManager ? SceneManager->getActiveCamera() : nullptr;
    if (!driver || !camera) return;

    const core::CMatrix4<float>& P = driver->getTransform(video::ETS_PROJECTION);
    const core::CMatrix4<float>& V = driver->getTransform(video::ETS_VIEW);
    const core::CMatrix4<float> Pi = inverseOrIdentity(P);
    const core::CMatrix4<float> Vi = inverseOrIdentity(V);

    const vec3 c = getAbsolutePosition();
    const vec3 e = camera->getAbsolutePosition();
    const vec3 n = normalizedUnlessZero(e - camera->getTarget());
    for (SVertex& v : m_vertices) v.Normal = n;

    // The screen's axes in the world.
    const vec3 o = affine(Vi, affine(Pi, vec3(0, 0, 0)));
    const vec3 right = normalizedUnlessZero(affine(Vi, affine(Pi, vec3(1, 0, 0))) - o);
    const vec3 up = normalizedUnlessZero(affine(Vi, affine(Pi, vec3(0, 1, 0))) - o);

    const vec3 projected = affine(P, affine(V, c));
    const float sx = 2 * projected.X / projected.Z, sy = 2 * projected.Y / projected.Z;

    const double distance = std::sqrt(double((c - e).getLengthSQ()));
    const float angle = m_baseAngle + float(distance / 50) * 3.1415927f * m_rotationSpeed;
    if (os::Printer::Logger) os::Printer::logf(ELL_INFORMATION, "%f\n", angle);

    // A turn by |angle| about n, counter-clockwise as the camera sees it for either sign.
    const vec3 axis = angle >= 0 ? n : -n;
    const vec3 u = axis * std::sin(angle / 2);
    const float w = std::cos(angle / 2);
    auto turn = [&](const vec3& p) { return p + u.crossProduct(p) * (2 * w) + u.crossProduct(u.crossProduct(p)) * 2.f; };
    const vec3 h = turn(right * (2 * m_size.Width));
    const vec3 v = turn(up * (2 * m_size.Height));

    const vec3 m = affine(Vi, affine(Pi, vec3(sx, sy, 0))) - n;
    m_vertices[0].Pos = m + h - v;
    m_vertices[1].Pos = m + h + v;
    m_vertices[2].Pos = m - h - v;
    m_vertices[3].Pos = m - h + v;

    if (!renderData || !m_streams) return;
    const video::E_COMPARE_FUNC depth = driver->getDepthFunc();
    driver->setTransform(video::ETS_WORLD, core::IdentityMatrix);
    driver->setMaterial(m_material, m_material ? m_material->getTechnique() : 255, nullptr);
    driver->setDepthFunc(video::ECF_ALWAYS);
    const video::CPrimitiveStream strip(nullptr, 0, 4, 0, 4, video::EIT_NONE, video::EPT_TRIANGLE_STRIP);
    driver->draw(m_streams, strip);
    driver->setDepthFunc(depth);
}

void CCoronasSceneNode::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions*) const
{
    if (!out) return;
    out->addFloat("Width", m_size.Width);
    out->addFloat("Height", m_size.Height);
    out->addColor("VColor", m_vertices[0].Color);
}

void CCoronasSceneNode::deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions*)
{
    if (!in) return;
    const core::dimension2d<float> size(in->getFloat("Width"), in->getFloat("Height"));
    const video::SColor colour = in->getColor("VColor");
    for (SVertex& v : m_vertices) v.Color = colour;
    setSize(size);
}

}  // namespace pravik::collada
