#pragma once
// Base of everything that moves or changes a node over time. A node runs the animators of its
// list in its animation pass; animators that drive other nodes bind themselves there with
// addBindedAnimator and hear onUnbind when such a node lets them go. Clip operations go to an
// optional timeline controller and answer -1 without one.

#include "engine/IEventReceiver.h"
#include "engine/IReferenceCounted.h"
#include "engine/scene/ESceneNodeTypes.h"

namespace pravik::io {
class IAttributes;
struct SAttributeReadWriteOptions;
}  // namespace pravik::io

namespace pravik::scene {

class ISceneNode;
class ITimelineController;

class ISceneNodeAnimator : public IReferenceCounted, public IEventReceiver {
public:
    ISceneNodeAnimator() = default;
    ~ISceneNodeAnimator() override;
    ISceneNodeAnimator(const ISceneNodeAnimator&) = delete;
    ISceneNodeAnimator& operator=(const ISceneNodeAnimator&) = delete;

    virtual void serializeAttributes(io::IAttributes*, io::SAttributeReadWriteOptions* = nullptr) const {}
    virtual void deserializeAttributes(io::IAttributes*, io::SAttributeReadWriteOptions* = nullptr) {}
    virtual void animateNode(ISceneNode* node, unsigned timeMs) = 0;
    virtual void updateTime(unsigned) {}
    virtual ISceneNodeAnimator* createClone() const = 0;  // count 1, or null
    virtual bool isEventReceiverEnabled() const { return false; }
    bool onEvent(const SEvent&) override { return false; }
    virtual E_SCENE_NODE_ANIMATOR_TYPE getType() const { return ESNAT_OTHER; }
    virtual void onBind(ISceneNode*) {}
    virtual void onUnbind(ISceneNode*) {}
    virtual int setAnimationClip(int index);
    virtual int setAnimationClip(const char* name);
    virtual int getAnimationClipIndex(const char* name);
    virtual void setTimelineCtrl(ITimelineController* controller);
    virtual const ITimelineController* getTimelineCtrl() const { return TimelineCtrl; }
    virtual ITimelineController* getTimelineCtrl() { return TimelineCtrl; }
    virtual unsigned getLength() const { return 0; }
    virtual void computeAnimationValues(unsigned) {}
    virtual void applyAnimationValues(unsigned) {}

protected:
    ITimelineController* TimelineCtrl = nullptr;
};

}  // namespace pravik::scene
