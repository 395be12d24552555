#pragma once
// A handle on one loaded scene file and the factory that builds from it: record lookups by
// index (checked against the library) and by id (first match, case-sensitive), animation
// queries, default values, and the construct operations that turn records into scene roots,
// nodes, meshes, materials, renderers, images and cameras. A copy holds its own reference on
// the file; releasing the last one other than the cache's unloads the file while automatic
// unloading is on. Record trees are walked with a visited set, so a record listed twice or a
// cycle of child references builds nothing twice and never recurses without end.

#include "engine/collada/CResFile.h"
#include "engine/collada/SColladaRecords.h"
#include "engine/core/pravikString.h"

#include <boost/intrusive_ptr.hpp>

#include <span>
#include <unordered_set>

namespace pravik::io {
class IReadFile;
}
namespace pravik::video {
class IVideoDriver;
class CMaterial;
class CMaterialRenderer;
}  // namespace pravik::video
namespace pravik::scene {
class ISceneNode;
class ISceneNodeAnimator;
}  // namespace pravik::scene

namespace pravik::collada {

class CColladaFactory;
class CRootSceneNode;
class CSceneNode;
class CImage;
class IMesh;
class CCameraSceneNode;
class CCoronasSceneNode;
class CLightSceneNode;

// Library bits of find().
enum E_LIBRARY_MASK : unsigned {
    ELM_ANIMATIONS = 1,
    ELM_CLIPS = 2,
    ELM_IMAGES = 4,
    ELM_EFFECTS = 8,
    ELM_MATERIALS = 16,
    ELM_GEOMETRIES = 32,
    ELM_CONTROLLERS = 64,
    ELM_VISUAL_SCENES = 128,
};

class CColladaDatabase {
public:
    static CColladaFactory DefaultFactory;

    CColladaDatabase() = default;
    explicit CColladaDatabase(const char* path, CColladaFactory* factory = nullptr);
    CColladaDatabase(io::IReadFile* file, bool keepInMemory, CColladaFactory* factory = nullptr);
    CColladaDatabase(io::IReadFile* file, CColladaFactory* factory);
    CColladaDatabase(const CColladaDatabase* other, const char* path, CColladaFactory* factory = nullptr);
    // On a file handed in (takes a reference only when its count is not 0).
    CColladaDatabase(CResFile* file, CColladaFactory* factory);
    CColladaDatabase(const CColladaDatabase& other);
    CColladaDatabase& operator=(const CColladaDatabase& other);
    ~CColladaDatabase() { release(); }

    void release();
    bool isValid() const { return m_file != nullptr; }
    CResFile* getResFile() const { return m_file; }
    CColladaFactory* getFactory() const;  // DefaultFactory when none was given
    SCollada* getRoot() const { return m_file ? m_file->getRoot() : nullptr; }
    const char* getPath() const;  // null without a file
    const char* str(res::String s) const { return m_file ? m_file->cstr(s) : ""; }

    // Records by index (none out of range) and by id (none when absent).
    SAnimation* getAnimation(int i) const;
    SAnimationClip* getAnimationClip(int i) const;
    SCamera* getCamera(int i) const;
    SLight* getLight(int i) const;
    SImage* getImage(int i) const;
    SEffect* getEffect(int i) const;
    SMaterial* getMaterial(int i) const;
    SGeometry* getGeometry(int i) const;
    SController* getController(int i) const;
    SForce* getForce(int i) const;
    SEmitter* getEmitter(int i) const;
    SPNPSEmitter* getPNPSEmitter(int i) const;
    SCoronas* getCoronas(int i) const;
    SVisualScene* getVisualScene(int i) const;
    SAnimation* getAnimation(const char* id) const;
    SAnimationClip* getAnimationClip(const char* id) const;
    SCamera* getCamera(const char* id) const;
    SLight* getLight(const char* id) const;
    SImage* getImage(const char* id) const;
    SEffect* getEffect(const char* id) const;
    SMaterial* getMaterial(const char* id) const;
    SGeometry* getGeometry(const char* id) const;
    SController* getController(const char* id) const;
    SForce* getForce(const char* id) const;
    SEmitter* getEmitter(const char* id) const;
    SPNPSEmitter* getPNPSEmitter(const char* id) const;
    SCoronas* getCoronas(const char* id) const;
    SVisualScene* getVisualScene(const char* id) const;
    // A material of another file (relative to this one); out keeps that file while in use.
    SMaterial* getMaterial(const char* file, const char* id, CColladaDatabase& out) const;

    const char* getVersion() const;  // null without a file
    std::span<SInstanceEntry> getScene() const;
    SLibraryAnimationClips* getAnimationClipLibrary() const;
    SNode* getNode(const char* id) const;                 // pre-order through visual scene 0
    SNode* getNode(const char* id, SNode& below) const;
    void* find(const char* id, unsigned& mask) const;     // mask becomes the hit's library bit
    SAnimationSegment* getAnimationSegment(int frame) const;
    SAnimation* getAnimation(const char* target, uint32_t type, unsigned char subIndex) const;
    SAnimation* getAnimation(const char* target, uint32_t type, const char* parameter) const;
    SAnimation* getBlendableAnimation(const SChannel* channel) const;
    SAnimation* getBlendableAnimation(const SAnimation* animation) const;
    int getDefaultValue(const char* target, uint32_t type, void** out, void* extra) const;
    int getDefaultValue(const SChannel* channel, void** out) const;
    int getDefaultValue(const SAnimation* animation, void** out) const;
    void linkInstanceMaterial(SInstanceMaterial* binding) const;  // the file's map side table keeps it
    scene::ISceneNode* getExternalLightSceneNode(const boost::intrusive_ptr<video::CMaterial>& material,
                                                 unsigned short parameter, unsigned index, const char* url) const;
    scene::ISceneNode* getExternalLightSceneNode(const boost::intrusive_ptr<video::CMaterialRenderer>& renderer,
                                                 unsigned short parameter, unsigned index, const char* url) const;

    // Building; a result of none means nothing was built. Nodes come with one reference.
    CRootSceneNode* constructScene(video::IVideoDriver* driver, bool animator = false) const;
    static CRootSceneNode* constructScene(video::IVideoDriver* driver, const char* path, CColladaFactory* factory);
    static CRootSceneNode* constructScene(video::IVideoDriver* driver, const char* path, bool animator,
                                          CColladaFactory* factory);
    static CRootSceneNode* constructScene(video::IVideoDriver* driver, io::IReadFile* file, bool animator,
                                          bool keepInMemory, CColladaFactory* factory);
    static CRootSceneNode* constructScene(video::IVideoDriver* driver, io::IReadFile* file, bool animator,
                                          CColladaFactory* factory);
    CRootSceneNode* constructVisualScene(video::IVideoDriver* driver, SVisualScene* scene, CRootSceneNode* root) const;
    CRootSceneNode* constructVisualScene(video::IVideoDriver* driver, int index, CRootSceneNode* root) const;
    CRootSceneNode* constructVisualScene(video::IVideoDriver* driver, const char* id, CRootSceneNode* root) const;
    scene::ISceneNode* constructNode(video::IVideoDriver* driver, SNode* node, CRootSceneNode* root) const;
    CRootSceneNode* constructNode(video::IVideoDriver* driver, SNode* node) const;
    CRootSceneNode* constructNode(video::IVideoDriver* driver, const char* id) const;
    static CRootSceneNode* constructNode(video::IVideoDriver* driver, io::IReadFile* file, const char* id,
                                         bool keepInMemory, CColladaFactory* factory);
    static CRootSceneNode* constructNode(video::IVideoDriver* driver, io::IReadFile* file, const char* id,
                                         CColladaFactory* factory);
    static CRootSceneNode* constructNode(video::IVideoDriver* driver, const char* path, const char* id,
                                         CColladaFactory* factory);
    scene::ISceneNodeAnimator* constructAnimator() const;
    static scene::ISceneNodeAnimator* constructAnimator(io::IReadFile* file, bool keepInMemory, CColladaFactory* factory);
    static scene::ISceneNodeAnimator* constructAnimator(io::IReadFile* file, CColladaFactory* factory);
    static scene::ISceneNodeAnimator* constructAnimator(const char* path, CColladaFactory* factory);

    boost::intrusive_ptr<IMesh> constructGeometry(video::IVideoDriver* driver, SGeometry* geometry) const;
    boost::intrusive_ptr<IMesh> constructGeometry(video::IVideoDriver* driver, int index) const;
    boost::intrusive_ptr<IMesh> constructGeometry(video::IVideoDriver* driver, const char* id) const;
    boost::intrusive_ptr<IMesh> constructGeometry(video::IVideoDriver* driver, const char* file, const char* id) const;
    boost::intrusive_ptr<IMesh> constructGeometry(video::IVideoDriver* driver, SInstance* instance,
                                                  CRootSceneNode* root) const;
    boost::intrusive_ptr<IMesh> constructController(video::IVideoDriver* driver, SController* controller,
                                                    CRootSceneNode* root) const;
    boost::intrusive_ptr<IMesh> constructController(video::IVideoDriver* driver, SInstance* instance,
                                                    CRootSceneNode* root, bool) const;
    boost::intrusive_ptr<video::CMaterial> constructMaterial(video::IVideoDriver* driver, SMaterial* material,
                                                             CRootSceneNode* root) const;
    boost::intrusive_ptr<video::CMaterial> constructMaterial(video::IVideoDriver* driver, int index,
                                                             CRootSceneNode* root) const;
    boost::intrusive_ptr<video::CMaterial> constructMaterial(video::IVideoDriver* driver, const char* id,
                                                             CRootSceneNode* root) const;
    boost::intrusive_ptr<video::CMaterialRenderer> constructEffect(video::IVideoDriver* driver, SEffect* effect,
                                                                   CRootSceneNode* root) const;
    boost::intrusive_ptr<video::CMaterialRenderer> constructEffect(video::IVideoDriver* driver, int index,
                                                                   CRootSceneNode* root) const;
    boost::intrusive_ptr<video::CMaterialRenderer> constructEffect(video::IVideoDriver* driver, const char* id,
                                                                   CRootSceneNode* root) const;
    boost::intrusive_ptr<CImage> constructImage(SImage* image, CRootSceneNode* root) const;
    boost::intrusive_ptr<CImage> constructImage(const char* id, CRootSceneNode* root) const;
    boost::intrusive_ptr<CImage> constructImage(int index, CRootSceneNode* root) const;
    CCameraSceneNode* constructCamera(SCamera* camera, CRootSceneNode* root) const;
    CCameraSceneNode* constructCamera(int index, CRootSceneNode* root) const;
    CCameraSceneNode* constructCamera(const char* id, CRootSceneNode* root) const;
    CLightSceneNode* constructLight(SLight*, CRootSceneNode*) const { return nullptr; }  // builds no light
    CCoronasSceneNode* constructCoronas(SCoronas* coronas, video::IVideoDriver* driver, CRootSceneNode* root) const;
    CCoronasSceneNode* constructCoronas(const char* id, video::IVideoDriver* driver, CRootSceneNode* root) const;
    CCoronasSceneNode* constructCoronas(SInstance* instance, video::IVideoDriver* driver, CRootSceneNode* root) const;
    scene::ISceneNode* constructForce(SForce* force, CRootSceneNode* root) const;

    // The material record a binding names (another file's through out), or none.
    SMaterial* bindingMaterial(const SInstanceMaterial& binding, CColladaDatabase& out) const;

    // Node trees deeper than this are cut there: the walks recurse, and a file's chain of
    // children must not run the stack out.
    static constexpr int kMaxNodeDepth = 256;

private:
    scene::ISceneNode* buildNode(video::IVideoDriver* driver, SNode* node, CRootSceneNode* root,
                                 std::unordered_set<uint32_t>& visited, int depth = 0) const;
    SNode* searchNode(const char* id, SNode& from, std::unordered_set<uint32_t>& visited, int depth = 0) const;

    CResFile* m_file = nullptr;
    CColladaFactory* m_factory = nullptr;
};

}  // namespace pravik::collada
