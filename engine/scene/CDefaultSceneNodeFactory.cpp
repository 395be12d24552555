#include "engine/scene/CDefaultSceneNodeFactory.h"

#include "engine/gui/ICursorControl.h"
#include "engine/io/IFileSystem.h"
#include "engine/scene/CBillboardSceneNode.h"
#include "engine/scene/CCameraSceneNode.h"
#include "engine/scene/CDummyTransformationSceneNode.h"
#include "engine/scene/CGeometryCreator.h"
#include "engine/scene/CEmptySceneNode.h"
#include "engine/scene/CLightSceneNode.h"
#include "engine/scene/CMeshSceneNode.h"
#include "engine/scene/CSceneManager.h"

#include <cstring>

namespace pravik::scene {

namespace {
constexpr unsigned kShapeAttributes = 0x60003;  // position, texture coordinate 0, normal, colour 0
}

CDefaultSceneNodeFactory::CDefaultSceneNodeFactory(CSceneManager* manager, gui::ICursorControl* cursor,
                                                   const boost::intrusive_ptr<io::IFileSystem>& fileSystem)
    : SceneManager(manager), CursorControl(cursor), FileSystem(fileSystem)
{
    static const struct { E_SCENE_NODE_TYPE type; const char* name; } kTable[] = {
        {ESNT_CUBE, "cube"},
        {ESNT_SPHERE, "sphere"},
        {ESNT_TEXT, "text"},
        {ESNT_TERRAIN, "terrain"},
        {ESNT_SKY_BOX, "skyBox"},
        {ESNT_SHADOW_VOLUME, "shadowVolume"},
        {ESNT_MESH, "mesh"},
        {ESNT_LIGHT, "light"},
        {ESNT_EMPTY, "empty"},
        {ESNT_DUMMY_TRANSFORMATION, "dummyTransformation"},
        {ESNT_CAMERA, "camera"},
        {ESNT_BILLBOARD, "billBoard"},
        {ESNT_ANIMATED_MESH, "animatedMesh"},
        {ESNT_PARTICLE_SYSTEM, "particleSystem"},
        {ESNT_CAMERA_MAYA, "cameraMaya"},
        {ESNT_CAMERA_FPS, "cameraFPS"},
    };
    for (const auto& row : kTable) NodeTypes.push_back({row.type, core::stringc(row.name)});
}

E_SCENE_NODE_TYPE CDefaultSceneNodeFactory::getTypeFromName(const char* name) const
{
    if (name)
        for (const SSceneNodeTypePair& row : NodeTypes)
            if (row.TypeName == name) return row.Type;
    return ESNT_UNKNOWN;
}

ISceneNode* CDefaultSceneNodeFactory::addSceneNode(const char* typeName, ISceneNode* parent)
{
    return addSceneNode(getTypeFromName(typeName), parent);
}

ISceneNode* CDefaultSceneNodeFactory::addSceneNode(E_SCENE_NODE_TYPE type, ISceneNode* parent)
{
    ISceneNode* node = nullptr;
    bool makeActiveCamera = false;
    switch (type) {
    case ESNT_LIGHT: node = new CLightSceneNode(false); break;
    case ESNT_EMPTY: node = new CEmptySceneNode(-1); break;
    case ESNT_DUMMY_TRANSFORMATION: node = new CDummyTransformationSceneNode(-1); break;
    case ESNT_CAMERA:
        node = new CCameraSceneNode(-1, {0, 0, 0}, {0, 0, 100}, false);
        makeActiveCamera = true;
        break;
    default:
        node = createMeshKind(type);
        break;
    }
    if (!node) return nullptr;
    if (makeActiveCamera && SceneManager) SceneManager->setActiveCamera(static_cast<ICameraSceneNode*>(node));
    if (parent) {
        parent->addChild(node);
        node->drop();
    }
    return node;
}

ISceneNode* CDefaultSceneNodeFactory::createMeshKind(E_SCENE_NODE_TYPE type)
{
    video::IVideoDriver* driver = SceneManager ? SceneManager->getVideoDriver() : nullptr;
    switch (type) {
    case ESNT_MESH: return new CMeshSceneNode(nullptr, -1);
    case ESNT_CUBE: return new CMeshSceneNode(createCubeMesh(kShapeAttributes, driver, 1.f), -1);
    case ESNT_SPHERE: return new CMeshSceneNode(createSphereMesh(kShapeAttributes, driver, 5.f, 16, 16), -1);
    case ESNT_BILLBOARD:
        return new CBillboardSceneNode(driver, -1, {0, 0, 0}, {0, 0}, video::SColor(255, 255, 255, 255),
                                       video::SColor(255, 255, 255, 255));
    default: return nullptr;
    }
}

E_SCENE_NODE_TYPE CDefaultSceneNodeFactory::getCreateableSceneNodeType(unsigned index) const
{
    return index < NodeTypes.size() ? NodeTypes[index].Type : ESNT_UNKNOWN;
}

const char* CDefaultSceneNodeFactory::getCreateableSceneNodeTypeName(unsigned index) const
{
    return index < NodeTypes.size() ? NodeTypes[index].TypeName.c_str() : nullptr;
}

const char* CDefaultSceneNodeFactory::getCreateableSceneNodeTypeName(E_SCENE_NODE_TYPE type) const
{
    for (const SSceneNodeTypePair& row : NodeTypes)
        if (row.Type == type) return row.TypeName.c_str();
    return nullptr;
}

// ---- animators ----

const char* const SceneNodeAnimatorTypeNames[ESNAT_COUNT + 1] = {
    "flyCircle", "flyStraight", "followSpline", "rotation", "texture", "deletion", "collisionResponse",
    "cameraFPS", "cameraMaya", nullptr};

CDefaultSceneNodeAnimatorFactory::CDefaultSceneNodeAnimatorFactory(CSceneManager* manager, gui::ICursorControl* cursor)
    : SceneManager(manager), CursorControl(cursor)
{
    if (CursorControl) CursorControl->grab();
}

CDefaultSceneNodeAnimatorFactory::~CDefaultSceneNodeAnimatorFactory()
{
    if (CursorControl) CursorControl->drop();
}

E_SCENE_NODE_ANIMATOR_TYPE CDefaultSceneNodeAnimatorFactory::getTypeFromName(const char* name) const
{
    if (name)
        for (int i = 0; i < ESNAT_COUNT; ++i)
            if (std::strcmp(SceneNodeAnimatorTypeNames[i], name) == 0) return E_SCENE_NODE_ANIMATOR_TYPE(i);
    return ESNAT_OTHER;
}

ISceneNodeAnimator* CDefaultSceneNodeAnimatorFactory::createSceneNodeAnimator(const char* typeName, ISceneNode* target)
{
    return createSceneNodeAnimator(getTypeFromName(typeName), target);
}

ISceneNodeAnimator* CDefaultSceneNodeAnimatorFactory::createSceneNodeAnimator(E_SCENE_NODE_ANIMATOR_TYPE, ISceneNode*)
{
    return nullptr;  // the standard animators are not part of the engine yet
}

E_SCENE_NODE_ANIMATOR_TYPE CDefaultSceneNodeAnimatorFactory::getCreateableSceneNodeAnimatorType(unsigned index) const
{
    return index < unsigned(ESNAT_COUNT) ? E_SCENE_NODE_ANIMATOR_TYPE(index) : ESNAT_OTHER;
}

const char* CDefaultSceneNodeAnimatorFactory::getCreateableSceneNodeAnimatorTypeName(unsigned index) const
{
    return index < unsigned(ESNAT_COUNT) ? SceneNodeAnimatorTypeNames[index] : nullptr;
}

const char* CDefaultSceneNodeAnimatorFactory::getCreateableSceneNodeAnimatorTypeName(E_SCENE_NODE_ANIMATOR_TYPE type) const
{
    return getCreateableSceneNodeAnimatorTypeName(unsigned(type));
}

}  // namespace pravik::scene
