#include "engine/scene/CMeshSceneNode.h"

#include "engine/io/IAttributes.h"
#include "engine/scene/CMeshCache.h"
#include "engine/scene/CSceneManager.h"
#include "engine/scene/MaterialTransparency.h"
#include "engine/video/IVideoDriver.h"

namespace pravik::scene {

namespace {
const core::aabbox3d<float> kEmptyBox(0, 0, 0, 0, 0, 0);
}

CMeshSceneNode::CMeshSceneNode(const boost::intrusive_ptr<IMesh>& mesh, int id, const core::vector3d<float>& position,
                               const core::quaternion& rotation, const core::vector3d<float>& scale)
    : IMeshSceneNode(id, position, rotation, scale)
{
    AutomaticCulling = EAC_FRUSTUM_BOX;
    CMeshSceneNode::setMesh(mesh);
}

void CMeshSceneNode::setMesh(const boost::intrusive_ptr<IMesh>& mesh)
{
    Mesh = mesh;
    m_plainMesh = dynamic_cast<const CMesh*>(mesh.get());
}

// Calls visit(buffer, material, attribute map) for every buffer in order. A plain mesh is read
// in place: this runs for every drawn node twice a frame, and the interface's getters cost a
// virtual call and a reference count each.
template <class Visit>
void CMeshSceneNode::forEachBuffer(const Visit& visit) const
{
    if (m_plainMesh) {
        for (const CMesh::SBuffer& b : m_plainMesh->Buffers) visit(b.MeshBuffer, b.Material, b.AttributeMap);
        return;
    }
    const unsigned n = Mesh->getMeshBufferCount();
    for (unsigned i = 0; i < n; ++i)
        visit(Mesh->getMeshBuffer(i), Mesh->getMaterial(i), Mesh->getMaterialVertexAttributeMap(i));
}

const core::aabbox3d<float>& CMeshSceneNode::getBoundingBox() const
{
    return Mesh ? Mesh->getBoundingBox() : kEmptyBox;
}

boost::intrusive_ptr<video::CMaterial> CMeshSceneNode::getMaterial(unsigned index) const
{
    return Mesh ? Mesh->getMaterial(index) : nullptr;
}

bool CMeshSceneNode::onRegisterSceneNode()
{
    if (!Mesh || !SceneManager) return true;
    bool solid = false, transparent = false;
    if (m_plainMesh) {
        for (const CMesh::SBuffer& b : m_plainMesh->Buffers) {
            if (isTransparent(b.Material.get())) transparent = true;
            else solid = true;
            if (solid && transparent) break;
        }
    } else {
        const unsigned n = Mesh->getMeshBufferCount();
        for (unsigned i = 0; i < n && !(solid && transparent); ++i) {
            if (isTransparent(Mesh->getMaterial(i).get())) transparent = true;
            else solid = true;
        }
    }
    if (solid) SceneManager->registerNodeForRendering(this, nullptr, nullptr, ESNRP_SOLID, nullptr, kNodeRenderingLayer);
    if (transparent)
        SceneManager->registerNodeForRendering(this, nullptr, nullptr, ESNRP_TRANSPARENT, nullptr, kNodeRenderingLayer);
    if (Flags & ESNF_SHADOW_CASTER)
        SceneManager->registerNodeForRendering(this, nullptr, nullptr, ESNRP_SHADOW_CASTER, nullptr, kNodeRenderingLayer);
    return true;
}

void CMeshSceneNode::render(void*)
{
    video::IVideoDriver* driver = SceneManager ? SceneManager->getVideoDriver() : nullptr;
    if (!Mesh || !driver) return;
    const bool transparentPass = SceneManager->getSceneNodeRenderPass() == ESNRP_TRANSPARENT;
    const bool compiling = SceneManager->isCompiling();
    driver->setTransform(video::ETS_WORLD, AbsoluteTransformation);
    forEachBuffer([&](const boost::intrusive_ptr<CMeshBuffer>& buffer, const boost::intrusive_ptr<video::CMaterial>& material,
                      const boost::intrusive_ptr<video::CMaterialVertexAttributeMap>& map) {
        if (!buffer || !material) return;  // nothing to draw, or nothing to draw it with
        if (!compiling && isTransparent(material.get()) != transparentPass) return;
        const unsigned char t = material->getTechnique();
        const boost::intrusive_ptr<video::CVertexAttributeMap>* maps = map ? &map->get(t, 0) : nullptr;
        driver->setMaterial(material, t, maps);
        driver->draw(buffer->VertexStreams, buffer->PrimitiveStream, &buffer->DriverBinding, buffer.get());
    });
}

ISceneNode* CMeshSceneNode::clone() const
{
    auto* copy = new CMeshSceneNode(Mesh ? Mesh->clone() : nullptr, ID, Position, Rotation, Scale);
    copy->cloneMembers(this);
    return copy;
}

void CMeshSceneNode::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options) const
{
    if (!out) return;
    ISceneNode::serializeAttributes(out, options);
    const char* name = nullptr;
    if (Mesh && SceneManager && SceneManager->getMeshCache()) name = SceneManager->getMeshCache()->getMeshFilename(Mesh.get());
    out->addString("Mesh", name ? name : "", false);
}

void CMeshSceneNode::deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options)
{
    if (!in) return;
    const char* current = nullptr;
    if (Mesh && SceneManager && SceneManager->getMeshCache())
        current = SceneManager->getMeshCache()->getMeshFilename(Mesh.get());
    const core::stringc name = in->getString("Mesh");
    if (!name.empty() && name != (current ? current : "") && SceneManager) {
        if (boost::intrusive_ptr<IAnimatedMesh> animated = SceneManager->getMesh(name.c_str()))
            if (boost::intrusive_ptr<IMesh> frame = animated->getMesh(0, 255, -1, -1)) setMesh(frame);
    }
    ISceneNode::deserializeAttributes(in, options);
}

}  // namespace pravik::scene
