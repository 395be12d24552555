#include "engine/collada/CColladaFactory.h"
#include "engine/collada/CSceneNodeAnimator.h"

#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CResFileManager.h"
#include "engine/collada/CRootSceneNode.h"
#include "engine/collada/CSceneNode.h"
#include "engine/collada/IMesh.h"
#include "engine/scene/CSceneManager.h"
#include "engine/scene/ISceneNodeAnimator.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/CVertexAttributeMap.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "engine/video/material/CVertexAttributeMap.h"

#include <cstring>

namespace pravik::collada {

CColladaFactory::~CColladaFactory() = default;

// Animators come with the animation runtime.
scene::ISceneNodeAnimator* CColladaFactory::createAnimator(const CColladaDatabase& db, SLibraryAnimationClips*)
{
    boost::intrusive_ptr<CAnimationFileData> data = CAnimationFileData::get(db.getResFile());
    return data ? new CSceneNodeAnimator(data) : nullptr;
}

void CColladaFactory::getAdditionalEffects(const CColladaDatabase&, SEffect*, SEffectList&) {}

core::stringc CColladaFactory::getEffectName(const CColladaDatabase&, const char* effectId, const char*)
{
    return core::stringc(effectId ? effectId : "");
}

boost::intrusive_ptr<video::CMaterialRenderer> CColladaFactory::createMaterialRenderer(const CColladaDatabase&,
                                                                                       video::IVideoDriver*, SEffect*,
                                                                                       CRootSceneNode*)
{
    return nullptr;
}

SBufferConfig CColladaFactory::getVertexBufferConfig(const CColladaDatabase&, SGeometry*) { return {}; }
SBufferConfig CColladaFactory::getIndexBufferConfig(const CColladaDatabase&, SGeometry*) { return {}; }
bool CColladaFactory::isSharingMeshBuffers(const CColladaDatabase&, SGeometry*) { return true; }
bool CColladaFactory::isSharingSkinningBuffer(const CColladaDatabase&, SController*) { return true; }
bool CColladaFactory::isSharingMorphingBuffer(const CColladaDatabase&, SController*) { return true; }

// Morphing, skinned and modular meshes, particle systems and forces come with their own
// wave of the engine: until then they build nothing.
boost::intrusive_ptr<IMesh> CColladaFactory::createMorph(const CColladaDatabase&, video::IVideoDriver*, SController*,
                                                         CRootSceneNode*)
{
    return nullptr;
}
boost::intrusive_ptr<IMesh> CColladaFactory::createSkin(const CColladaDatabase&, video::IVideoDriver*, SController*,
                                                        CRootSceneNode*)
{
    return nullptr;
}
boost::intrusive_ptr<IMesh> CColladaFactory::createModularSkin(const CColladaDatabase&, SInstance*, CRootSceneNode*)
{
    return nullptr;
}
scene::ISceneNode* CColladaFactory::createSkinNode(const CColladaDatabase&, const boost::intrusive_ptr<IMesh>&, void*)
{
    return nullptr;
}
scene::ISceneNode* CColladaFactory::createModularSkinNode(const CColladaDatabase&, const boost::intrusive_ptr<IMesh>&,
                                                          void*)
{
    return nullptr;
}
scene::ISceneNode* CColladaFactory::createPravikNewParticleSystem(const CColladaDatabase&, video::IVideoDriver*,
                                                                  SPNPSEmitter*, res::vector<res::String>*,
                                                                  CRootSceneNode*)
{
    return nullptr;
}
scene::ISceneNode* CColladaFactory::createParticleSystem(const CColladaDatabase&, video::IVideoDriver*, SEmitter*,
                                                         res::vector<res::String>*, CRootSceneNode*)
{
    return nullptr;
}
scene::ISceneNode* CColladaFactory::createParticleSystemGravityForce(const CColladaDatabase&, SForce*) { return nullptr; }
scene::ISceneNode* CColladaFactory::createParticleSystemWindForce(const CColladaDatabase&, SForce*) { return nullptr; }
scene::ISceneNode* CColladaFactory::createParticleSystemDeflectorForce(const CColladaDatabase&, SForce*) { return nullptr; }

CSceneNode* CColladaFactory::createNode(const CColladaDatabase& db, SNode* node) { return new CSceneNode(db, node); }

CRootSceneNode* CColladaFactory::createScene(const CColladaDatabase& db) { return new CRootSceneNode(db); }

namespace {

scene::ISceneNode* findLight(const char* url)
{
    CResFileManager* manager = CResFileManager::Inst;
    if (!manager || !manager->getSceneManager() || !url) return nullptr;
    const char* hash = std::strchr(url, '#');
    const char* uid = hash ? hash + 1 : url;
    scene::ISceneNode* node = manager->getSceneManager()->getSceneNodeFromUID(uid);
    return node && node->getType() == scene::ESNT_LIGHT ? node : nullptr;
}

}  // namespace

scene::ISceneNode* CColladaFactory::getExternalLightSceneNode(const CColladaDatabase&,
                                                              const boost::intrusive_ptr<video::CMaterial>&,
                                                              unsigned short, unsigned, const char* url)
{
    return findLight(url);
}

scene::ISceneNode* CColladaFactory::getExternalLightSceneNode(const CColladaDatabase&,
                                                              const boost::intrusive_ptr<video::CMaterialRenderer>&,
                                                              unsigned short, unsigned, const char* url)
{
    return findLight(url);
}

}  // namespace pravik::collada
