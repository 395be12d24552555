#include "engine/collada/CColladaFactory.h"

#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CSceneNode.h"
#include "engine/collada/IMesh.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/CVertexAttributeMap.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/CVertexAttributeMap.h"

// Materials, meshes, cameras, lights and coronas from scene files are not built yet: these
// steps answer none (a billboard is a plain node).
namespace pravik::collada {

CLightSceneNode* CColladaFactory::createLight(const CColladaDatabase&, SLight*) { return nullptr; }

boost::intrusive_ptr<IMesh> CColladaFactory::createGeometry(const CColladaDatabase&, video::IVideoDriver*, SGeometry*)
{
    return nullptr;
}

CSceneNode* CColladaFactory::createBillboard(const CColladaDatabase& db, SNode* node) { return new CSceneNode(db, node); }

CCameraSceneNode* CColladaFactory::createCameraNode(const CColladaDatabase&, SCamera*) { return nullptr; }

scene::ISceneNode* CColladaFactory::createMeshNode(const CColladaDatabase&, const boost::intrusive_ptr<IMesh>&, void*)
{
    return nullptr;
}

CCoronasSceneNode* CColladaFactory::createCoronas(const CColladaDatabase&, video::IVideoDriver*, SCoronas*,
                                                  CRootSceneNode*)
{
    return nullptr;
}

}  // namespace pravik::collada

namespace pravik::collada {

namespace detail {
scene::ISceneNode* cameraNode(CCameraSceneNode*) { return nullptr; }
scene::ISceneNode* coronasNode(CCoronasSceneNode*) { return nullptr; }
}  // namespace detail

CCoronasSceneNode* CColladaDatabase::constructCoronas(SInstance*, video::IVideoDriver*, CRootSceneNode*) const
{
    return nullptr;
}

}  // namespace pravik::collada
