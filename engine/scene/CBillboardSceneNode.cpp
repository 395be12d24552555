#include "engine/scene/CBillboardSceneNode.h"

#include "engine/io/IAttributes.h"
#include "engine/scene/CSceneManager.h"
#include "engine/scene/ICameraSceneNode.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/EVertexAttribute.h"

namespace pravik::scene {

namespace {

constexpr unsigned kAttributes = (1u << video::EVA_POSITION) | (1u << video::EVA_TEXCOORD0) |
                                 (1u << video::EVA_NORMAL) | (1u << video::EVA_COLOR0);

core::vector3d<float> normalizedUnlessZero(core::vector3d<float> v)
{
    if (v.getLengthSQ() != 0.f) v.normalize();
    return v;
}

}  // namespace

CBillboardSceneNode::CBillboardSceneNode(video::IVideoDriver* driver, int id, const core::vector3d<float>& position,
                                         const core::dimension2d<float>& size, video::SColor top, video::SColor bottom)
    : IBillboardSceneNode(id, position)
{
    setSize(size);
    VertexStreams = video::CVertexStreams::allocate(1, kAttributes);
    if (VertexStreams) {
        VertexStreams->setVertexCount(4);
        if (driver) {
            boost::intrusive_ptr<video::IBuffer> buffer =
                driver->createBuffer(video::EBT_VERTEX, video::EBU_CLIENT_ONLY, sizeof Vertices, Vertices, false);
            if (buffer) VertexStreams->setupStreams(buffer, kAttributes);
        }
    }
    const float tc[4][2] = {{1, 1}, {1, 0}, {0, 1}, {0, 0}};
    for (int i = 0; i < 4; ++i) {
        Vertices[i].TCoords[0] = tc[i][0];
        Vertices[i].TCoords[1] = tc[i][1];
    }
    setColor(top, bottom);
}

void CBillboardSceneNode::setSize(const core::dimension2d<float>& size)
{
    Size = size;
    if (Size.Width == 0.f) Size.Width = 1.f;
    if (Size.Height == 0.f) Size.Height = 1.f;
    const float half = (size.Width + size.Height) / 6;
    BBox = core::aabbox3d<float>(-half, -half, -half, half, half, half);
}

void CBillboardSceneNode::setColor(const video::SColor& color)
{
    for (SVertex& v : Vertices) v.Color = color;
}

void CBillboardSceneNode::setColor(const video::SColor& top, const video::SColor& bottom)
{
    Vertices[0].Color = bottom;
    Vertices[2].Color = bottom;
    Vertices[1].Color = top;
    Vertices[3].Color = top;
}

void CBillboardSceneNode::getColor(video::SColor& top, video::SColor& bottom) const
{
    top = Vertices[1].Color;
    bottom = Vertices[0].Color;
}

bool CBillboardSceneNode::onRegisterSceneNode()
{
    if (SceneManager)
        SceneManager->registerNodeForRendering(this, Material, reinterpret_cast<void*>(1), ESNRP_AUTOMATIC, nullptr,
                                               kNodeRenderingLayer);
    return true;
}

void CBillboardSceneNode::render(void* renderData)
{
    video::IVideoDriver* driver = SceneManager ? SceneManager->getVideoDriver() : nullptr;
    ICameraSceneNode* camera = SceneManager ? SceneManager->getActiveCamera() : nullptr;
    if (!driver || !camera) return;

    const core::vector3d<float> c = getAbsolutePosition();
    const core::vector3d<float> e = camera->getAbsolutePosition();
    const core::vector3d<float> u = camera->getUpVector();
    const core::vector3d<float> d = normalizedUnlessZero(camera->getTarget() - e);
    core::vector3d<float> h = d.crossProduct(u);
    if (h.getLength() == 0.f) h.set(u.Y, u.X, u.Z);
    h = normalizedUnlessZero(h) * (Size.Width / 2);
    const core::vector3d<float> v = normalizedUnlessZero(d.crossProduct(h)) * (Size.Height / 2);

    // The node's rotation turns the corners the way its relative matrix turns a vector.
    const core::vector3d<float> q(Rotation.X, Rotation.Y, Rotation.Z);
    const float w = Rotation.W;
    auto turn = [&q, w](const core::vector3d<float>& p) {
        return p - q.crossProduct(p) * (2 * w) + q.crossProduct(q.crossProduct(p)) * 2.f;
    };
    const core::vector3d<float> offsets[4] = {h + v, h - v, -h + v, -h - v};
    for (int i = 0; i < 4; ++i) {
        Vertices[i].Normal = -d;
        Vertices[i].Pos = c + turn(offsets[i]);
    }
    if (!renderData || !VertexStreams) return;
    driver->setTransform(video::ETS_WORLD, core::IdentityMatrix);
    driver->setMaterial(Material, Material ? Material->getTechnique() : 255, nullptr);
    const video::CPrimitiveStream strip(nullptr, 0, 4, 0, 4, video::EIT_NONE, video::EPT_TRIANGLE_STRIP);
    driver->draw(VertexStreams, strip);
}

void CBillboardSceneNode::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options) const
{
    if (!out) return;
    ISceneNode::serializeAttributes(out, options);
    out->addFloat("Width", Size.Width);
    out->addFloat("Height", Size.Height);
    out->addColor("Shade_Top", Vertices[1].Color);
    out->addColor("Shade_Down", Vertices[0].Color);
}

void CBillboardSceneNode::deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options)
{
    if (!in) return;
    ISceneNode::deserializeAttributes(in, options);
    const core::dimension2d<float> size(in->getFloat("Width"), in->getFloat("Height"));
    setColor(in->getColor("Shade_Top"), in->getColor("Shade_Down"));
    setSize(size);
}

ISceneNode* CBillboardSceneNode::clone() const
{
    video::IVideoDriver* driver = SceneManager ? SceneManager->getVideoDriver() : nullptr;
    auto* copy = new CBillboardSceneNode(driver, ID, Position, Size);
    copy->cloneMembers(this);
    copy->Material = Material;
    return copy;
}

}  // namespace pravik::scene
