#include "engine/scene/ISceneNodeAnimator.h"

#include "engine/scene/ITimelineController.h"

namespace pravik::scene {

ISceneNodeAnimator::~ISceneNodeAnimator()
{
    if (TimelineCtrl) TimelineCtrl->drop();
}

int ISceneNodeAnimator::setAnimationClip(int index) { return TimelineCtrl ? TimelineCtrl->setClip(index) : -1; }

int ISceneNodeAnimator::setAnimationClip(const char* name) { return TimelineCtrl ? TimelineCtrl->setClip(name) : -1; }

int ISceneNodeAnimator::getAnimationClipIndex(const char* name)
{
    return TimelineCtrl ? TimelineCtrl->getClipIndex(name) : -1;
}

void ISceneNodeAnimator::setTimelineCtrl(ITimelineController* controller)
{
    if (controller == TimelineCtrl) return;
    if (controller) controller->grab();
    if (TimelineCtrl) TimelineCtrl->drop();
    TimelineCtrl = controller;
}

}  // namespace pravik::scene
