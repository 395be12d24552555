#include "engine/collada/CMeshSceneNode.h"

#include "engine/collada/CResFile.h"
#include "engine/scene/CMeshBuffer.h"
#include "engine/scene/CSceneManager.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/CVertexAttributeMap.h"

namespace pravik::collada {

CMeshSceneNode::CMeshSceneNode(const boost::intrusive_ptr<IMesh>& mesh, SNode* record, int id,
                               const core::vector3d<float>& position, const core::quaternion& rotation,
                               const core::vector3d<float>& scale)
    : IMeshSceneNode(id, position, rotation, scale), m_record(record), m_mesh(mesh), m_sceneMesh(mesh)
{
    AutomaticCulling = scene::EAC_FRUSTUM_BOX;
}

bool CMeshSceneNode::onRegisterSceneNode()
{
    video::IVideoDriver* driver = SceneManager ? SceneManager->getVideoDriver() : nullptr;
    if (!m_mesh || !driver) return true;
    const unsigned count = std::min(m_mesh->getMeshBufferCount(), kMaxMeshBuffers);
    for (unsigned i = 0; i < count; ++i) {
        if (!m_mesh->getMeshBuffer(i)) continue;
        auto material = m_mesh->getMaterial(i);
        const unsigned r = m_mesh->onPrepareBufferForRendering(EPBS_REGISTER, driver, i);
        if (r == EPR_NOTHING_TO_DO || r == EPR_PROCESS_BUFFER) {
            bool blend = false;
            if (material && material->getMaterialRenderer()) {
                const auto& renderer = material->getMaterialRenderer();
                const unsigned char t = material->getTechnique();
                if (t < renderer->getTechniqueCount() && renderer->getTechnique(t).passCount > 0)
                    blend = renderer->getTechnique(t).passes[0].renderState.getBlendEnable();
            }
            void* data = reinterpret_cast<void*>(uintptr_t(i + 1));
            SceneManager->registerNodeForRendering(this, material, data, blend ? scene::ESNRP_TRANSPARENT : scene::ESNRP_SOLID,
                                                   nullptr, 0x7FFFFFFF);
            if (Flags & scene::ESNF_SHADOW_CASTER)
                SceneManager->registerNodeForRendering(this, material, data, scene::ESNRP_SHADOW_CASTER, nullptr,
                                                       0x7FFFFFFF);
        } else if (r == 5) {
            m_mesh->getBoundingBox();
        }
    }
    return true;
}

void CMeshSceneNode::onAnimate(unsigned timeMs)
{
    if (!isVisible()) return;
    IMeshSceneNode::onAnimate(timeMs);
    if (m_mesh) m_mesh->onAnimate(timeMs);
}

void CMeshSceneNode::render(void* renderData)
{
    video::IVideoDriver* driver = SceneManager ? SceneManager->getVideoDriver() : nullptr;
    if (!m_mesh || !driver) return;
    m_mesh->setTransform(driver, AbsoluteTransformation);
    if (!renderData) return;
    const unsigned i = unsigned(reinterpret_cast<uintptr_t>(renderData) - 1);
    if (i >= kMaxMeshBuffers) return;  // past the prepared mask: never registered
    auto buffer = m_mesh->getMeshBuffer(i);
    if (!buffer) return;
    const unsigned r = (m_mesh->getPreparedMask() >> i & 1u) ? unsigned(EPR_NOTHING_TO_DO)
                                                               : m_mesh->onPrepareBufferForRendering(EPBS_RENDER, driver, i);
    auto material = m_mesh->getMaterial(i);
    if (material) {
        const unsigned char t = material->getTechnique();
        auto map = m_mesh->getMaterialVertexAttributeMap(i);
        driver->setMaterial(material, t, map ? &map->get(t, 0) : nullptr);
    }
    driver->draw(buffer->VertexStreams, buffer->PrimitiveStream, &buffer->DriverBinding, buffer.get());
    if (r & EPR_PROCESS_BUFFER) m_mesh->releaseProcessBuffer(driver, i);
}

unsigned CMeshSceneNode::getRenderVertexCount(void* renderData) const
{
    if (!m_mesh || !renderData) return 0;
    auto buffer = m_mesh->getMeshBuffer(unsigned(reinterpret_cast<uintptr_t>(renderData) - 1));
    return buffer && buffer->VertexStreams ? buffer->VertexStreams->getVertexCount() : 0;
}

const core::aabbox3d<float>& CMeshSceneNode::getBoundingBox() const
{
    return m_mesh ? m_mesh->getBoundingBox() : m_emptyBox;
}

const char* CMeshSceneNode::getUID() const
{
    if (m_record && m_mesh) return m_mesh->getDatabase().str(m_record->id);
    return m_mesh ? m_mesh->getUID() : "";
}

boost::intrusive_ptr<video::CMaterial> CMeshSceneNode::getMaterial(unsigned i) const
{
    return m_mesh ? m_mesh->getMaterial(i) : nullptr;
}

unsigned CMeshSceneNode::getMaterialCount() const { return m_mesh ? m_mesh->getMeshBufferCount() : 0; }

}  // namespace pravik::collada
