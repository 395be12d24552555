// The factory's meshes, mesh nodes, cameras, lights, billboards and coronas.

#include "engine/collada/CColladaFactory.h"

#include "engine/collada/CBillboardSceneNode.h"
#include "engine/collada/CCameraSceneNode.h"
#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CCoronasSceneNode.h"
#include "engine/collada/CLightSceneNode.h"
#include "engine/collada/CMesh.h"
#include "engine/collada/CMeshSceneNode.h"
#include "engine/collada/CRootSceneNode.h"
#include "engine/collada/CSceneNode.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/CVertexAttributeMap.h"

namespace pravik::collada {

CLightSceneNode* CColladaFactory::createLight(const CColladaDatabase& db, SLight* light)
{
    return new CLightSceneNode(db, light);
}

boost::intrusive_ptr<IMesh> CColladaFactory::createGeometry(const CColladaDatabase& db, video::IVideoDriver* driver,
                                                            SGeometry* geometry)
{
    if (!geometry) return nullptr;
    const SBufferConfig vertices = getVertexBufferConfig(db, geometry);
    const SBufferConfig indices = getIndexBufferConfig(db, geometry);
    const bool share = isSharingMeshBuffers(db, geometry);
    boost::intrusive_ptr<CMesh> mesh(new CMesh(db, driver, *geometry, vertices, indices, share));
    return mesh->isValid() ? mesh : nullptr;
}

CSceneNode* CColladaFactory::createBillboard(const CColladaDatabase& db, SNode* node)
{
    return new CBillboardSceneNode(db, node);
}

CCameraSceneNode* CColladaFactory::createCameraNode(const CColladaDatabase& db, SCamera* camera)
{
    return new CCameraSceneNode(db, camera);
}

scene::ISceneNode* CColladaFactory::createMeshNode(const CColladaDatabase&, const boost::intrusive_ptr<IMesh>& mesh, void*)
{
    return new CMeshSceneNode(mesh, nullptr);
}

CCoronasSceneNode* CColladaFactory::createCoronas(const CColladaDatabase& db, video::IVideoDriver* driver,
                                                  SCoronas* coronas, CRootSceneNode* root)
{
    return new CCoronasSceneNode(db, driver, coronas, root);
}

namespace detail {
scene::ISceneNode* cameraNode(CCameraSceneNode* node) { return node; }
scene::ISceneNode* coronasNode(CCoronasSceneNode* node) { return node; }
}  // namespace detail

CCoronasSceneNode* CColladaDatabase::constructCoronas(SInstance* instance, video::IVideoDriver* driver,
                                                      CRootSceneNode* root) const
{
    if (!instance || !m_file) return nullptr;
    const char* url = m_file->str(instance->url);
    CCoronasSceneNode* node = constructCoronas(url && url[0] ? url + 1 : "", driver, root);
    if (!node) return nullptr;
    for (SInstanceMaterial& binding : m_file->get(instance->materials)) {
        CColladaDatabase external;
        SMaterial* record = bindingMaterial(binding, external);
        node->setMaterial(root && record ? root->getMaterial(record, driver) : nullptr);  // the last binding wins
    }
    return node;
}

}  // namespace pravik::collada
