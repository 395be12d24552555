#pragma once
// The scene: a root under which every node hangs, the active camera, the ambient light and
// the frame path. update() animates the tree; drawAll() sets up the camera, walks the visible,
// unculled nodes (they file draw entries into render passes), sorts the passes, renders them
// in the order camera, lights (nearest first, up to the driver's limit), sky box, solid (by
// layer, then material), render-data sorted, transparent (by layer, far to near), and then
// removes the nodes queued for deletion. Draw lists keep their storage between frames.
// Nodes and animators are made by type name through factories, newest node factory first.

#include "engine/IReferenceCounted.h"
#include "engine/core/pravikString.h"
#include "engine/gui/IGUIEnvironment.h"
#include "engine/io/CAttributes.h"
#include "engine/io/IFileSystem.h"
#include "engine/io/IXMLReader.h"
#include "engine/scene/ESceneNodeTypes.h"
#include "engine/scene/ISceneNode.h"
#include "engine/video/SColor.h"

#include <boost/intrusive_ptr.hpp>

#include <cstdint>
#include <utility>
#include <vector>

namespace pravik {
struct SEvent;
}
namespace pravik::gui {
class ICursorControl;
}  // namespace pravik::gui
namespace pravik::io {
class IFileSystem;
class IReadFile;
class IWriteFile;
class IXMLWriter;
}  // namespace pravik::io
namespace pravik::video {
class CBatchDriver;
class CMaterial;
class IVideoDriver;
}  // namespace pravik::video

namespace pravik::scene {

class CBatchSceneNode;
class CSceneManagerRootNode;
class ICameraSceneNode;
class ISegmentCompileCallback;
class ISplitSegmentChoiceCallback;
struct SViewFrustum;
class IAnimatedMesh;
class IMeshCache;
class IMeshLoader;
class ISceneCollisionManager;
class ISceneNodeAnimatorFactory;
class ISceneNodeFactory;
class ISceneUserDataSerializer;

enum E_SCENE_NODE_RENDER_PASS : unsigned {
    ESNRP_CAMERA = 0,
    ESNRP_LIGHT = 1,
    ESNRP_SKY_BOX = 2,
    ESNRP_AUTOMATIC = 3,
    ESNRP_SOLID = 4,
    ESNRP_EXTRA_DATA_SORTED = 5,
    ESNRP_DATA_SORTED = 6,
    ESNRP_SHADOW_CASTER = 7,
    ESNRP_TRANSPARENT = 8,
    ESNRP_NONE = 9,
};

// The layer a registration passes to take the node's own rendering layer.
constexpr int kNodeRenderingLayer = 0x7FFFFFFF;

class CSceneManager : public IReferenceCounted {
public:
    struct SUnsortedNodeEntry {
        ISceneNode* Node = nullptr;
        void* RenderData = nullptr;
    };
    using SRenderDataSortNodeEntry = SUnsortedNodeEntry;
    struct SDistanceNodeEntry {
        ISceneNode* Node = nullptr;
        void* RenderData = nullptr;
        double Distance = 0;
    };
    struct SDefaultNodeEntry {
        ISceneNode* Node = nullptr;
        void* RenderData = nullptr;
        boost::intrusive_ptr<video::CMaterial> Material;
        int Layer = 0;
    };
    struct STransparentNodeEntry {
        ISceneNode* Node = nullptr;
        void* RenderData = nullptr;
        boost::intrusive_ptr<video::CMaterial> Material;
        int Layer = 0;
        float Distance = 0;
    };
    struct SRenderedEntry {
        ISceneNode* Node = nullptr;
        void* RenderData = nullptr;
        int Layer = 0;
    };

    // Count 1. The batch driver gets the two byte limits (the device's creation parameters).
    CSceneManager(video::IVideoDriver* driver, const boost::intrusive_ptr<io::IFileSystem>& fileSystem,
                  gui::ICursorControl* cursorControl = nullptr, IMeshCache* meshCache = nullptr,
                  gui::IGUIEnvironment* guiEnvironment = nullptr, unsigned batchVertexBytes = 5242880,
                  unsigned batchIndexBytes = 655360);
    ~CSceneManager() override;
    CSceneManager(const CSceneManager&) = delete;
    CSceneManager& operator=(const CSceneManager&) = delete;

    virtual void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options = nullptr) const;
    virtual void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options = nullptr);

    // Lookups: pre-order from start (the root when null); null when nothing matches.
    virtual ISceneNode* getSceneNodeFromId(int id, ISceneNode* start = nullptr);
    virtual ISceneNode* getSceneNodeFromUID(const char* uid, ISceneNode* start = nullptr);
    virtual ISceneNode* getSceneNodeFromName(const char* name, ISceneNode* start = nullptr);  // ignoring ASCII case
    virtual ISceneNode* getSceneNodeFromType(E_SCENE_NODE_TYPE type, ISceneNode* start = nullptr);
    virtual void getSceneNodesFromType(E_SCENE_NODE_TYPE type, std::vector<ISceneNode*>& out, ISceneNode* start = nullptr);

    // Files one draw entry; false for a pass above 8 and for a camera already in pass 0.
    virtual bool registerNodeForRendering(ISceneNode* node, const boost::intrusive_ptr<video::CMaterial>& material,
                                          void* renderData, E_SCENE_NODE_RENDER_PASS pass,
                                          const core::vector3d<float>* position = nullptr,
                                          int layer = kNodeRenderingLayer);
    virtual void registerSceneNodes(ISceneNode* start);
    virtual void registerSceneNodes(const std::vector<ISceneNode*>& starts);
    // Compiles the static nodes under start into the batch node's mesh (a new node with id -1,
    // the caller's reference, when none is given) by drawing them through the batch driver;
    // large draws split into clusters of about clusterSize vertex bytes (0: whole) or by grid
    // cells of cellSize. The batch node, set up.
    virtual CBatchSceneNode* compile(ISceneNode* start, CBatchSceneNode* batchNode, bool setupFlag,
                                     ISegmentCompileCallback* userCallback, ISplitSegmentChoiceCallback* splitCallback,
                                     unsigned clusterSize);
    virtual CBatchSceneNode* compile(ISceneNode* start, CBatchSceneNode* batchNode, bool setupFlag,
                                     ISegmentCompileCallback* userCallback, ISplitSegmentChoiceCallback* splitCallback,
                                     const core::vector3d<float>& cellSize);
    virtual CBatchSceneNode* compile(const std::vector<ISceneNode*>& starts, CBatchSceneNode* batchNode, bool setupFlag,
                                     ISegmentCompileCallback* userCallback, ISplitSegmentChoiceCallback* splitCallback,
                                     unsigned clusterSize);
    virtual CBatchSceneNode* compile(const std::vector<ISceneNode*>& starts, CBatchSceneNode* batchNode, bool setupFlag,
                                     ISegmentCompileCallback* userCallback, ISplitSegmentChoiceCallback* splitCallback,
                                     const core::vector3d<float>& cellSize);
    virtual void registerSceneNodesCompile(ISceneNode* start);
    virtual void registerSceneNodesCompile(const std::vector<ISceneNode*>& starts);
    virtual void drawAll(const std::vector<ISceneNode*>& starts);
    virtual void drawAll(ISceneNode* start = nullptr);
    virtual void drawInit(video::IVideoDriver* driver);
    virtual void setupCamera();
    virtual void renderLists(video::IVideoDriver* driver);
    virtual void drawShadowReceivers() {}
    virtual void update(float elapsedMs, bool timeOnly = false);  // -123456 takes the engine timer's time
    virtual bool postEventFromUser(const SEvent& event);
    virtual void clear();
    virtual ISceneNode* addSceneNode(const char* typeName, ISceneNode* parent = nullptr);
    virtual CSceneManager* createNewSceneManager(bool cloneContent = false);
    virtual bool saveScene(const char* filename, ISceneUserDataSerializer* serializer = nullptr);
    virtual bool saveScene(io::IWriteFile* file, ISceneUserDataSerializer* serializer = nullptr);
    virtual bool loadScene(const char* filename, ISceneUserDataSerializer* serializer = nullptr);
    virtual bool loadScene(io::IReadFile* file, ISceneUserDataSerializer* serializer = nullptr);

    bool isCulled(const ISceneNode* node) const;
    bool isCulled(const core::aabbox3d<float>& worldBox, E_CULLING_TYPE type) const;
    ISceneNode* getCurrentRenderedNode(void** renderData = nullptr, int* layer = nullptr) const;
    ISceneNode* getNextRenderedNode(void** renderData = nullptr, int* layer = nullptr) const;
    E_SCENE_NODE_RENDER_PASS setSceneNodeRenderPass(E_SCENE_NODE_RENDER_PASS pass);
    E_SCENE_NODE_RENDER_PASS getSceneNodeRenderPass() const { return CurrentRenderPass; }
    bool isCompiling() const { return Compiling; }
    void setCompiling(bool on) { Compiling = on; }
    bool isCullingEnabled() const { return CullingEnabled; }
    void setCullingEnabled(bool on) { CullingEnabled = on; }

    video::IVideoDriver* getVideoDriver() const { return CurrentDriver; }
    video::IVideoDriver* getOwnVideoDriver() const { return Driver; }
    video::CBatchDriver* getBatchDriver() const { return BatchDriver; }
    const boost::intrusive_ptr<io::IFileSystem>& getFileSystem() const { return FileSystem; }
    gui::ICursorControl* getCursorControl() const { return CursorControl; }
    ISceneCollisionManager* getSceneCollisionManager() const { return CollisionManager; }
    IMeshCache* getMeshCache() const { return MeshCache; }
    ISceneNode* getRootSceneNode() const;
    void setActiveCamera(ICameraSceneNode* camera);
    ICameraSceneNode* getActiveCamera() const { return ActiveCamera; }
    const core::vector3d<float>& getCameraWorldPosition() const { return CameraWorldPosition; }
    void setAmbientLight(const video::SColorf& color) { AmbientLight = color; }
    const video::SColorf& getAmbientLight() const { return AmbientLight; }
    void setShadowColor(video::SColor color);
    video::SColor getShadowColor() const { return ShadowColor[0]; }
    void notifyHierarchyChanged();
    void notifyVisibilityChanged() { VisibilityChanged = true; }
    bool hierarchyChanged() const { return HierarchyChanged; }
    io::CAttributes& getParameters() { return SceneParameters; }
    double getSceneTime() const { return SceneTime; }
    unsigned getCullingTestCount() const { return CullingTestCount; }
    unsigned getCulledCount() const { return CulledCount; }
    unsigned getTraversedCount() const { return TraversedCount; }

    void addToDeletionQueue(ISceneNode* node);  // null ignored; one reference held until removed
    void clearDeletionList();

    void registerSceneNodeFactory(ISceneNodeFactory* factory);
    void registerSceneNodeAnimatorFactory(ISceneNodeAnimatorFactory* factory);
    unsigned getRegisteredSceneNodeFactoryCount() const { return unsigned(SceneNodeFactories.size()); }
    ISceneNodeFactory* getSceneNodeFactory(unsigned index) const;
    const char* getSceneNodeTypeName(E_SCENE_NODE_TYPE type) const;
    const char* getAnimatorTypeName(E_SCENE_NODE_ANIMATOR_TYPE type) const;
    ISceneNodeAnimator* createSceneNodeAnimator(const char* typeName, ISceneNode* target);  // the caller's reference

    void addExternalMeshLoader(IMeshLoader* loader);
    boost::intrusive_ptr<IAnimatedMesh> getMesh(const char* filename);
    boost::intrusive_ptr<IAnimatedMesh> getMesh(io::IReadFile* file);

    // Draw-list sizes, for tests and tools.
    size_t getSolidCount() const { return SolidList.size(); }
    size_t getTransparentCount() const { return TransparentList.size(); }
    size_t getShadowCasterCount() const { return ShadowCasterList.size(); }
    size_t getExtraDataSortedCount() const { return ExtraDataSortedList.size(); }

protected:
    // A manager without driver or files, for stand-ins that only take input.
    CSceneManager() : CSceneManager(nullptr, nullptr) {}

    // Ascending (Major, Minor): the sort order of one solid or transparent entry.
    struct SSortKey {
        std::uint64_t Major = 0, Minor = 0;
        std::uint32_t Index = 0;  // into the list
        bool operator<(const SSortKey& o) const
        {
            if (Major != o.Major) return Major < o.Major;
            if (Minor != o.Minor) return Minor < o.Minor;
            return Index < o.Index;
        }
    };

    // The culling test of one box against the frustum, counted.
    bool cullsBox(const core::aabbox3d<float>& box, E_CULLING_TYPE type, const SViewFrustum& frustum);
    template <class Entry, class Layer>
    void renderList(std::vector<Entry>& list, Layer layerOf);
    template <class Entry>
    void buildSortKeys(const std::vector<Entry>& list);
    template <class Entry>
    void sortEntries(std::vector<Entry>& list, std::vector<Entry>& scratch);
    template <class Starts>
    CBatchSceneNode* compileInternal(const Starts& starts, CBatchSceneNode* batchNode, bool setupFlag,
                                     ISegmentCompileCallback* userCallback, ISplitSegmentChoiceCallback* splitCallback);
    void readSceneNode(io::IXMLReader* reader, ISceneNode* parent, ISceneUserDataSerializer* serializer, int depth);
    void readSection(io::IXMLReader* reader, const wchar_t* name, ISceneNode* node, ISceneUserDataSerializer* serializer);
    bool writeSceneNode(io::IXMLWriter* writer, ISceneNode* node, ISceneUserDataSerializer* serializer);

    CSceneManagerRootNode* Root = nullptr;
    video::IVideoDriver* CurrentDriver;
    video::IVideoDriver* Driver;
    video::CBatchDriver* BatchDriver = nullptr;
    boost::intrusive_ptr<io::IFileSystem> FileSystem;
    gui::IGUIEnvironment* GUIEnvironment;
    gui::ICursorControl* CursorControl;
    ISceneCollisionManager* CollisionManager = nullptr;
    std::vector<SUnsortedNodeEntry> ShadowCasterList;
    std::vector<SUnsortedNodeEntry> CameraList;
    std::vector<SDistanceNodeEntry> LightList;
    std::vector<SRenderDataSortNodeEntry> ExtraDataSortedList;
    std::vector<SRenderDataSortNodeEntry> DataSortedList;
    std::vector<SUnsortedNodeEntry> SkyBoxList;
    std::vector<SDefaultNodeEntry> SolidList;
    std::vector<STransparentNodeEntry> TransparentList;
    // Sorting storage, kept between frames.
    std::vector<SSortKey> SortKeys;
    __extension__ typedef unsigned __int128 SMinorKey;  // (Minor << 64) | Index, when every Major is equal
    std::vector<SMinorKey> MinorKeys;
    std::vector<std::pair<const video::CMaterial*, unsigned>> MaterialRanks;  // by address, with rank
    std::vector<unsigned> MaterialOrder;
    std::vector<SDefaultNodeEntry> SolidScratch;
    std::vector<STransparentNodeEntry> TransparentScratch;
    SRenderedEntry CurrentRenderedEntry;
    SRenderedEntry NextRenderedEntry;
    std::vector<IMeshLoader*> MeshLoaders;
    std::vector<ISceneNode*> DeletionQueue;
    std::vector<ISceneNodeFactory*> SceneNodeFactories;
    std::vector<ISceneNodeAnimatorFactory*> SceneNodeAnimatorFactories;
    ICameraSceneNode* ActiveCamera = nullptr;
    core::vector3d<float> CameraWorldPosition;
    video::SColor ShadowColor[4];
    video::SColorf AmbientLight{0, 0, 0, 0};
    io::CAttributes SceneParameters;
    IMeshCache* MeshCache = nullptr;
    E_SCENE_NODE_RENDER_PASS CurrentRenderPass = ESNRP_NONE;
    core::stringw XMLSceneRootName;
    core::stringw XMLNodeElementName;
    core::stringw XMLTypeAttributeName;
    bool CullingEnabled = true;
    double SceneTime = 0;  // double: a float clock loses milliseconds after a few hours
    bool HierarchyChanged = true;
    bool VisibilityChanged = true;
    unsigned CullingTestCount = 0;
    unsigned CulledCount = 0;
    unsigned TraversedCount = 0;
    bool Compiling = false;
    bool SceneRootRead = false;  // the scene file being read had its root element
};

}  // namespace pravik::scene
