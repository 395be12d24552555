#pragma once
// The overridable factory through which a scene database turns records into engine objects.
// A host derives and overrides any step; the rest keep the defaults. One default instance,
// CColladaDatabase::DefaultFactory, serves every scene built without a factory. Nodes come
// back with the one reference their creator owns; meshes, renderers, materials and maps as
// counted handles.

#include "engine/collada/SColladaRecords.h"
#include "engine/core/pravikString.h"

#include <boost/intrusive_ptr.hpp>

#include <utility>
#include <vector>

namespace pravik::video {
class IVideoDriver;
class CMaterial;
class CMaterialRenderer;
class CMaterialVertexAttributeMap;
}  // namespace pravik::video
namespace pravik::scene {
class ISceneNode;
class ISceneNodeAnimator;
}  // namespace pravik::scene

namespace pravik::collada {

class CColladaDatabase;
class CRootSceneNode;
class CSceneNode;
class CMeshSceneNode;
class CCameraSceneNode;
class CCoronasSceneNode;
class CLightSceneNode;
class IMesh;

// A driver buffer made for scene-file data. Usage 4 keeps the data in client memory.
struct SBufferConfig {
    uint32_t usage = 4;
    bool bind = false;
    bool bindArgument = false;
};

// The effects merged into one renderer: (database on the effect's file, effect).
using SEffectList = std::vector<std::pair<CColladaDatabase, SEffect*>>;

class CColladaFactory {
public:
    virtual ~CColladaFactory();

    virtual scene::ISceneNodeAnimator* createAnimator(const CColladaDatabase& db, SLibraryAnimationClips* clips);
    virtual CLightSceneNode* createLight(const CColladaDatabase& db, SLight* light);
    virtual void getAdditionalEffects(const CColladaDatabase& db, SEffect* effect, SEffectList& list);
    virtual core::stringc getEffectName(const CColladaDatabase& db, const char* effectId, const char* fileName);
    virtual boost::intrusive_ptr<video::CMaterialRenderer> createMaterialRenderer(const CColladaDatabase& db,
                                                                                  video::IVideoDriver* driver,
                                                                                  SEffect* effect, CRootSceneNode* root);
    virtual boost::intrusive_ptr<video::CMaterialRenderer> createMaterialRenderer(
        const CColladaDatabase& db, video::IVideoDriver* driver, SEffect* effect, const char* effectId,
        const char* fileName, CRootSceneNode* root);
    virtual boost::intrusive_ptr<video::CMaterial> createMaterial(const CColladaDatabase& db, video::IVideoDriver* driver,
                                                                  SMaterial* material, CRootSceneNode* root);
    virtual boost::intrusive_ptr<video::CMaterialVertexAttributeMap> createMaterialVertexAttributeMap(
        const CColladaDatabase& db, SInstanceMaterial* binding, const boost::intrusive_ptr<IMesh>& mesh,
        const boost::intrusive_ptr<video::CMaterial>& material, unsigned bufferIndex, bool rebuild);
    virtual SBufferConfig getVertexBufferConfig(const CColladaDatabase& db, SGeometry* geometry);
    virtual SBufferConfig getIndexBufferConfig(const CColladaDatabase& db, SGeometry* geometry);
    virtual bool isSharingMeshBuffers(const CColladaDatabase& db, SGeometry* geometry);
    virtual bool isSharingSkinningBuffer(const CColladaDatabase& db, SController* controller);
    virtual bool isSharingMorphingBuffer(const CColladaDatabase& db, SController* controller);
    virtual boost::intrusive_ptr<IMesh> createGeometry(const CColladaDatabase& db, video::IVideoDriver* driver,
                                                       SGeometry* geometry);
    virtual boost::intrusive_ptr<IMesh> createMorph(const CColladaDatabase& db, video::IVideoDriver* driver,
                                                    SController* controller, CRootSceneNode* root);
    virtual CSceneNode* createNode(const CColladaDatabase& db, SNode* node);
    virtual CSceneNode* createBillboard(const CColladaDatabase& db, SNode* node);
    virtual CCameraSceneNode* createCameraNode(const CColladaDatabase& db, SCamera* camera);
    virtual scene::ISceneNode* createMeshNode(const CColladaDatabase& db, const boost::intrusive_ptr<IMesh>& mesh,
                                              void* userProperty);
    virtual scene::ISceneNode* createSkinNode(const CColladaDatabase& db, const boost::intrusive_ptr<IMesh>& mesh,
                                              void* userProperty);
    virtual scene::ISceneNode* createModularSkinNode(const CColladaDatabase& db,
                                                     const boost::intrusive_ptr<IMesh>& mesh, void* userProperty);
    virtual CRootSceneNode* createScene(const CColladaDatabase& db);
    virtual boost::intrusive_ptr<IMesh> createSkin(const CColladaDatabase& db, video::IVideoDriver* driver,
                                                   SController* controller, CRootSceneNode* root);
    virtual boost::intrusive_ptr<IMesh> createModularSkin(const CColladaDatabase& db, SInstance* instance,
                                                          CRootSceneNode* root);
    virtual CCoronasSceneNode* createCoronas(const CColladaDatabase& db, video::IVideoDriver* driver,
                                             SCoronas* coronas, CRootSceneNode* root);
    virtual scene::ISceneNode* createPravikNewParticleSystem(const CColladaDatabase& db, video::IVideoDriver* driver,
                                                             SPNPSEmitter* emitter, res::vector<res::String>* names,
                                                             CRootSceneNode* root);
    virtual scene::ISceneNode* createParticleSystem(const CColladaDatabase& db, video::IVideoDriver* driver,
                                                    SEmitter* emitter, res::vector<res::String>* names,
                                                    CRootSceneNode* root);
    virtual scene::ISceneNode* createParticleSystemGravityForce(const CColladaDatabase& db, SForce* force);
    virtual scene::ISceneNode* createParticleSystemWindForce(const CColladaDatabase& db, SForce* force);
    virtual scene::ISceneNode* createParticleSystemDeflectorForce(const CColladaDatabase& db, SForce* force);
    virtual scene::ISceneNode* getExternalLightSceneNode(const CColladaDatabase& db,
                                                         const boost::intrusive_ptr<video::CMaterial>& material,
                                                         unsigned short parameter, unsigned element, const char* url);
    virtual scene::ISceneNode* getExternalLightSceneNode(const CColladaDatabase& db,
                                                         const boost::intrusive_ptr<video::CMaterialRenderer>& renderer,
                                                         unsigned short parameter, unsigned element, const char* url);
};

}  // namespace pravik::collada
