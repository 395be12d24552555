#include "engine/scene/CSceneManager.h"
#include "engine/video/CBatchDriver.h"

#include "engine/gui/ICursorControl.h"
#include "engine/io/IFileSystem.h"
#include "engine/os/Timer.h"
#include "engine/scene/CDefaultSceneNodeFactory.h"
#include "engine/scene/CMeshCache.h"
#include "engine/scene/CSceneCollisionManager.h"
#include "engine/scene/CColladaBinaryFileLoader.h"
#include "engine/scene/IMeshLoader.h"
#include "engine/scene/CSceneManagerRootNode.h"
#include "engine/scene/ICameraSceneNode.h"
#include "engine/scene/ISceneNodeAnimator.h"
#include "engine/scene/MaterialTransparency.h"
#include "engine/scene/SViewFrustum.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CGlobalMaterialParameterManager.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace pravik::scene {

// ---- root node ----

void CSceneManagerRootNode::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options) const
{
    if (SceneManager) SceneManager->serializeAttributes(out, options);
}

void CSceneManagerRootNode::deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options)
{
    if (SceneManager) SceneManager->deserializeAttributes(in, options);
}

// ---- life ----

CSceneManager::CSceneManager(video::IVideoDriver* driver, const boost::intrusive_ptr<io::IFileSystem>& fileSystem,
                             gui::ICursorControl* cursorControl, IMeshCache* meshCache,
                             gui::IGUIEnvironment* guiEnvironment, unsigned batchVertexBytes, unsigned batchIndexBytes)
    : CurrentDriver(driver), Driver(driver), FileSystem(fileSystem), GUIEnvironment(guiEnvironment),
      CursorControl(cursorControl), SceneParameters(driver), XMLSceneRootName(L"vuv_scene"),
      XMLNodeElementName(L"node"), XMLTypeAttributeName(L"type")
{
    if (driver) driver->setClearStencil(127);
    if (driver) BatchDriver = new video::CBatchDriver(batchVertexBytes, batchIndexBytes, driver);
    Root = new CSceneManagerRootNode();
    Root->setSceneManager(this);
    Root->onChangedSceneManager();
    CullingEnabled = true;
    if (driver) driver->grab();
    if (cursorControl) cursorControl->grab();
    if (guiEnvironment) guiEnvironment->grab();
    if (meshCache) meshCache->grab();
    MeshCache = meshCache ? meshCache : new CMeshCache(driver);
    CollisionManager = new CSceneCollisionManager(this, CurrentDriver);
    auto* sceneFiles = new CColladaBinaryFileLoader(this, FileSystem);
    addExternalMeshLoader(sceneFiles);
    sceneFiles->drop();
    auto* nodes = new CDefaultSceneNodeFactory(this, CursorControl, FileSystem);
    registerSceneNodeFactory(nodes);
    nodes->drop();
    auto* animators = new CDefaultSceneNodeAnimatorFactory(this, CursorControl);
    registerSceneNodeAnimatorFactory(animators);
    animators->drop();
    setShadowColor(video::SColor(0, 0, 0, 150));
}

CSceneManager::~CSceneManager()
{
    clearDeletionList();
    if (CursorControl) CursorControl->drop();
    if (GUIEnvironment) GUIEnvironment->drop();
    if (CollisionManager) CollisionManager->drop();
    CollisionManager = nullptr;
    for (IMeshLoader* loader : MeshLoaders) loader->drop();
    MeshLoaders.clear();
    if (ActiveCamera) ActiveCamera->drop();
    ActiveCamera = nullptr;
    if (MeshCache) MeshCache->drop();
    MeshCache = nullptr;
    for (ISceneNodeFactory* f : SceneNodeFactories) f->drop();
    for (ISceneNodeAnimatorFactory* f : SceneNodeAnimatorFactories) f->drop();
    SceneNodeFactories.clear();
    SceneNodeAnimatorFactories.clear();
    if (Root) Root->drop();
    Root = nullptr;
    // Draw entries hold materials: let them go while the driver still exists.
    SolidList.clear();
    TransparentList.clear();
    SolidScratch.clear();
    TransparentScratch.clear();
    if (BatchDriver) BatchDriver->drop();
    BatchDriver = nullptr;
    if (Driver) Driver->drop();
}

ISceneNode* CSceneManager::getRootSceneNode() const { return Root; }

CSceneManager* CSceneManager::createNewSceneManager(bool cloneContent)
{
    auto* manager = new CSceneManager(CurrentDriver, FileSystem, CursorControl, MeshCache, GUIEnvironment,
                                      BatchDriver ? BatchDriver->getVertexCapacity() : 5242880u,
                                      BatchDriver ? BatchDriver->getIndexCapacity() : 655360u);
    if (cloneContent) {
        ISceneNode* copy = Root->clone();
        if (copy) {
            manager->Root->drop();
            manager->Root = static_cast<CSceneManagerRootNode*>(nullptr);
            // The copy is an empty node holding copies of the children: it becomes the root.
            auto* root = new CSceneManagerRootNode();
            while (!copy->getChildren().empty()) root->addChild(copy->getChildren().front());
            copy->drop();
            manager->Root = root;
            std::vector<ISceneNode*> stack{root};
            while (!stack.empty()) {
                ISceneNode* n = stack.back();
                stack.pop_back();
                n->setSceneManager(manager);
                for (ISceneNode* c : n->getChildren()) stack.push_back(c);
            }
        }
    }
    return manager;
}

void CSceneManager::clear()
{
    Root->removeAll();
}

// ---- state ----

void CSceneManager::setActiveCamera(ICameraSceneNode* camera)
{
    if (camera == ActiveCamera) return;
    if (camera) camera->grab();
    if (ActiveCamera) ActiveCamera->drop();
    ActiveCamera = camera;
    VisibilityChanged = true;
}

void CSceneManager::setShadowColor(video::SColor color)
{
    for (video::SColor& c : ShadowColor) c = color;
}

void CSceneManager::notifyHierarchyChanged()
{
    HierarchyChanged = true;
    notifyVisibilityChanged();
}

bool CSceneManager::postEventFromUser(const SEvent& event)
{
    return ActiveCamera ? ActiveCamera->onEvent(event) : false;
}

E_SCENE_NODE_RENDER_PASS CSceneManager::setSceneNodeRenderPass(E_SCENE_NODE_RENDER_PASS pass)
{
    const E_SCENE_NODE_RENDER_PASS previous = CurrentRenderPass;
    CurrentRenderPass = pass;
    return previous;
}

ISceneNode* CSceneManager::getCurrentRenderedNode(void** renderData, int* layer) const
{
    if (renderData) *renderData = CurrentRenderedEntry.RenderData;
    if (layer) *layer = CurrentRenderedEntry.Layer;
    return CurrentRenderedEntry.Node;
}

ISceneNode* CSceneManager::getNextRenderedNode(void** renderData, int* layer) const
{
    if (renderData) *renderData = NextRenderedEntry.RenderData;
    if (layer) *layer = NextRenderedEntry.Layer;
    return NextRenderedEntry.Node;
}

// ---- deletion ----

void CSceneManager::addToDeletionQueue(ISceneNode* node)
{
    if (!node) return;
    node->grab();
    DeletionQueue.push_back(node);
}

void CSceneManager::clearDeletionList()
{
    if (DeletionQueue.empty()) return;
    // Removal may queue more nodes (a node's destructor releasing others): work on a copy.
    std::vector<ISceneNode*> queue;
    queue.swap(DeletionQueue);
    for (ISceneNode* node : queue) {
        node->remove();
        node->drop();
    }
}

// ---- frame ----

void CSceneManager::update(float elapsedMs, bool timeOnly)
{
    if (elapsedMs == -123456.f) SceneTime = double(os::Timer::getTime());
    else SceneTime += double(elapsedMs);
    const double t = SceneTime < 0 ? 0 : SceneTime > 4294967295.0 ? 4294967295.0 : SceneTime;
    if (timeOnly) Root->onUpdateTime(unsigned(t));
    else Root->onAnimate(unsigned(t));
}

void CSceneManager::drawInit(video::IVideoDriver* driver)
{
    CurrentDriver = driver;
    SceneParameters.setAttribute("drawn", 0);
    if (driver) driver->setOption(video::EVDO_ZWRITE_ON_TRANSPARENT, SceneParameters.getBool("Allow_ZWrite_On_Transparent"));
}

void CSceneManager::setupCamera()
{
    CameraWorldPosition.set(0, 0, 0);
    if (ActiveCamera) {
        ActiveCamera->onRegisterSceneNode();
        CameraWorldPosition = ActiveCamera->getAbsolutePosition();
    }
}

namespace {

void writeStatistic(io::CAttributes& store, const char* name, unsigned value)
{
    if (store.existsAttribute(name)) store.setAttribute(name, int(value));
    else store.addInt(name, int(value));
}

}  // namespace

void CSceneManager::drawAll(ISceneNode* start)
{
    drawInit(Driver);
    setupCamera();
    registerSceneNodes(start);
    drawShadowReceivers();
    renderLists(Driver);
    CurrentRenderPass = ESNRP_NONE;
    writeStatistic(SceneParameters, "calls", CullingTestCount);
    writeStatistic(SceneParameters, "culled", CulledCount);
    writeStatistic(SceneParameters, "traversed_nodes", TraversedCount);
    CullingTestCount = CulledCount = TraversedCount = 0;
}

void CSceneManager::drawAll(const std::vector<ISceneNode*>& starts)
{
    drawInit(CurrentDriver);
    setupCamera();
    registerSceneNodes(starts);
    drawShadowReceivers();
    renderLists(CurrentDriver);
    CurrentRenderPass = ESNRP_NONE;
    writeStatistic(SceneParameters, "calls", CullingTestCount);
    writeStatistic(SceneParameters, "culled", CulledCount);
    writeStatistic(SceneParameters, "traversed_nodes", TraversedCount);
    CullingTestCount = CulledCount = TraversedCount = 0;
}

namespace {

// Pre-order walk without recursion; a node's subtree is entered only when enter(node) holds.
template <class Enter>
unsigned walk(ISceneNode* start, const Enter& enter)
{
    unsigned reached = 0;
    ISceneNode* node = start;
    while (node) {
        ++reached;
        if (enter(node) && !node->getChildren().empty()) {
            node = node->getChildren().front();
            continue;
        }
        // Climb to the next sibling, never leaving start's subtree.
        ISceneNode* next = nullptr;
        while (node != start) {
            if ((next = node->getNextSibling())) break;
            node = node->getParent();
        }
        node = next;
    }
    return reached;
}

}  // namespace

[[gnu::always_inline]] inline bool CSceneManager::cullsBox(const core::aabbox3d<float>& box, E_CULLING_TYPE type, const SViewFrustum& F)
{
    ++CullingTestCount;
    bool culled = false;
    switch (type) {
    case EAC_BOX: culled = boxesApart(box, F.boundingBox); break;
    case EAC_FRUSTUM_BOX:
        culled = boxesApart(box, F.boundingBox);
        for (int i = 0; !culled && i < SViewFrustum::VF_PLANE_COUNT; ++i) culled = boxOutsidePlane(box, F.planes[i]);
        break;
    case EAC_FRUSTUM_BOX_3: culled = !F.intersects3(box); break;
    default: break;
    }
    if (culled) ++CulledCount;
    return culled;
}

void CSceneManager::registerSceneNodes(ISceneNode* start)
{
    if (!start) start = Root;
    // isCulled(n) with the camera's frustum looked up once per camera rather than once per node
    // (a node may switch culling or the camera while it registers).
    const ICameraSceneNode* camera = nullptr;
    const SViewFrustum* frustum = nullptr;
    TraversedCount += walk(start, [&](ISceneNode* n) {
        if (!n->isVisible()) return false;
        const E_CULLING_TYPE type = n->getAutomaticCulling();
        if (CullingEnabled && ActiveCamera && type != EAC_OFF) {
            if (camera != ActiveCamera) frustum = (camera = ActiveCamera)->getViewFrustum();
            if (cullsBox(n->getTransformedBoundingBox(), type, *frustum)) return false;
        }
        return n->onRegisterSceneNode();
    });
}

void CSceneManager::registerSceneNodes(const std::vector<ISceneNode*>& starts)
{
    for (ISceneNode* s : starts) registerSceneNodes(s);
}

void CSceneManager::registerSceneNodesCompile(ISceneNode* start)
{
    if (!start) start = Root;
    TraversedCount += walk(start, [](ISceneNode* n) { return n->isVisible() && n->onRegisterSceneNode(); });
}

void CSceneManager::registerSceneNodesCompile(const std::vector<ISceneNode*>& starts)
{
    for (ISceneNode* s : starts) registerSceneNodesCompile(s);
}

bool CSceneManager::isCulled(const ISceneNode* node) const
{
    if (!CullingEnabled || !ActiveCamera || node->getAutomaticCulling() == EAC_OFF) return false;
    return isCulled(node->getTransformedBoundingBox(), node->getAutomaticCulling());
}

bool CSceneManager::isCulled(const core::aabbox3d<float>& box, E_CULLING_TYPE type) const
{
    if (!ActiveCamera || type == EAC_OFF) return false;
    return const_cast<CSceneManager*>(this)->cullsBox(box, type, *ActiveCamera->getViewFrustum());
}


bool CSceneManager::registerNodeForRendering(ISceneNode* node, const boost::intrusive_ptr<video::CMaterial>& material,
                                             void* renderData, E_SCENE_NODE_RENDER_PASS pass,
                                             const core::vector3d<float>* position, int layer)
{
    if (pass > ESNRP_TRANSPARENT || !node) return false;
    if (layer == kNodeRenderingLayer) layer = node->getRenderingLayer();
    if (pass == ESNRP_AUTOMATIC) {
        pass = !Compiling && isTransparent(material.get()) ? ESNRP_TRANSPARENT : ESNRP_SOLID;
    }
    switch (pass) {
    case ESNRP_CAMERA:
        for (const SUnsortedNodeEntry& e : CameraList)
            if (e.Node == node) return false;
        CameraList.push_back({node, renderData});
        break;
    case ESNRP_LIGHT: {
        const core::vector3d<float> t = node->getAbsoluteTransformation().getTranslation();
        const float d2 = t.getDistanceFromSQ(CameraWorldPosition);
        const core::aabbox3d<float>& box = node->getBoundingBox();
        const float e2 = (box.MaxEdge - box.MinEdge).getLengthSQ();
        LightList.push_back({node, renderData, double(d2) - 0.5 * double(e2)});
        break;
    }
    case ESNRP_SKY_BOX: SkyBoxList.push_back({node, renderData}); break;
    case ESNRP_EXTRA_DATA_SORTED: ExtraDataSortedList.push_back({node, renderData}); break;
    case ESNRP_DATA_SORTED: DataSortedList.push_back({node, renderData}); break;
    case ESNRP_SHADOW_CASTER: ShadowCasterList.push_back({node, renderData}); break;
    case ESNRP_TRANSPARENT:
        if (!Compiling) {
            const core::vector3d<float> p = position ? *position : node->getAbsoluteTransformation().getTranslation();
            TransparentList.push_back(
                {node, renderData, material, layer, p.getDistanceFromSQ(CameraWorldPosition) + node->getCameraOffset()});
            break;
        }
        [[fallthrough]];
    case ESNRP_SOLID: SolidList.push_back({node, renderData, material, layer}); break;
    default: return false;
    }
    return true;
}

// ---- sorting and rendering ----

namespace {

template <class Entry, class Before>
void heapSort(std::vector<Entry>& list, Before before)
{
    std::make_heap(list.begin(), list.end(), before);
    std::sort_heap(list.begin(), list.end(), before);
}

int layerOf(const CSceneManager::SDefaultNodeEntry& e) { return e.Layer; }
int layerOf(const CSceneManager::STransparentNodeEntry& e) { return e.Layer; }
template <class Entry>
int layerOf(const Entry&) { return 0; }

}  // namespace

// Solid and transparent entries are ordered through keys built once per entry: the layer (higher
// first), for transparent entries the distance (farther first), then the material's rank among
// the frame's distinct materials (none first), then the node's vertex count (equal materials) or
// its address (no material), packed into two words. Comparing keys is the same relation as comparing entries, and far
// cheaper than comparing materials inside the sort.
namespace {

std::uint64_t layerKey(int layer) { return ~(std::uint32_t(layer) ^ 0x80000000u) & 0xFFFFFFFFu; }

std::uint64_t farFirstKey(float distance)
{
    if (distance == 0) distance = 0;  // -0 and +0 compare equal
    std::uint32_t bits;
    std::memcpy(&bits, &distance, sizeof bits);
    bits = (bits & 0x80000000u) ? ~bits : bits | 0x80000000u;  // ascending with the value
    return ~bits;
}

}  // namespace

template <class Entry>
void CSceneManager::buildSortKeys(const std::vector<Entry>& list)
{
    MaterialRanks.clear();
    for (const Entry& e : list)
        if (e.Material) MaterialRanks.push_back({e.Material.get(), 0});
    if (!MaterialRanks.empty()) {
        std::sort(MaterialRanks.begin(), MaterialRanks.end());
        MaterialRanks.erase(std::unique(MaterialRanks.begin(), MaterialRanks.end()), MaterialRanks.end());
        MaterialOrder.clear();
        for (unsigned i = 0; i < MaterialRanks.size(); ++i) MaterialOrder.push_back(i);
        std::sort(MaterialOrder.begin(), MaterialOrder.end(),
                  [this](unsigned a, unsigned b) { return *MaterialRanks[a].first < *MaterialRanks[b].first; });
        unsigned rank = 1;
        for (size_t k = 0; k < MaterialOrder.size(); ++k) {
            if (k && !(*MaterialRanks[MaterialOrder[k - 1]].first == *MaterialRanks[MaterialOrder[k]].first)) ++rank;
            MaterialRanks[MaterialOrder[k]].second = rank;
        }
    }
    SortKeys.resize(list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        const Entry& e = list[i];
        SSortKey& key = SortKeys[i];
        key.Major = layerKey(e.Layer) << 32;
        if constexpr (std::is_same_v<Entry, STransparentNodeEntry>) key.Major |= farFirstKey(e.Distance);
        if (e.Material) {
            // The top bit puts material entries after those without; ranks stay below 2^31.
            const auto at = std::lower_bound(MaterialRanks.begin(), MaterialRanks.end(),
                                             std::pair<const video::CMaterial*, unsigned>(e.Material.get(), 0));
            const std::uint32_t vertices = std::uint32_t(e.Node->getRenderVertexCount(e.RenderData)) ^ 0x80000000u;
            key.Minor = 1ull << 63 | std::uint64_t(at->second) << 32 | vertices;  // vertices in signed order
        } else {
            key.Minor = reinterpret_cast<std::uintptr_t>(e.Node);  // user-space addresses stay below 2^63
        }
        key.Index = std::uint32_t(i);
    }
}

template <class Entry>
void CSceneManager::sortEntries(std::vector<Entry>& list, std::vector<Entry>& scratch)
{
    if (list.size() < 2) return;
    buildSortKeys(list);
    scratch.clear();
    // Usually every entry shares one layer (and, solid, has no distance): the order is then
    // (Minor, Index), which sorts as single 128-bit numbers, far cheaper than three-field keys.
    const std::uint64_t major = SortKeys.front().Major;
    if (std::all_of(SortKeys.begin(), SortKeys.end(), [major](const SSortKey& k) { return k.Major == major; })) {
        MinorKeys.resize(SortKeys.size());
        for (size_t i = 0; i < SortKeys.size(); ++i) MinorKeys[i] = SMinorKey(SortKeys[i].Minor) << 64 | SortKeys[i].Index;
        std::sort(MinorKeys.begin(), MinorKeys.end());
        for (const SMinorKey k : MinorKeys) scratch.push_back(std::move(list[std::uint32_t(k)]));
    } else {
        std::sort(SortKeys.begin(), SortKeys.end());
        for (const SSortKey& k : SortKeys) scratch.push_back(std::move(list[k.Index]));
    }
    list.swap(scratch);
    scratch.clear();
}

template <class Entry, class Layer>
void CSceneManager::renderList(std::vector<Entry>& list, Layer)
{
    const size_t n = list.size();
    list.push_back(Entry());  // sentinel
    CurrentRenderedEntry = NextRenderedEntry;
    NextRenderedEntry = {list[0].Node, list[0].RenderData, layerOf(list[0])};
    for (size_t i = 0; i < n; ++i) {
        CurrentRenderedEntry = NextRenderedEntry;
        NextRenderedEntry = {list[i + 1].Node, list[i + 1].RenderData, layerOf(list[i + 1])};
        CurrentRenderedEntry.Node->render(CurrentRenderedEntry.RenderData);
    }
    CurrentRenderedEntry = NextRenderedEntry;
    list.clear();
}

void CSceneManager::renderLists(video::IVideoDriver* driver)
{
    auto noLayer = 0;
    CurrentRenderPass = ESNRP_CAMERA;
    renderList(CameraList, noLayer);

    if (driver) {
        driver->deleteAllDynamicLights();
        if (auto* globals = driver->getGlobalMaterialParameterManager())
            globals->setParameter(driver->getSceneAmbientLightId(), 0u, AmbientLight);
    }
    heapSort(LightList, [](const SDistanceNodeEntry& x, const SDistanceNodeEntry& y) { return x.Distance < y.Distance; });
    const size_t maxLights = driver ? driver->getDynamicLightParameterCount() : LightList.size();
    if (LightList.size() > maxLights) LightList.resize(maxLights);
    CurrentRenderPass = ESNRP_LIGHT;
    renderList(LightList, noLayer);

    CurrentRenderPass = ESNRP_SKY_BOX;
    renderList(SkyBoxList, noLayer);

    sortEntries(SolidList, SolidScratch);
    CurrentRenderPass = ESNRP_SOLID;
    renderList(SolidList, noLayer);

    if (DataSortedList.size() > 1)
        heapSort(DataSortedList, [](const SRenderDataSortNodeEntry& x, const SRenderDataSortNodeEntry& y) {
            return reinterpret_cast<uintptr_t>(x.RenderData) < reinterpret_cast<uintptr_t>(y.RenderData);
        });
    CurrentRenderPass = ESNRP_DATA_SORTED;
    renderList(DataSortedList, noLayer);

    sortEntries(TransparentList, TransparentScratch);
    CurrentRenderPass = ESNRP_TRANSPARENT;
    renderList(TransparentList, noLayer);

    // Nothing draws passes 5 and 7: emptied here so they do not grow from frame to frame.
    ExtraDataSortedList.clear();
    ShadowCasterList.clear();
    clearDeletionList();
}

// ---- factories and lookups ----

void CSceneManager::registerSceneNodeFactory(ISceneNodeFactory* factory)
{
    if (!factory) return;
    factory->grab();
    SceneNodeFactories.push_back(factory);
}

void CSceneManager::registerSceneNodeAnimatorFactory(ISceneNodeAnimatorFactory* factory)
{
    if (!factory) return;
    factory->grab();
    SceneNodeAnimatorFactories.push_back(factory);
}

ISceneNodeFactory* CSceneManager::getSceneNodeFactory(unsigned index) const
{
    return index < SceneNodeFactories.size() ? SceneNodeFactories[index] : nullptr;
}

ISceneNode* CSceneManager::addSceneNode(const char* typeName, ISceneNode* parent)
{
    if (!parent) parent = Root;
    for (auto it = SceneNodeFactories.rbegin(); it != SceneNodeFactories.rend(); ++it)
        if (ISceneNode* node = (*it)->addSceneNode(typeName, parent)) return node;
    return nullptr;
}

const char* CSceneManager::getSceneNodeTypeName(E_SCENE_NODE_TYPE type) const
{
    for (auto it = SceneNodeFactories.rbegin(); it != SceneNodeFactories.rend(); ++it)
        if (const char* name = (*it)->getCreateableSceneNodeTypeName(type)) return name;
    return nullptr;
}

const char* CSceneManager::getAnimatorTypeName(E_SCENE_NODE_ANIMATOR_TYPE type) const
{
    for (ISceneNodeAnimatorFactory* f : SceneNodeAnimatorFactories)
        if (const char* name = f->getCreateableSceneNodeAnimatorTypeName(type)) return name;
    return nullptr;
}

ISceneNodeAnimator* CSceneManager::createSceneNodeAnimator(const char* typeName, ISceneNode* target)
{
    for (ISceneNodeAnimatorFactory* f : SceneNodeAnimatorFactories)
        if (ISceneNodeAnimator* a = f->createSceneNodeAnimator(typeName, target)) return a;
    return nullptr;
}

ISceneNode* CSceneManager::getSceneNodeFromId(int id, ISceneNode* start)
{
    if (!start) start = Root;
    if (start->getID() == id) return start;
    for (ISceneNode* child : start->getChildren())
        if (ISceneNode* hit = getSceneNodeFromId(id, child)) return hit;
    return nullptr;
}

ISceneNode* CSceneManager::getSceneNodeFromName(const char* name, ISceneNode* start)
{
    if (!start) start = Root;
    return start->getSceneNodeFromName(name);
}

ISceneNode* CSceneManager::getSceneNodeFromUID(const char* uid, ISceneNode* start)
{
    if (!start) start = Root;
    return start->getSceneNodeFromUID(uid);
}

ISceneNode* CSceneManager::getSceneNodeFromType(E_SCENE_NODE_TYPE type, ISceneNode* start)
{
    if (!start) start = Root;
    return start->getSceneNodeFromType(type);
}

void CSceneManager::getSceneNodesFromType(E_SCENE_NODE_TYPE type, std::vector<ISceneNode*>& out, ISceneNode* start)
{
    if (!start) start = Root;
    start->getSceneNodesFromType(type, out);
}

// ---- attributes ----

void CSceneManager::serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions*) const
{
    if (!out) return;
    out->addString("Name", Root->getName(), false);
    out->addInt("Id", Root->getID(), false);
    out->addColorf("AmbientLight", AmbientLight, false);
}

void CSceneManager::deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions*)
{
    if (!in) return;
    Root->setName(in->getString("Name"));
    Root->setID(in->getInt("Id"));
    AmbientLight = in->getColorf("AmbientLight");
    Root->setPosition(core::vector3d<float>(0, 0, 0));
    Root->setRotation(core::quaternion(0, 0, 0, 1));
    Root->setScale(core::vector3d<float>(1, 1, 1));
    Root->setVisible(true);
    Root->setAutomaticCulling(EAC_OFF);
    Root->setIsDebugObject(false);
    Root->updateAbsolutePosition(false);
}

}  // namespace pravik::scene
