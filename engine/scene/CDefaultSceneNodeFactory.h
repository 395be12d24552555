#pragma once
// The engine's node factory: sixteen type names and codes, each built with fixed defaults.
// Kinds whose node class the engine does not have yet ("text", "terrain", "skyBox",
// "animatedMesh", "particleSystem", "cameraMaya", "cameraFPS") and "shadowVolume" answer null;
// the table keeps every name.

#include "engine/core/pravikString.h"
#include "engine/scene/ISceneNodeFactory.h"

#include <boost/intrusive_ptr.hpp>

#include <vector>

namespace pravik::gui {
class ICursorControl;
}
namespace pravik::io {
class IFileSystem;
}

namespace pravik::scene {

class CSceneManager;

class CDefaultSceneNodeFactory : public ISceneNodeFactory {
public:
    struct SSceneNodeTypePair {
        E_SCENE_NODE_TYPE Type;
        core::stringc TypeName;
    };

    CDefaultSceneNodeFactory(CSceneManager* manager, gui::ICursorControl* cursor,
                             const boost::intrusive_ptr<io::IFileSystem>& fileSystem);

    ISceneNode* addSceneNode(E_SCENE_NODE_TYPE type, ISceneNode* parent = nullptr) override;
    ISceneNode* addSceneNode(const char* typeName, ISceneNode* parent = nullptr) override;
    unsigned getCreatableSceneNodeTypeCount() const override { return unsigned(NodeTypes.size()); }
    E_SCENE_NODE_TYPE getCreateableSceneNodeType(unsigned index) const override;
    const char* getCreateableSceneNodeTypeName(unsigned index) const override;
    const char* getCreateableSceneNodeTypeName(E_SCENE_NODE_TYPE type) const override;
    E_SCENE_NODE_TYPE getTypeFromName(const char* name) const;  // exact, case-sensitive; "unkn" when none

private:
    ISceneNode* createMeshKind(E_SCENE_NODE_TYPE type);  // "cube", "sphere", "mesh", "billBoard"

    std::vector<SSceneNodeTypePair> NodeTypes;
    CSceneManager* SceneManager;
    gui::ICursorControl* CursorControl;
    boost::intrusive_ptr<io::IFileSystem> FileSystem;
};

// Animator names by value; the engine's animator classes come with their own module, so
// until then every name answers null.
extern const char* const SceneNodeAnimatorTypeNames[ESNAT_COUNT + 1];

class CDefaultSceneNodeAnimatorFactory : public ISceneNodeAnimatorFactory {
public:
    CDefaultSceneNodeAnimatorFactory(CSceneManager* manager, gui::ICursorControl* cursor);
    ~CDefaultSceneNodeAnimatorFactory() override;

    ISceneNodeAnimator* createSceneNodeAnimator(E_SCENE_NODE_ANIMATOR_TYPE type, ISceneNode* target) override;
    ISceneNodeAnimator* createSceneNodeAnimator(const char* typeName, ISceneNode* target) override;
    unsigned getCreatableSceneNodeAnimatorTypeCount() const override { return ESNAT_COUNT; }
    E_SCENE_NODE_ANIMATOR_TYPE getCreateableSceneNodeAnimatorType(unsigned index) const override;
    const char* getCreateableSceneNodeAnimatorTypeName(unsigned index) const override;
    const char* getCreateableSceneNodeAnimatorTypeName(E_SCENE_NODE_ANIMATOR_TYPE type) const override;
    E_SCENE_NODE_ANIMATOR_TYPE getTypeFromName(const char* name) const;

private:
    CSceneManager* SceneManager;
    gui::ICursorControl* CursorControl;
};

}  // namespace pravik::scene
