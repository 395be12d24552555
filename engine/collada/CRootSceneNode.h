#pragma once
// The node at the top of every scene built from a scene file ("daer"): the built node trees
// are its children, and it is the registry of the scene: one material per material record
// (shared by every mesh of the scene), the images, lights and cameras by id, and the links
// from material parameters to light nodes, resolved once the build is done.

#include "engine/collada/CSceneNode.h"

#include <boost/intrusive_ptr.hpp>

#include <map>
#include <vector>

namespace pravik::video {
class IVideoDriver;
class CMaterial;
class CMaterialRenderer;
class ITexture;
}  // namespace pravik::video

namespace pravik::scene {
class CLightSceneNode;
}

namespace pravik::collada {

class CImage;
class CCameraSceneNode;
class CLightSceneNode;

// What animation writes into a morphing mesh: the weight of each target (target 0 is the base).
class IMorphTargetWeights {
public:
    virtual ~IMorphTargetWeights() = default;
    virtual const char* getUID() const = 0;  // the id of the controller it was built from
    virtual float* getTargetWeight(int target) = 0;  // null past the last target
};

// What animation binds of a particle system node: its parameter storage by name, and whether
// an over-life curve drives a scale (which animation then leaves alone).
class IParticleSystemParameters {
public:
    enum E_SCALE { ES_SIZE, ES_SPEED, ES_SPIN, ES_MOTION_RANDOM };
    virtual ~IParticleSystemParameters() = default;
    virtual const char* getUID() const = 0;
    virtual void* getParticleSystemParameter(const char* name) = 0;  // null when it has none
    virtual bool hasOverLifeCurve(E_SCALE scale) const = 0;
};

class CRootSceneNode : public CSceneNode {
public:
    explicit CRootSceneNode(const CColladaDatabase& db);
    ~CRootSceneNode() override;

    void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options = nullptr) const override;
    void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options = nullptr) override;
    bool onRegisterSceneNode() override { return true; }  // draws nothing itself
    void onAnimate(unsigned timeMs) override;
    const char* getUID() const override;  // the file's path, "" without a file
    boost::intrusive_ptr<video::CMaterial> getMaterial(unsigned i) const override;
    unsigned getMaterialCount() const override { return unsigned(m_materials.size()); }
    scene::E_SCENE_NODE_TYPE getType() const override { return ESNT_DAE_ROOT; }

    boost::intrusive_ptr<video::CMaterial> hasMaterial(const char* id) const;
    boost::intrusive_ptr<video::CMaterial> addMaterial(SMaterial* record, video::IVideoDriver* driver);
    boost::intrusive_ptr<video::CMaterial> addMaterial(const char* id, video::IVideoDriver* driver);
    boost::intrusive_ptr<video::CMaterial> getMaterial(const char* id, video::IVideoDriver* driver);
    boost::intrusive_ptr<video::CMaterial> getMaterial(SMaterial* record, video::IVideoDriver* driver);
    void removeMaterial(const boost::intrusive_ptr<video::CMaterial>&) {}
    boost::intrusive_ptr<CImage> getImage(const char* id);

    void addLight(scene::CLightSceneNode* light) { m_lights.push_back(light); }
    scene::CLightSceneNode* getLight(const char* id) const;  // by uid, case-sensitive
    // Not counted: a mesh or node removes itself when it goes.
    void addMorphingMesh(IMorphTargetWeights* mesh) { m_morphingMeshes.push_back(mesh); }
    void removeMorphingMesh(IMorphTargetWeights* mesh);
    IMorphTargetWeights* getMorphingMesh(const char* id) const;  // by uid, case-sensitive
    void addParticleSystem(IParticleSystemParameters* system) { m_particleSystems.push_back(system); }
    void removeParticleSystem(IParticleSystemParameters* system);
    IParticleSystemParameters* getParticleSystem(const char* id) const;  // by uid, ignoring case
    void addCamera(CCameraSceneNode* camera) { m_cameras.push_back(camera); }
    const std::vector<CCameraSceneNode*>& getCameras() const { return m_cameras; }
    void attachCameras();

    void addIFLAnimation(SAnimation* animation, const boost::intrusive_ptr<video::CMaterial>& material,
                         unsigned short parameter);
    void setIFLAnimationValue(SAnimation* animation, const boost::intrusive_ptr<video::ITexture>& texture);

    void addURLToResolve(const boost::intrusive_ptr<video::CMaterial>& material, unsigned short parameter,
                         unsigned index, const char* url);
    void addURLToResolve(const boost::intrusive_ptr<video::CMaterialRenderer>& renderer, unsigned short parameter,
                         unsigned index, const char* url);
    size_t getURLsToResolveCount() const { return m_links.size(); }

    void onPostLoad();
    void resolveURLs();
    bool isPostLoaded() const { return m_postLoaded; }

private:
    struct SMaterialInfo {
        SMaterial* record;
        boost::intrusive_ptr<video::CMaterial> material;
    };
    struct SParameterInfo {
        boost::intrusive_ptr<video::CMaterial> material;
        unsigned short parameter;
    };
    struct SURLLink {
        int kind;  // 0 material, 1 material renderer
        const char* url;
        video::CMaterial* material;
        video::CMaterialRenderer* renderer;
        unsigned short parameter;
        unsigned index;
    };

    std::vector<CCameraSceneNode*> m_cameras;
    std::vector<SMaterialInfo> m_materials;
    std::vector<boost::intrusive_ptr<CImage>> m_images;
    std::vector<scene::CLightSceneNode*> m_lights;
    std::vector<IMorphTargetWeights*> m_morphingMeshes;
    std::vector<IParticleSystemParameters*> m_particleSystems;
    std::map<SAnimation*, std::vector<SParameterInfo>> m_iflAnimations;
    bool m_postLoaded = false;
    std::vector<SURLLink> m_links;
};

}  // namespace pravik::collada
