#pragma once
// Makers of nodes and animators by type name or code. A node factory hands its reference to
// the parent (the result is then borrowed) or, without a parent, to the caller; an animator
// factory always leaves its creation reference to the caller.

#include "engine/IReferenceCounted.h"
#include "engine/scene/ESceneNodeTypes.h"

namespace pravik::scene {

class ISceneNode;
class ISceneNodeAnimator;

class ISceneNodeFactory : public IReferenceCounted {
public:
    virtual ISceneNode* addSceneNode(E_SCENE_NODE_TYPE type, ISceneNode* parent = nullptr) = 0;
    virtual ISceneNode* addSceneNode(const char* typeName, ISceneNode* parent = nullptr) = 0;
    virtual unsigned getCreatableSceneNodeTypeCount() const = 0;
    virtual E_SCENE_NODE_TYPE getCreateableSceneNodeType(unsigned index) const = 0;      // "unkn" outside
    virtual const char* getCreateableSceneNodeTypeName(unsigned index) const = 0;        // null outside
    virtual const char* getCreateableSceneNodeTypeName(E_SCENE_NODE_TYPE type) const = 0;  // null when unknown
};

class ISceneNodeAnimatorFactory : public IReferenceCounted {
public:
    virtual ISceneNodeAnimator* createSceneNodeAnimator(E_SCENE_NODE_ANIMATOR_TYPE type, ISceneNode* target) = 0;
    virtual ISceneNodeAnimator* createSceneNodeAnimator(const char* typeName, ISceneNode* target) = 0;
    virtual unsigned getCreatableSceneNodeAnimatorTypeCount() const = 0;
    virtual E_SCENE_NODE_ANIMATOR_TYPE getCreateableSceneNodeAnimatorType(unsigned index) const = 0;
    virtual const char* getCreateableSceneNodeAnimatorTypeName(unsigned index) const = 0;
    virtual const char* getCreateableSceneNodeAnimatorTypeName(E_SCENE_NODE_ANIMATOR_TYPE type) const = 0;
};

}  // namespace pravik::scene
