// The factory's meshes, mesh nodes, cameras and lights. Billboards are plain scene-file nodes
// and coronas are not built yet.

#include "engine/collada/CColladaFactory.h"

#include "engine/collada/CCameraSceneNode.h"
#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CLightSceneNode.h"
#include "engine/collada/CMesh.h"
#include "engine/collada/CMeshSceneNode.h"
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

CSceneNode* CColladaFactory::createBillboard(const CColladaDatabase& db, SNode* node) { return new CSceneNode(db, node); }

CCameraSceneNode* CColladaFactory::createCameraNode(const CColladaDatabase& db, SCamera* camera)
{
    return new CCameraSceneNode(db, camera);
}

scene::ISceneNode* CColladaFactory::createMeshNode(const CColladaDatabase&, const boost::intrusive_ptr<IMesh>& mesh, void*)
{
    return new CMeshSceneNode(mesh, nullptr);
}

CCoronasSceneNode* CColladaFactory::createCoronas(const CColladaDatabase&, video::IVideoDriver*, SCoronas*,
                                                  CRootSceneNode*)
{
    return nullptr;
}

namespace detail {
scene::ISceneNode* cameraNode(CCameraSceneNode* node) { return node; }
scene::ISceneNode* coronasNode(CCoronasSceneNode*) { return nullptr; }
}  // namespace detail

CCoronasSceneNode* CColladaDatabase::constructCoronas(SInstance*, video::IVideoDriver*, CRootSceneNode*) const
{
    return nullptr;
}

}  // namespace pravik::collada
