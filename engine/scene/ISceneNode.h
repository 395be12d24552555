#pragma once
// Base of every scene node: its place in the tree (parent, ordered children through an
// intrusive sibling link), name and id, a lazy local transformation (position, rotation,
// scale and the cached matrix built from them), the world transformation derived from the
// parent, a cached world box, state flags, the culling type, animators and the attribute form.
// Setters only mark what changed; the relative matrix is rebuilt when asked for and the
// absolute matrix in the animation pass for marked nodes and the children of moved nodes.
// Ownership: a new node has count 1 (its creator's); a parent holds one reference per child.

#include "engine/IReferenceCounted.h"
#include "engine/core/CMatrix4.h"
#include "engine/core/aabbox3d.h"
#include "engine/core/pravikString.h"
#include "engine/core/quaternion.h"
#include "engine/core/vector3d.h"
#include "engine/scene/ESceneNodeTypes.h"
#include "engine/video/material/CMaterial.h"

#include <boost/intrusive_ptr.hpp>

#include <cstdint>
#include <vector>

namespace pravik::io {
class IAttributes;
struct SAttributeReadWriteOptions;
}  // namespace pravik::io

namespace pravik::scene {

class CSceneManager;
class ISceneNodeAnimator;
class ITriangleSelector;

enum E_SCENE_NODE_FLAG : unsigned {
    ESNF_VISIBLE = 0x001,
    ESNF_SCALE_CHANGED = 0x002,
    ESNF_ROTATION_CHANGED = 0x004,
    ESNF_POSITION_CHANGED = 0x008,
    ESNF_RELATIVE_CHANGED = 0x010,
    ESNF_ABSOLUTE_CHANGED = 0x020,
    ESNF_PARENT_CHANGED = 0x040,
    ESNF_DEBUG_OBJECT = 0x080,
    ESNF_BOUNDING_BOX_DIRTY = 0x100,
    ESNF_ANIMATED = 0x200,
    ESNF_ANIMATE_ONLY_IF_VISIBLE = 0x400,
    ESNF_SHADOW_CASTER = 0x800,
};
constexpr unsigned ESNF_LOCAL_CHANGES = ESNF_SCALE_CHANGED | ESNF_ROTATION_CHANGED | ESNF_POSITION_CHANGED;
// The node's own transformation must be recomputed.
constexpr unsigned ESNF_NEEDS_ABSOLUTE = ESNF_LOCAL_CHANGES | ESNF_RELATIVE_CHANGED | ESNF_PARENT_CHANGED;

enum E_CULLING_TYPE : int { EAC_OFF = 0, EAC_BOX = 1, EAC_FRUSTUM_BOX = 2, EAC_FRUSTUM_BOX_3 = 8 };

// Culling names by value; values 3 and 4 have no test of their own.
extern const char* const AutomaticCullingNames[6];
const char* cullingTypeName(int value);       // "" for a value without a name
int cullingTypeFromName(const char* name);    // -1 when no name matches (case-sensitive)

class ISceneNode : public IReferenceCounted {
public:
    // The children of a node, in insertion order.
    class SChildList {
    public:
        class iterator {
        public:
            explicit iterator(ISceneNode* n) : m_node(n) {}
            ISceneNode* operator*() const { return m_node; }
            iterator& operator++() { m_node = m_node->m_nextSibling; return *this; }
            bool operator==(const iterator& o) const { return m_node == o.m_node; }
            bool operator!=(const iterator& o) const { return m_node != o.m_node; }
        private:
            ISceneNode* m_node;
        };
        iterator begin() const { return iterator(m_first); }
        iterator end() const { return iterator(nullptr); }
        unsigned size() const { return m_count; }
        bool empty() const { return m_count == 0; }
        ISceneNode* front() const { return m_first; }
        ISceneNode* back() const { return m_last; }

    private:
        friend class ISceneNode;
        ISceneNode* m_first = nullptr;
        ISceneNode* m_last = nullptr;
        unsigned m_count = 0;
    };

    ISceneNode(int id = -1, const core::vector3d<float>& position = {0, 0, 0},
               const core::quaternion& rotation = {0, 0, 0, 1}, const core::vector3d<float>& scale = {1, 1, 1});
    ~ISceneNode() override;
    ISceneNode(const ISceneNode&) = delete;
    ISceneNode& operator=(const ISceneNode&) = delete;

    virtual void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options = nullptr) const;
    virtual void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options = nullptr);

    virtual bool onRegisterSceneNode() { return true; }  // true: the manager descends into the children
    virtual void onAnimate(unsigned timeMs);
    virtual void onUpdateTime(unsigned timeMs);
    virtual void render(void* renderData) = 0;
    virtual unsigned getRenderVertexCount(void*) const { return 0xFFFFFFFFu; }

    virtual const char* getName() const { return Name.c_str(); }
    virtual void setName(const char* name) { Name = core::stringc(name ? name : ""); }
    virtual void setName(const core::stringc& name) { Name = core::stringc(name); }

    virtual const core::aabbox3d<float>& getBoundingBox() const = 0;  // in the node's own space
    virtual const core::aabbox3d<float>& getTransformedBoundingBox() const;
    virtual const core::CMatrix4<float>& getAbsoluteTransformation() const { return AbsoluteTransformation; }
    virtual void setAbsoluteTransformation(const core::CMatrix4<float>& m);
    virtual const core::CMatrix4<float>& getRelativeTransformation() const;
    virtual void setRelativeTransformation(const core::CMatrix4<float>& m);
    virtual void setVisible(bool visible);
    virtual int getID() const { return ID; }
    virtual void setID(int id) { ID = id; }
    virtual const char* getUID() const { return ""; }
    virtual const char* getScopeID() const { return ""; }

    virtual void addChild(ISceneNode* child);
    virtual bool removeChild(ISceneNode* child);  // false when child is not one of ours
    virtual void removeAll();
    virtual void remove();

    virtual void addAnimator(ISceneNodeAnimator* animator);
    virtual void removeAnimator(ISceneNodeAnimator* animator, bool recursive = false);
    virtual void removeAnimators();
    virtual void addBindedAnimator(ISceneNodeAnimator* animator);
    virtual void removeBindedAnimator(ISceneNodeAnimator* animator, bool recursive = false);
    virtual void removeBindedAnimators();

    virtual boost::intrusive_ptr<video::CMaterial> getMaterial(unsigned) const { return nullptr; }
    virtual unsigned getMaterialCount() const { return 0; }
    virtual void notifyMaterialChanged() {}

    virtual const core::vector3d<float>& getScale() const { return Scale; }
    virtual void setScale(const core::vector3d<float>& scale);
    virtual const core::quaternion& getRotation() const { return Rotation; }
    virtual void setRotation(const core::quaternion& rotation);
    virtual const core::vector3d<float>& getPosition() const { return Position; }
    virtual void setPosition(const core::vector3d<float>& position);
    void setPosition(float x, float y, float z) { setPosition(core::vector3d<float>(x, y, z)); }

    virtual const void* getUserProperty() const { return nullptr; }
    virtual const char* getUserPropertyStr() const { return nullptr; }
    virtual ITriangleSelector* getTriangleSelector() const { return TriangleSelector; }
    virtual void setTriangleSelector(ITriangleSelector* selector);

    virtual void updateAbsolutePosition(bool recursive = false);
    virtual E_SCENE_NODE_TYPE getType() const { return ESNT_UNKNOWN; }
    virtual ISceneNode* clone() const { return nullptr; }  // a copy at count 1, or null

    virtual void setGameData(void* data) { GameData = data; }
    virtual void* getGameData() const { return GameData; }
    virtual void setCameraOffset(float offset) { CameraOffset = offset; }
    virtual float getCameraOffset() const { return CameraOffset; }
    virtual void setRenderingLayer(int layer) { RenderingLayer = layer; }
    virtual int getRenderingLayer() const { return RenderingLayer; }
    virtual void onMaterialChanged() {}
    virtual void resetTransform(bool) {}
    virtual void setNodeHierarchyAsShadowCaster(bool caster);
    virtual void notifyVisibilityChanged(bool) {}
    virtual void onChangedSceneManager() {}

    // Non-virtual.
    ISceneNode* getParent() const { return Parent; }
    ISceneNode* getNextSibling() const { return m_nextSibling; }
    const SChildList& getChildren() const { return Children; }
    const std::vector<ISceneNodeAnimator*>& getAnimators() const { return Animators; }
    const std::vector<ISceneNodeAnimator*>& getBindedAnimators() const { return BindedAnimators; }
    CSceneManager* getSceneManager() const { return SceneManager; }
    void setSceneManager(CSceneManager* manager) { SceneManager = manager; }
    core::vector3d<float> getAbsolutePosition() const { return AbsoluteTransformation.getTranslation(); }
    bool isVisible() const { return (Flags & ESNF_VISIBLE) != 0; }
    bool isDebugObject() const { return (Flags & ESNF_DEBUG_OBJECT) != 0; }
    void setIsDebugObject(bool on) { Flags = on ? (Flags | ESNF_DEBUG_OBJECT) : (Flags & ~ESNF_DEBUG_OBJECT); }
    E_CULLING_TYPE getAutomaticCulling() const { return AutomaticCulling; }
    void setAutomaticCulling(E_CULLING_TYPE type) { AutomaticCulling = type; }
    unsigned getFlags() const { return Flags; }
    void setFlags(unsigned flags) { Flags = flags; }

    ISceneNode* getSceneNodeFromName(const char* name);
    const ISceneNode* getSceneNodeFromName(const char* name) const;
    ISceneNode* getSceneNodeFromUID(const char* uid);
    const ISceneNode* getSceneNodeFromUID(const char* uid) const;
    ISceneNode* getSceneNodeFromScopeID(const char* scope);
    const ISceneNode* getSceneNodeFromScopeID(const char* scope) const;
    ISceneNode* getSceneNodeFromType(E_SCENE_NODE_TYPE type);
    const ISceneNode* getSceneNodeFromType(E_SCENE_NODE_TYPE type) const;
    void getSceneNodesFromType(E_SCENE_NODE_TYPE type, std::vector<ISceneNode*>& out);
    ISceneNode* getSceneNodeFromId(int id);  // pre-order, first hit

    void logTree(int depth = 0, int maxDepth = 0) const;

    static void resetXFormDebugCounters();
    static unsigned RelativeTranslationUpdate;
    static unsigned RelativeRotationUpdate;
    static unsigned RelativeUpdate;
    static unsigned AbsoluteUpdate;
    static unsigned AnimatedCount;
    static unsigned NodeCount;

    // Rotation of the upper 3x3 part of m (scale left in), normalised unless of unit length.
    static core::quaternion rotationFromMatrix(const float* m);
    // Euler angles in degrees as the attribute form turns them into a quaternion.
    static core::quaternion rotationFromDegrees(const core::vector3d<float>& degrees);

protected:
    void onDelete() override;
    void cloneMembers(const ISceneNode* from);
    void setParent(ISceneNode* newParent);

    core::stringc Name;
    core::CMatrix4<float> AbsoluteTransformation{core::EM4CONST_IDENTITY};
    mutable core::CMatrix4<float> RelativeTransformation{core::EM4CONST_IDENTITY};
    core::vector3d<float> Position;
    core::quaternion Rotation;
    core::vector3d<float> Scale;
    mutable core::aabbox3d<float> TransformedBoundingBox{-1, -1, -1, 1, 1, 1};
    ISceneNode* Parent = nullptr;
    SChildList Children;
    std::vector<ISceneNodeAnimator*> Animators;
    std::vector<ISceneNodeAnimator*> BindedAnimators;
    int ID;
    CSceneManager* SceneManager = nullptr;
    ITriangleSelector* TriangleSelector = nullptr;
    E_CULLING_TYPE AutomaticCulling = EAC_OFF;
    mutable unsigned Flags = ESNF_VISIBLE | ESNF_LOCAL_CHANGES | ESNF_ANIMATED | ESNF_ANIMATE_ONLY_IF_VISIBLE;
    void* GameData = nullptr;
    float CameraOffset = 0.f;
    int RenderingLayer = 0;

private:
    // The rare halves of updateAbsolutePosition and getTransformedBoundingBox, kept out of line so
    // that the per-frame call on an unchanged node stays a flag test.
    void recomputeAbsoluteTransformation();
    const core::aabbox3d<float>& recomputeTransformedBoundingBox() const;
    void unlinkChild(ISceneNode* child);
    void giveSceneManager(CSceneManager* manager);

    ISceneNode* m_nextSibling = nullptr;
    ISceneNode* m_prevSibling = nullptr;
};

}  // namespace pravik::scene
