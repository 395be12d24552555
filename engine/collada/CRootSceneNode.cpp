#include "engine/collada/CRootSceneNode.h"

#include "engine/collada/CCameraSceneNode.h"
#include "engine/collada/CColladaFactory.h"
#include "engine/collada/CImage.h"
#include "engine/io/IAttributes.h"
#include "engine/os/Printer.h"
#include "engine/scene/CLightSceneNode.h"
#include "engine/video/ITexture.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/CVertexAttributeMap.h"

#include <algorithm>
#include <cstring>

#include <strings.h>

namespace pravik::collada {

CRootSceneNode::CRootSceneNode(const CColladaDatabase& db) : CSceneNode(db, nullptr)
{
    AutomaticCulling = scene::EAC_OFF;
}

CRootSceneNode::~CRootSceneNode()
{
    removeAll();
    m_links.clear();
    m_iflAnimations.clear();
    m_lights.clear();
    m_morphingMeshes.clear();
    m_particleSystems.clear();
    m_cameras.clear();
    m_images.clear();
    m_materials.clear();
}

void CRootSceneNode::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options) const
{
    CSceneNode::serializeAttributes(out, options);
    if (out) out->addString("Source", m_database.getPath() ? m_database.getPath() : "", false);
}

void CRootSceneNode::deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options)
{
    CSceneNode::deserializeAttributes(in, options);
}

void CRootSceneNode::onAnimate(unsigned timeMs) { CSceneNode::onAnimate(timeMs); }

const char* CRootSceneNode::getUID() const { return m_database.getPath() ? m_database.getPath() : ""; }

boost::intrusive_ptr<video::CMaterial> CRootSceneNode::getMaterial(unsigned i) const
{
    return i < m_materials.size() ? m_materials[i].material : nullptr;
}

boost::intrusive_ptr<video::CMaterial> CRootSceneNode::hasMaterial(const char* id) const
{
    if (!id) return nullptr;
    for (const SMaterialInfo& info : m_materials)
        if (std::strcmp(m_database.str(info.record->id), id) == 0) return info.material;
    return nullptr;
}

boost::intrusive_ptr<video::CMaterial> CRootSceneNode::addMaterial(SMaterial* record, video::IVideoDriver* driver)
{
    auto material = m_database.constructMaterial(driver, record, this);
    if (material) m_materials.push_back({record, material});
    return material;
}

boost::intrusive_ptr<video::CMaterial> CRootSceneNode::addMaterial(const char* id, video::IVideoDriver* driver)
{
    unsigned mask = ELM_MATERIALS;
    auto* record = static_cast<SMaterial*>(m_database.find(id, mask));
    return record ? addMaterial(record, driver) : nullptr;
}

boost::intrusive_ptr<video::CMaterial> CRootSceneNode::getMaterial(const char* id, video::IVideoDriver* driver)
{
    if (auto existing = hasMaterial(id)) return existing;
    return driver ? addMaterial(id, driver) : nullptr;
}

boost::intrusive_ptr<video::CMaterial> CRootSceneNode::getMaterial(SMaterial* record, video::IVideoDriver* driver)
{
    if (!record) return nullptr;
    for (const SMaterialInfo& info : m_materials)
        if (info.record == record) return info.material;
    if (auto existing = hasMaterial(m_database.str(record->id))) return existing;
    return driver ? addMaterial(record, driver) : nullptr;
}

boost::intrusive_ptr<CImage> CRootSceneNode::getImage(const char* id)
{
    if (!id) return nullptr;
    for (const auto& image : m_images)
        if (std::strcmp(image->getName(), id) == 0) return image;
    auto image = m_database.constructImage(id, this);
    if (image) m_images.push_back(image);
    return image;
}

scene::CLightSceneNode* CRootSceneNode::getLight(const char* id) const
{
    if (!id) return nullptr;
    for (scene::CLightSceneNode* light : m_lights)
        if (std::strcmp(light->getUID(), id) == 0) return light;
    return nullptr;
}

void CRootSceneNode::removeMorphingMesh(IMorphTargetWeights* mesh)
{
    const auto it = std::find(m_morphingMeshes.begin(), m_morphingMeshes.end(), mesh);
    if (it != m_morphingMeshes.end()) m_morphingMeshes.erase(it);
}

IMorphTargetWeights* CRootSceneNode::getMorphingMesh(const char* id) const
{
    if (!id) return nullptr;
    for (IMorphTargetWeights* mesh : m_morphingMeshes)
        if (const char* uid = mesh->getUID(); uid && std::strcmp(uid, id) == 0) return mesh;
    return nullptr;
}

void CRootSceneNode::removeParticleSystem(IParticleSystemParameters* system)
{
    const auto it = std::find(m_particleSystems.begin(), m_particleSystems.end(), system);
    if (it != m_particleSystems.end()) m_particleSystems.erase(it);
}

IParticleSystemParameters* CRootSceneNode::getParticleSystem(const char* id) const
{
    if (!id) return nullptr;
    for (IParticleSystemParameters* system : m_particleSystems)
        if (const char* uid = system->getUID(); uid && strcasecmp(uid, id) == 0) return system;
    return nullptr;
}

void CRootSceneNode::addIFLAnimation(SAnimation* animation, const boost::intrusive_ptr<video::CMaterial>& material,
                                     unsigned short parameter)
{
    m_iflAnimations[animation].push_back({material, parameter});
}

void CRootSceneNode::setIFLAnimationValue(SAnimation* animation, const boost::intrusive_ptr<video::ITexture>& texture)
{
    for (SParameterInfo& info : m_iflAnimations[animation])
        if (info.material) info.material->setParameter(info.parameter, 0u, texture);
}

void CRootSceneNode::addURLToResolve(const boost::intrusive_ptr<video::CMaterial>& material, unsigned short parameter,
                                     unsigned index, const char* url)
{
    m_links.push_back({0, url, material.get(), nullptr, parameter, index});
}

void CRootSceneNode::addURLToResolve(const boost::intrusive_ptr<video::CMaterialRenderer>& renderer,
                                     unsigned short parameter, unsigned index, const char* url)
{
    m_links.push_back({1, url, nullptr, renderer.get(), parameter, index});
}

void CRootSceneNode::onPostLoad()
{
    attachCameras();
    updateAbsolutePosition(true);
    computeBoundingBox();
    Flags |= scene::ESNF_BOUNDING_BOX_DIRTY;
    m_postLoaded = true;
}

void CRootSceneNode::resolveURLs()
{
    for (const SURLLink& link : m_links) {
        scene::ISceneNode* node = nullptr;
        if (link.url && link.url[0] == '#') node = getLight(link.url + 1);
        if (!node) {
            node = link.kind == 0
                       ? m_database.getExternalLightSceneNode(boost::intrusive_ptr<video::CMaterial>(link.material),
                                                              link.parameter, link.index, link.url)
                       : m_database.getExternalLightSceneNode(
                             boost::intrusive_ptr<video::CMaterialRenderer>(link.renderer), link.parameter, link.index,
                             link.url);
        }
        if (!node || node->getType() != scene::ESNT_LIGHT) {
            os::Printer::log("failed to resolve light parameter", ELL_ERROR);
            continue;
        }
        const auto& light = static_cast<scene::CLightSceneNode*>(node)->getLight();
        if (link.material) link.material->setParameter(link.parameter, link.index, light);
        if (link.renderer) link.renderer->setParameter(link.parameter, link.index, light);
    }
    m_links.clear();
}

}  // namespace pravik::collada

namespace pravik::collada {

void CRootSceneNode::attachCameras()
{
    for (CCameraSceneNode* camera : m_cameras) {
        SCamera* record = camera->getRecord();
        const char* url = record ? m_database.str(record->target) : "";
        if (!url[0]) continue;
        camera->setTargetNode(getSceneNodeFromUID(url + 1));
    }
}

}  // namespace pravik::collada
