#pragma once
// The scene's camera ("cam_"): a perspective (or far-at-infinity, or orthographic) projection
// and a look-at view from the node's absolute position to a target. Every registration
// rebuilds view, view-projection, inverse view and frustum; rendering hands projection and
// view to the driver. Never culled.

#include "engine/scene/ICameraSceneNode.h"

namespace pravik::scene {

class CCameraSceneNode : public ICameraSceneNode {
public:
    CCameraSceneNode(int id = -1, const core::vector3d<float>& position = {0, 0, 0},
                     const core::vector3d<float>& lookAt = {0, 0, 100}, bool farToInfinity = false);

    void serializeAttributes(io::IAttributes* out, io::SAttributeReadWriteOptions* options = nullptr) const override;
    void deserializeAttributes(io::IAttributes* in, io::SAttributeReadWriteOptions* options = nullptr) override;
    bool onRegisterSceneNode() override;
    void render(void*) override;
    const core::aabbox3d<float>& getBoundingBox() const override { return ViewArea.boundingBox; }
    void remove() override;
    E_SCENE_NODE_TYPE getType() const override { return ESNT_CAMERA; }
    void onChangedSceneManager() override;

    void setProjectionMatrix(const core::CMatrix4<float>& projection, bool isOrthogonal = false) override;
    const core::CMatrix4<float>& getProjectionMatrix() const override { return ViewArea.Matrices[SViewFrustum::ETS_PROJECTION]; }
    const core::CMatrix4<float>& getViewMatrix() const override { return ViewArea.Matrices[SViewFrustum::ETS_VIEW]; }
    bool onEvent(const SEvent& event) override;
    void setTarget(const core::vector3d<float>& target) override { Target = target; }
    const core::vector3d<float>& getTarget() const override { return Target; }
    void setUpVector(const core::vector3d<float>& up) override { UpVector = up; }
    const core::vector3d<float>& getUpVector() const override { return UpVector; }
    float getNearValue() const override { return ZNear; }
    float getFarValue() const override { return ZFar; }
    float getAspectRatio() const override { return Aspect; }
    float getFOV() const override { return Fovy; }
    bool getFarToInifinity() const override { return FarToInfinity; }
    void setNearValue(float zn) override;
    void setFarValue(float zf) override;
    void setAspectRatio(float aspect) override;
    void setFOV(float fovy) override;
    void setFarToInifinity(bool on) override;
    const SViewFrustum* getViewFrustum() const override { return &ViewArea; }
    void setInputReceiverEnabled(bool enabled) override { InputReceiverEnabled = enabled; }
    bool isInputReceiverEnabled() const override { return InputReceiverEnabled; }

    virtual void setMAG(float mag);
    virtual void recalculateProjectionMatrix();
    float getMAG() const { return MAG; }

    void recalculateMatrices();
    void recalculateViewArea();

    // The far distance the frustum uses in place of infinity, so planes and box stay finite.
    static constexpr float kInfiniteFarStandIn = 1e7f;

protected:
    float aspectFromManager() const;

    core::vector3d<float> Target;
    core::vector3d<float> UpVector{0, 1, 0};
    float MAG = 1.f;  // set, so an orthographic switch before setMAG stays finite
    float Fovy = 1.2566371f;
    float Aspect = 1.3333334f;
    float ZNear = 1.f;
    float ZFar = 3000.f;
    bool FarToInfinity;
    bool InputReceiverEnabled = true;
    SViewFrustum ViewArea;
};

}  // namespace pravik::scene
