#pragma once
// Camera interface: projection, look-at view and the frustum the manager culls against.

#include "engine/IEventReceiver.h"
#include "engine/scene/ISceneNode.h"
#include "engine/scene/SViewFrustum.h"

namespace pravik::scene {

class ICameraSceneNode : public ISceneNode, public IEventReceiver {
public:
    using ISceneNode::ISceneNode;

    virtual void setProjectionMatrix(const core::CMatrix4<float>& projection, bool isOrthogonal = false) = 0;
    virtual const core::CMatrix4<float>& getProjectionMatrix() const = 0;
    virtual const core::CMatrix4<float>& getViewMatrix() const = 0;
    bool onEvent(const SEvent& event) override = 0;
    virtual void setTarget(const core::vector3d<float>& target) = 0;
    virtual const core::vector3d<float>& getTarget() const = 0;
    virtual const ISceneNode* getTargetNode() const { return nullptr; }
    virtual ISceneNode* getTargetNode() { return nullptr; }
    virtual void setUpVector(const core::vector3d<float>& up) = 0;
    virtual const core::vector3d<float>& getUpVector() const = 0;
    virtual float getNearValue() const = 0;
    virtual float getFarValue() const = 0;
    virtual float getAspectRatio() const = 0;
    virtual float getFOV() const = 0;
    virtual bool getFarToInifinity() const = 0;
    virtual void setNearValue(float zn) = 0;
    virtual void setFarValue(float zf) = 0;
    virtual void setAspectRatio(float aspect) = 0;
    virtual void setFOV(float fovy) = 0;
    virtual void setFarToInifinity(bool on) = 0;
    virtual const SViewFrustum* getViewFrustum() const = 0;
    virtual void setInputReceiverEnabled(bool enabled) = 0;
    virtual bool isInputReceiverEnabled() const = 0;
    virtual bool isOrthogonal() const { return IsOrthogonal; }

protected:
    bool IsOrthogonal = false;
};

}  // namespace pravik::scene
